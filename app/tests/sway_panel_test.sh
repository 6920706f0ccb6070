#!/usr/bin/env bash
# The launcher in a Wayland session: sway 1.7, headless, with two outputs side by side, typed at
# with wtype and read with swaymsg. A desktop shortcut (sway's bindsym running jolstrand) shows
# the panel focused, at its place on the focused output; what it opens gets an activation token
# and none of the launcher's Qt settings; Escape gives the focus back. The setup window gives the
# line to bind, and a press of that binding confirms it. sway refuses to run as root: as root,
# everything runs as nobody, from copies of the program in a folder of the test's.
#
# Usage: sway_panel_test.sh PROGRAM MODULE [PANEL.png [SETUP.png [CONFIRMED.png]]]
set -euo pipefail
program=$1 module=$2 screenshot=${3:-} setup_shot=${4:-} confirmed_shot=${5:-}

work=$(mktemp -d)
chmod 755 "$work"
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  pkill -u "$(id -u "$user")" -f "$work/" 2>/dev/null || true  # the launchers sway started
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
fail() {
  echo "FAIL: $*" >&2
  [ -f "$work/sway.log" ] && tail -n 20 "$work/sway.log" >&2
  [ -f "$work/launcher.log" ] && cat "$work/launcher.log" >&2
  exit 1
}

user=$(id -un)
[ "$(id -u)" -eq 0 ] && user=nobody
mkdir -p "$work/bin" "$work/lib/jolstrand/modules" "$work/home" "$work/run" "$work/run2" \
         "$work/data/applications" "$work/config" "$work/root"
cp "$program" "$work/bin/jolstrand"
cp "$module" "$work/lib/jolstrand/modules/"
cat >"$work/bin/envdump" <<EOF
#!/bin/sh
env > "$work/envdump.tmp" && mv "$work/envdump.tmp" "$work/envdump.txt"
EOF
chmod 755 "$work/bin/envdump"
printf '[Desktop Entry]\nType=Application\nName=Envdump\nExec=%s\n' "$work/bin/envdump" \
  >"$work/data/applications/envdump.desktop"
cat >"$work/sway.config" <<EOF
output HEADLESS-1 resolution 1280x800 position 0 0
output HEADLESS-2 resolution 1024x768 position 1280 0
default_border none
bindsym Mod4+space exec '$work/bin/jolstrand'
EOF
chmod 700 "$work/run" "$work/run2"
chown -R "$user" "$work"

# The session's variables; sway hands them, with WAYLAND_DISPLAY and SWAYSOCK, to what it runs.
session=(HOME="$work/home" XDG_RUNTIME_DIR="$work/run" XDG_DATA_HOME="$work/data"
         XDG_DATA_DIRS="$work/none" XDG_CONFIG_HOME="$work/config" XDG_CURRENT_DESKTOP=sway
         JOLSTRAND_ROOT="$work/root" LC_ALL=C.UTF-8 PATH=/usr/bin:/bin QT_QPA_PLATFORM=wayland
         ASAN_OPTIONS="${ASAN_OPTIONS:-}")
run_as=(env -i)
[ "$(id -u)" -eq 0 ] && run_as=(setpriv --reuid=nobody --regid=nogroup --clear-groups env -i)
# Run directly, not through a function, by what goes to the background: $! is then the program
# itself, which the cleanup ends.
as_user() { "${run_as[@]}" "${session[@]}" "$@"; }
in_session() { as_user WAYLAND_DISPLAY=wayland-1 SWAYSOCK="$socket" "$@"; }
eventually() {  # a command that must succeed within ten seconds
  for _ in $(seq 100); do "$@" && return 0; sleep 0.1; done
  return 1
}

"${run_as[@]}" "${session[@]}" WLR_BACKENDS=headless WLR_HEADLESS_OUTPUTS=2 \
  WLR_LIBINPUT_NO_DEVICES=1 WLR_RENDERER=pixman sway -c "$work/sway.config" >"$work/sway.log" 2>&1 &
pids+=($!)
eventually compgen -G "$work/run/sway-ipc.*.sock" >/dev/null || fail "sway did not start"
socket=$(compgen -G "$work/run/sway-ipc.*.sock")
eventually test -S "$work/run/wayland-1" || fail "sway has no Wayland socket"

# One window of ours, or of another program, as sway's tree describes it: "x y width height
# focused", or nothing when there is none.
window() {  # app id, title
  in_session swaymsg -t get_tree | python3 -c '
import json, sys
def walk(node):
    if node.get("app_id") == sys.argv[1] and node.get("name") == sys.argv[2]:
        r = node["rect"]
        print(r["x"], r["y"], r["width"], r["height"], node["focused"])
    for child in node.get("nodes", []) + node.get("floating_nodes", []):
        walk(child)
walk(json.load(sys.stdin))' "$1" "$2"
}
panel() { window org.jolstrand.Jolstrand "Jolstrand search"; }
panel_at() { [ "$(panel)" = "$1 True" ]; }
panel_gone() { [ -z "$(panel)" ]; }
shortcut() { in_session wtype -M logo -k space -m logo; }

