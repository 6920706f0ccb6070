#!/usr/bin/env bash
# Whole-process time of `jolstrand --query abc` over the demo catalogue (with its desktop
# entries), over a synthetic 1,000-bundle tree, and over that tree with 1,000 synthetic desktop
# entries: the median of 20 runs each, with a warm cache.
set -euo pipefail
cd "$(dirname "$0")/.."
source bench/common.sh
release_build jolstrand demo_tree
synthetic_tree 1000

median_ms() {  # ROOT: runs jolstrand over ROOT 20 times, prints the median in milliseconds
  python3 - "$1" "$PWD/build/release/app/jolstrand" <<'PY'
import os, statistics, subprocess, sys, time
root, program = sys.argv[1], sys.argv[2]
env = dict(os.environ, JOLSTRAND_ROOT=root, HOME=root + "/Home",
           XDG_DATA_HOME=root + "/Home/.local/share", XDG_DATA_DIRS=root + "/share:" + root + "/flatpak/exports/share")
runs = []
for _ in range(21):
    start = time.perf_counter()
    subprocess.run([program, "--query", "abc"], env=env, stdout=subprocess.DEVNULL, check=True)
    runs.append((time.perf_counter() - start) * 1000)
print(f"{statistics.median(runs[1:]):.1f}")
PY
}
echo "demo catalogue:   $(median_ms "$PWD/build/release/examples/demo") ms"
echo "1,000 bundles:    $(median_ms "$work/tree") ms"
python3 bench/make_desktop_tree.py "$work/tree" 1000
echo "1,000 bundles and 1,000 desktop entries: $(median_ms "$work/tree") ms"
echo "process start and exit alone (true): $(python3 -c '
import statistics, subprocess, time
r = []
for _ in range(21):
    s = time.perf_counter(); subprocess.run(["true"]); r.append((time.perf_counter() - s) * 1000)
print(f"{statistics.median(r):.1f}")') ms"
