#!/usr/bin/env bash
# Renders docs/menu.png: the launcher's tray menu, open, in an X11 system tray (trayer) under
# Xvfb, over the demo catalogue.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake --preset default >/dev/null
cmake --build --preset default --target jolstrand screen_grab demo_tree >/dev/null
demo="$PWD/build/default/examples/demo"
scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT
mkdir -m 700 "$scratch/run"
cat >"$scratch/session.sh" <<'SESSION'
set -eu
"$JOLSTRAND" &
launcher=$!
trayer --edge top --align right --widthtype request --height 28 --transparent false \
  --SetDockType true &
tray=$!
for _ in $(seq 50); do
  icon=$(xdotool search --onlyvisible --classname '^jolstrand$' | head -1) && [ -n "$icon" ] && break
  sleep 0.2
done
sleep 0.5
eval "$(xdotool getwindowgeometry --shell "$icon")"
# Clicked near its lower edge, so that the menu opens below the tray.
xdotool mousemove --window "$icon" $((WIDTH / 2)) $((HEIGHT - 2)) click 3
sleep 1
"$SNAPSHOT" "$OUT" 920 0 360 250
kill "$launcher" "$tray"
wait "$launcher" || true
SESSION
JOLSTRAND="$PWD/build/default/app/jolstrand" SNAPSHOT="$PWD/build/default/tools/screen_grab/screen_grab" \
  OUT="$PWD/docs/menu.png" JOLSTRAND_ROOT="$demo" HOME="$demo/Home" \
  XDG_DATA_HOME="$demo/Home/.local/share" XDG_DATA_DIRS="$demo/share" \
  XDG_CONFIG_HOME="$scratch/config" XDG_RUNTIME_DIR="$scratch/run" QT_QPA_PLATFORM=xcb \
  DBUS_SESSION_BUS_ADDRESS="unix:path=$scratch/no-bus" \
  xvfb-run -a -s "-screen 0 1280x800x24" bash "$scratch/session.sh"
echo "wrote docs/menu.png"
