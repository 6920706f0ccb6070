#!/usr/bin/env bash
# The running launcher over a synthetic 1,000-bundle catalogue, under Xvfb: hot key to panel
# shown (median of 30 presses), the main thread's share of a rescan (median of 10 rescans), and
# the resident memory of the idle launcher after start.
set -euo pipefail
cd "$(dirname "$0")/.."
source bench/common.sh
synthetic_tree 1000
release_build jolstrand
mkdir -p "$work/run" && chmod 700 "$work/run"

xvfb-run -a -s "-screen 0 1440x900x24" bash -s "$work" <<'INNER'
set -euo pipefail
work="$1"
JOLSTRAND_ROOT="$work/tree" HOME="$work/tree/Home" XDG_DATA_HOME="$work/data" XDG_DATA_DIRS="$work/none" \
  XDG_RUNTIME_DIR="$work/run" JOLSTRAND_TRACE="$work/trace" ./build/release/app/jolstrand &
launcher=$!
for _ in $(seq 100); do [ -S "$work/run/jolstrand.socket" ] && break; sleep 0.1; done
sleep 1
echo "idle resident memory: $(awk '/VmRSS/ {print $2 / 1024 " MB"}' "/proc/$launcher/status")"
for _ in $(seq 30); do xdotool key super+space; sleep 0.15; xdotool key Escape; sleep 0.15; done
for i in $(seq 10); do mkdir "$work/tree/Applications/New $i.app"; sleep 1.6; done
kill "$launcher"; wait "$launcher" || true
python3 - "$work/trace" <<'PY'
import statistics, sys
spans = {}
for line in open(sys.argv[1]):
    name, micros = line.split()
    spans.setdefault(name, []).append(int(micros) / 1000)
for name in ("hotKeyToPanel", "rescanInstall"):
    values = sorted(spans.get(name, []))
    if values:
        print(f"{name}: median {statistics.median(values):.2f} ms, max {values[-1]:.2f} ms, n={len(values)}")
PY
INNER
