#!/usr/bin/env bash
# Renders docs/setup-held.png, docs/setup-confirmed.png, docs/about.png and docs/update.png
# under Xvfb.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake --preset default >/dev/null
cmake --build --preset default --target window_snapshot >/dev/null
snapshot() {
  xvfb-run -a -s "-screen 0 1440x900x24" ./build/default/tools/window_snapshot/window_snapshot "$@"
}
snapshot setup-held docs/setup-held.png
snapshot setup-confirmed docs/setup-confirmed.png
snapshot about docs/about.png
snapshot update docs/update.png
echo "wrote docs/setup-held.png docs/setup-confirmed.png docs/about.png docs/update.png"
