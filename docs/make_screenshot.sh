#!/usr/bin/env bash
# Renders docs/panel.png: the search panel over the demo catalogue, under Xvfb.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake --preset default >/dev/null
cmake --build --preset default --target panel_snapshot demo_tree >/dev/null
demo="$PWD/build/default/examples/demo"
JOLSTRAND_ROOT="$demo" HOME="$demo/Home" XDG_DATA_HOME="$demo/Home/.local/share" XDG_DATA_DIRS="$demo/share" \
  xvfb-run -a -s "-screen 0 1440x900x24" ./build/default/tools/panel_snapshot/panel_snapshot \
  docs/panel.png "${1:-s}"
echo "wrote docs/panel.png"
