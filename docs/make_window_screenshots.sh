#!/usr/bin/env bash
# Renders docs/setup-held.png, docs/setup-confirmed.png, docs/about.png, docs/update.png and the
# setup window of each Wayland desktop (docs/setup-DESKTOP.png) under Xvfb.
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
# The setup window as Wayland desktops show it (sway's comes from its test, make_wayland_screenshot.sh).
for desktop in gnome-awaiting gnome-other-key gnome-custom-add gnome-custom-added kde-held hyprland; do
  snapshot setup-on "$desktop" "docs/setup-$desktop.png"
done
echo "wrote docs/setup-held.png docs/setup-confirmed.png docs/about.png docs/update.png and docs/setup-*.png"
