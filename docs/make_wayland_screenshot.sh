#!/usr/bin/env bash
# Renders docs/panel-sway.png, docs/setup-sway.png and docs/setup-sway-confirmed.png: the search
# panel and the setup window in a Wayland session (sway, headless), taken by the sway test while
# it types a query and binds the shortcut (app/tests/sway_panel_test.sh).
set -euo pipefail
cd "$(dirname "$0")/.."
cmake --preset default >/dev/null
cmake --build --preset default --target jolstrand >/dev/null
bash app/tests/sway_panel_test.sh build/default/app/jolstrand \
  build/default/lib/jolstrand/modules/jolstrand-launcher.so docs/panel-sway.png \
  docs/setup-sway.png docs/setup-sway-confirmed.png >/dev/null
echo "wrote docs/panel-sway.png docs/setup-sway.png docs/setup-sway-confirmed.png"
