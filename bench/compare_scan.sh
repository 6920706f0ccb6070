#!/usr/bin/env bash
# Times a catalogue scan of a synthetic 1,000-bundle tree against `find ROOT -maxdepth 3 -name
# '*.app'` over the same tree, then what 1,000 synthetic desktop entries add to that scan and
# how reading them compares with `find DIRS -name '*.desktop'`; all in the same run, with a
# warm cache.
# Usage: bench/compare_scan.sh [COUNT]
set -euo pipefail
cd "$(dirname "$0")/.."
source bench/common.sh
synthetic_tree "${1:-1000}"
tree="$work/tree"
python3 bench/make_desktop_tree.py "$work/desktop" "${1:-1000}"
desktop="$work/desktop"
release_build scan_bench

find_median_ms() {  # ARGS...: the median of 30 runs of find ARGS, in milliseconds
  python3 - "$@" <<'PY'
import statistics, subprocess, sys, time
cmd = ["find"] + sys.argv[1:]
subprocess.run(cmd, stdout=subprocess.DEVNULL, check=True)  # warm the cache
runs = []
for _ in range(30):
    start = time.perf_counter()
    subprocess.run(cmd, stdout=subprocess.DEVNULL, check=True)
    runs.append((time.perf_counter() - start) * 1000)
print(f"{statistics.median(runs):.2f}")
PY
}

scan_median_ms() {  # BENCHMARK DATA_HOME DATA_DIRS: median real and CPU time of one benchmark
  JOLSTRAND_ROOT="$tree" HOME="$tree/Home" XDG_DATA_HOME="$2" XDG_DATA_DIRS="$3" \
    ./build/release/bench/scan_bench --benchmark_filter="^$1/" --benchmark_repetitions=5 \
    --benchmark_report_aggregates_only=true --benchmark_format=csv 2>/dev/null |
    awk -F, '/_median/ {print $3 "/" $4}'
}

find_ms=$(find_median_ms "$tree/Applications" "$tree/System/Applications" \
  "$tree/Home/Applications" -maxdepth 3 -name '*.app')
folders=("$desktop/Home/.local/share/applications" "$desktop/share/applications"
  "$desktop/flatpak/exports/share/applications")
find_desktop_ms=$(find_median_ms "${folders[@]}" -name '*.desktop')
none="$work/none"
scan_ms=$(scan_median_ms BM_Scan "$none" "$none")
both_ms=$(scan_median_ms BM_Scan "$desktop/Home/.local/share" \
  "$desktop/share:$desktop/flatpak/exports/share")
desktop_ms=$(scan_median_ms BM_ScanDesktopEntries "$desktop/Home/.local/share" \
  "$desktop/share:$desktop/flatpak/exports/share")
python3 - "$scan_ms" "$find_ms" "$both_ms" "$desktop_ms" "$find_desktop_ms" <<'PY'
import sys
(scan, scan_cpu), find = map(float, sys.argv[1].split("/")), float(sys.argv[2])
(both, both_cpu), (desktop, desktop_cpu) = (map(float, a.split("/")) for a in sys.argv[3:5])
find_desktop = float(sys.argv[5])
print(f"bundles:         scan() median {scan:.2f} ms (CPU {scan_cpu:.2f})   "
      f"find median {find:.2f} ms   ratio {scan / find:.2f}")
print(f"desktop entries: scan() median {desktop:.2f} ms (CPU {desktop_cpu:.2f})   "
      f"find median {find_desktop:.2f} ms   ratio {desktop / find_desktop:.2f}")
print(f"bundles and desktop entries: scan() median {both:.2f} ms (CPU {both_cpu:.2f}), "
      f"{both - scan:.2f} ms (CPU {both_cpu - scan_cpu:.2f}) more than bundles alone")
PY
