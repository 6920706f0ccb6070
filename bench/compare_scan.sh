#!/usr/bin/env bash
# Times a catalogue scan of a synthetic 1,000-bundle tree against `find ROOT -maxdepth 3 -name
# '*.app'` over the same tree, in the same run, with a warm cache.
# Usage: bench/compare_scan.sh [COUNT]
set -euo pipefail
cd "$(dirname "$0")/.."
source bench/common.sh
synthetic_tree "${1:-1000}"
tree="$work/tree"
release_build scan_bench

find_once() {
  find "$tree/Applications" "$tree/System/Applications" "$tree/Home/Applications" \
    -maxdepth 3 -name '*.app' >/dev/null
}
find_once  # warm the cache
find_ms=$(python3 - "$tree" <<'PY'
import statistics, subprocess, sys, time
tree = sys.argv[1]
cmd = ["find", f"{tree}/Applications", f"{tree}/System/Applications", f"{tree}/Home/Applications",
       "-maxdepth", "3", "-name", "*.app"]
runs = []
for _ in range(30):
    start = time.perf_counter()
    subprocess.run(cmd, stdout=subprocess.DEVNULL, check=True)
    runs.append((time.perf_counter() - start) * 1000)
print(f"{statistics.median(runs):.2f}")
PY
)
scan_ms=$(JOLSTRAND_ROOT="$tree" HOME="$tree/Home" ./build/release/bench/scan_bench \
  --benchmark_repetitions=5 --benchmark_report_aggregates_only=true --benchmark_format=csv \
  2>/dev/null | awk -F, '/_median/ {print $3}')
python3 - "$scan_ms" "$find_ms" <<'PY'
import sys
scan, find = float(sys.argv[1]), float(sys.argv[2])
print(f"scan() median: {scan:.2f} ms   find median: {find:.2f} ms   ratio: {scan / find:.2f}")
PY
