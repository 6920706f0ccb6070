#!/usr/bin/env bash
# The launcher in a KDE Plasma Wayland session: KWin 5.27 on its virtual back end, with a session
# bus of its own. A second start of jolstrand (as a desktop shortcut runs it) shows the panel as
# the active window, known to KWin by its app id, on KWin's active output (which the launcher
# asks KWin for over D-Bus). KWin is read through its scripting interface. As root, everything
# runs as nobody, from copies of the programs (KWin's file capability makes the installed binary
# refuse an unprivileged user).
#
# Run by hand (it needs Debian's kwin-wayland): under load it once found no active window, which
# is not understood yet, so it is not part of the suite.
#
# Usage: kwin_panel_test.sh PROGRAM MODULE
set -euo pipefail
program=$1 module=$2

work=$(mktemp -d)
chmod 755 "$work"
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
fail() {
  echo "FAIL: $*" >&2
  [ -f "$work/kwin.log" ] && grep -v '^js:' "$work/kwin.log" | tail -n 10 >&2
  [ -f "$work/launcher.log" ] && cat "$work/launcher.log" >&2
  exit 1
}

user=$(id -un)
[ "$(id -u)" -eq 0 ] && user=nobody
mkdir -p "$work/bin" "$work/lib/jolstrand/modules" "$work/home" "$work/run" "$work/data" \
         "$work/config" "$work/root"
cp "$program" "$work/bin/jolstrand"
cp "$module" "$work/lib/jolstrand/modules/"
cp "$(command -v kwin_wayland)" "$work/bin/kwin_wayland"
# Prints the active window: its app id and title, and whether it is on the active output.
cat >"$work/active.js" <<'EOF'
var c = workspace.activeClient;
print(c ? "active: " + c.resourceClass + "|" + c.caption + "|" +
          (c.screen === workspace.activeScreen ? "on the active output" : "elsewhere")
        : "active: none");
EOF
chmod 700 "$work/run"
chown -R "$user" "$work"

run_as=(env -i)
[ "$(id -u)" -eq 0 ] && run_as=(setpriv --reuid=nobody --regid=nogroup --clear-groups env -i)
session=(HOME="$work/home" XDG_RUNTIME_DIR="$work/run" XDG_DATA_HOME="$work/data"
         XDG_DATA_DIRS="$work/none" XDG_CONFIG_HOME="$work/config" XDG_CURRENT_DESKTOP=KDE
         JOLSTRAND_ROOT="$work/root" LC_ALL=C.UTF-8 PATH=/usr/bin:/bin
         ASAN_OPTIONS="${ASAN_OPTIONS:-}")
eventually() {
  for _ in $(seq 100); do "$@" && return 0; sleep 0.1; done
  return 1
}

"${run_as[@]}" "${session[@]}" dbus-run-session -- sh -c \
  'echo "$DBUS_SESSION_BUS_ADDRESS" > "$0/bus"; exec "$0/bin/kwin_wayland" --virtual \
     --no-lockscreen --socket wayland-k --width 1280 --height 800' "$work" \
  >"$work/kwin.log" 2>&1 &
pids+=($!)
eventually test -S "$work/run/wayland-k" || fail "KWin did not start"
eventually test -s "$work/bus" || fail "no session bus"
in_session() {
  "${run_as[@]}" "${session[@]}" WAYLAND_DISPLAY=wayland-k \
    DBUS_SESSION_BUS_ADDRESS="$(cat "$work/bus")" "$@"
}
kwin_ready() { in_session gdbus call --session --dest org.kde.KWin --object-path /KWin \
                 --method org.kde.KWin.activeOutputName >/dev/null 2>&1; }
eventually kwin_ready || fail "KWin does not answer on the session bus"

"${run_as[@]}" "${session[@]}" WAYLAND_DISPLAY=wayland-k \
  DBUS_SESSION_BUS_ADDRESS="$(cat "$work/bus")" "$work/bin/jolstrand" >"$work/launcher.log" 2>&1 &
pids+=($!)
eventually test -S "$work/run/jolstrand.socket" || fail "the launcher did not start"
in_session "$work/bin/jolstrand" || fail "the second start did not reach the launcher"

scripts=0
active() {  # what KWin reports as its active window, through a script loaded anew each time
  scripts=$((scripts + 1))
  in_session gdbus call --session --dest org.kde.KWin --object-path /Scripting \
    --method org.kde.kwin.Scripting.loadScript "$work/active.js" "active$scripts" >/dev/null
  in_session gdbus call --session --dest org.kde.KWin --object-path /Scripting \
    --method org.kde.kwin.Scripting.start >/dev/null
  sleep 0.2
  grep -a '^js: active: ' "$work/kwin.log" | tail -n 1 | sed 's/^js: active: //'
}
panel_active() { [ "$(active)" = "org.jolstrand.Jolstrand|Jolstrand search|on the active output" ]; }
eventually panel_active || fail "the panel is not KWin's active window on its active output: $(active)"
echo ok