in_session swaymsg exec "'$work/bin/jolstrand' > '$work/launcher.log' 2>&1" >/dev/null
eventually test -S "$work/run/jolstrand.socket" || fail "the launcher did not start"
# The seat's only keyboard is each wtype's own: one stays, so the focus is not lost between keys.
"${run_as[@]}" "${session[@]}" WAYLAND_DISPLAY=wayland-1 wtype -s 3600000 >/dev/null 2>&1 &
pids+=($!)
in_session swaymsg focus output HEADLESS-1 >/dev/null

# On the first output, 1280 × 800: centred, its top 56 above a third of the way down.
shortcut
eventually panel_at "320 210 640 56" || fail "the shortcut did not show the panel focused at its place: $(panel)"
in_session wtype -s 300 envdump
eventually panel_at "320 210 640 108" || fail "the panel did not grow downward from its top: $(panel)"
[ -z "$screenshot" ] || in_session grim -o HEADLESS-1 "$work/shot.png"
in_session wtype -k Return
eventually test -f "$work/envdump.txt" || fail "Return did not open the application"
grep -Eq '^XDG_ACTIVATION_TOKEN=.+' "$work/envdump.txt" || fail "the application got no activation token"
grep -Eq '^DESKTOP_STARTUP_ID=.+' "$work/envdump.txt" || fail "the application got no startup id"
! grep -q '^QT_QPA_PLATFORM=' "$work/envdump.txt" || fail "the application inherited QT_QPA_PLATFORM"
eventually panel_gone || fail "the panel stayed after Return"

# Shown again, it lists what was launched: one row.
shortcut
eventually panel_at "320 210 640 108" || fail "the panel did not show again, focused: $(panel)"
in_session wtype -k Escape
eventually panel_gone || fail "Escape did not hide the panel"

# Another program's window, focused on the second output (1024 × 768 at x 1280): the panel comes
# there, and Escape gives that window its focus back.
in_session swaymsg focus output HEADLESS-2 >/dev/null
"${run_as[@]}" "${session[@]}" XDG_RUNTIME_DIR="$work/run2" WAYLAND_DISPLAY="$work/run/wayland-1" \
  "$work/bin/jolstrand" --about >"$work/other.log" 2>&1 &
pids+=($!)
about_focused() { [[ "$(window org.jolstrand.Jolstrand "About Jolstrand")" == *" True" ]]; }
eventually about_focused || fail "the other program's window did not open focused"
shortcut
eventually panel_at "1472 200 640 108" || fail "the panel is not on the focused output: $(panel)"
in_session wtype -k Escape
eventually panel_gone || fail "Escape did not hide the panel on the second output"
eventually about_focused || fail "the focus did not go back to the other program's window"

# Started anew with --setup: sway gives no program a key, so the window shows the line to add
# to sway's configuration. Return does nothing until a press of that binding has reached the
# launcher; then it closes the window.
kill "${pids[-1]}"
pkill -u "$(id -u "$user")" -f "^$work/bin/jolstrand\$" || true
eventually test ! -S "$work/run/jolstrand.socket" || fail "the launcher did not quit"
in_session swaymsg focus output HEADLESS-1 >/dev/null
in_session swaymsg exec "'$work/bin/jolstrand' --setup > '$work/launcher.log' 2>&1" >/dev/null
setup_focused() { [[ "$(window org.jolstrand.Jolstrand "Set Up Super-Space")" == *" True" ]]; }
eventually setup_focused || fail "the setup window did not open focused"
sleep 0.5  # drawn
[ -z "$setup_shot" ] || in_session grim -o HEADLESS-1 "$work/setup.png"
in_session wtype -k Return
sleep 1
setup_focused || fail "Return closed the setup window before the shortcut had worked"
shortcut
eventually panel_at "320 210 640 108" || fail "the binding did not show the panel over the setup window: $(panel)"
in_session wtype -k Escape
eventually setup_focused || fail "the setup window did not get the focus back"
sleep 0.5
[ -z "$confirmed_shot" ] || in_session grim -o HEADLESS-1 "$work/confirmed.png"
in_session wtype -k Return
eventually test -z "$(window org.jolstrand.Jolstrand "Set Up Super-Space")" ||
  fail "Return did not close the confirmed setup window"

[ -z "$screenshot" ] || cp "$work/shot.png" "$screenshot"
[ -z "$setup_shot" ] || cp "$work/setup.png" "$setup_shot"
[ -z "$confirmed_shot" ] || cp "$work/confirmed.png" "$confirmed_shot"
echo ok
