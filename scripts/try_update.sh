#!/usr/bin/env bash
# One real update on this machine, start to end, with the real program: builds the portable
# archives of build 1 and build 2 (build/try-update), serves build 2 with a signed feed from a
# local HTTPS server, runs build 1 from a folder of its own under Xvfb with a tray on a private
# D-Bus, checks for updates from the tray menu, presses Install in the update dialog, and checks
# that the same process comes back as build 2 and quits cleanly. Prints what the launcher logged.
#
#   scripts/try_update.sh              checks from the menu's "Check for Updates…"
#   scripts/try_update.sh --reminder   waits for the scheduled check a minute after start, which
#                                      finds no window of ours in front and leaves the news to
#                                      the menu: "Install Jolstrand VERSION…"
#   scripts/try_update.sh --tampered   serves the archive with one byte changed after signing:
#                                      the update stops with one log line, and build 1 stays
#   scripts/try_update.sh --other-arch serves, correctly signed, a build 2 whose program is made
#                                      for another architecture (AArch64): its self-test fails
#                                      before anything moves, and build 1 stays
#   scripts/try_update.sh --replayed   serves a feed of build 3, which the user puts off, then
#                                      the older feed of build 2 again: it is refused, build 1
#                                      stays
#   scripts/try_update.sh --user-file  puts a file of the user's deep inside the installation
#                                      while the dialog is open: the update stops, the file stays
#   scripts/try_update.sh --killed     kills the launcher at each step of an installation in
#                                      turn and starts the installation again: old or new, it
#                                      runs, with nothing left beside it
#
# Every scenario ends with the installation running and quitting cleanly.
# The first run builds the program (minutes); later runs relink it twice (seconds).
# Keeps build/try-update/try-update.log (the launcher's log) and update-dialog.png. The build
# trusts the throw-away certificate authority only because it is a build with tests.
set -euo pipefail

mode=""
case "${1:-}" in
  "") ;;
  --reminder | --tampered | --other-arch | --replayed | --user-file | --killed) mode="${1#--}" ;;
  *)
    echo "usage: scripts/try_update.sh" \
      "[--reminder | --tampered | --other-arch | --replayed | --user-file | --killed]" >&2
    exit 2
    ;;
esac
# Whether the update is meant to stop, leaving build 1 in place.
refused() { [[ "$mode" =~ ^(tampered|other-arch|replayed|user-file)$ ]]; }
root="$(cd "$(dirname "$0")/.." && pwd)"
build="$root/build/try-update"
tests="$root/app/tests"
started=$SECONDS
step="setting up"

note() { printf 'try_update: %s\n' "$*" >&2; }
log=""
fail() {
  note "FAILED at \"$step\": $*"
  if [ -s "$log" ]; then
    note "the launcher logged:"
    sed 's/^/  /' "$log" >&2
  fi
  exit 1
}
begin() {
  step="$1"
  note "[$((SECONDS - started))s] $step"
}

for tool in cmake ninja openssl python3 Xvfb dbus-daemon xdotool tar; do
  command -v "$tool" >/dev/null || fail "$tool is missing (scripts/bootstrap.sh installs it)"
done

work="$(mktemp -d "${TMPDIR:-/tmp}/jolstrand-try-update.XXXXXX")"
pids=()
cleanup() {
  local status=$?
  for ((i = ${#pids[@]} - 1; i >= 0; i--)); do
    kill "${pids[i]}" 2>/dev/null || true
    wait "${pids[i]}" 2>/dev/null || true
  done
  rm -rf "$work"
  exit "$status"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

# Whether process $1 runs (a child that has ended but is not yet waited for does not).
alive() {
  local stat
  stat="$(cat "/proc/$1/stat" 2>/dev/null)" || return 1
  stat="${stat##*) }"  # the state follows the program's name in parentheses
  [[ "$stat" != Z* ]]
}

# Waits up to $1 seconds for the command after it to succeed.
within() {
  local seconds=$1
  shift
  local deadline=$((SECONDS + seconds))
  until "$@"; do
    ((SECONDS < deadline)) || return 1
    sleep 0.2
  done
}

begin "certificate authority and server certificate"
mkdir -p "$work/ca" "$work/served"
(
  cd "$work/ca"
  config="$tests/test_certificates.cnf"
  new_key=(-newkey ec -pkeyopt ec_paramgen_curve:prime256v1 -nodes)
  openssl req -x509 -config "$config" -extensions authority -days 2 \
    -keyout authority.key -out authority.pem "${new_key[@]}"
  openssl req -new -config "$config" -subj /CN=localhost \
    -keyout server.key -out server.csr "${new_key[@]}"
  openssl x509 -req -in server.csr -CA authority.pem -CAkey authority.key -set_serial 1 \
    -days 2 -extfile "$config" -extensions server -out server.pem
) >/dev/null 2>&1 || fail "openssl could not make the certificates"

# First, so that its port can go into the builds' feed address.
begin "HTTPS server"
exec {server_out}< <(exec python3 "$tests/https_server.py" --root "$work/served" \
  --cert "$work/ca/server.pem" --key "$work/ca/server.key")
pids+=($!)
read -r -t 15 -u "$server_out" listening || fail "the server did not start"
port="${listening#listening on }"
[[ "$port" =~ ^[0-9]+$ ]] || fail "the server said \"$listening\""
feed="https://127.0.0.1:$port/appcast.xml"
note "serving $work/served at https://127.0.0.1:$port/"

# The default preset's build with tests, but only what the archive and this script need.
configure() {
  cmake --preset default -B "$build" -DJOLSTRAND_BUILD_TESTS=ON -DJOLSTRAND_TRY_UPDATE=ON \
    -DJOLSTRAND_BUILD_BENCHMARKS=OFF -DCMAKE_SKIP_INSTALL_ALL_DEPENDENCY=ON "$@" >/dev/null
}
release_tool="$build/tools/release/jolstrand-release"

begin "release key"
key="$build/try-update.key"
if [ ! -f "$key" ]; then
  configure
  cmake --build "$build" -j2 --target jolstrand-release >/dev/null
  "$release_tool" generate-keys --out "$key" >/dev/null
fi
public_key="$("$release_tool" public-key --key "$key")"

# The text of key $1 in the Info.plist $2 (as the build writes it: each value on the line after
# its key).
plist_value() { grep -A1 "<key>$1</key>" "$2" | sed -n 's/.*<string>\(.*\)<\/string>.*/\1/p'; }

archive_name=""
# Builds the program as build $1 and packs its portable archive into $2.
build_archive() {
  configure -DJOLSTRAND_BUILD_NUMBER="$1" -DJOLSTRAND_UPDATE_FEED="$feed" \
    -DJOLSTRAND_PUBLIC_ED_KEY="$public_key"
  cmake --build "$build" -j2 --target jolstrand jolstrand-release screen_grab >/dev/null
  rm -f "$build"/Jolstrand-*-linux-*.tar.gz
  (cd "$build" && cpack -G TGZ >/dev/null)
  local made=("$build"/Jolstrand-*-linux-*.tar.gz)
  [ -f "${made[0]}" ] || return 1
  archive_name="$(basename "${made[0]}")"
  cp "${made[0]}" "$2/"
}

begin "build 1 and its portable archive"
mkdir -p "$work/old"
build_archive 1 "$work/old" || fail "could not build or pack build 1"
begin "build 2 and its portable archive"
build_archive 2 "$work/served" || fail "could not build or pack build 2"
folder="${archive_name%.tar.gz}"
version="$(plist_value CFBundleShortVersionString "$build/Info.plist")"

arch="${folder##*-linux-}"
if [ "$mode" = other-arch ]; then
  begin "build 2's program made for another architecture (AArch64)"
  mkdir -p "$work/repack"
  tar -xzf "$work/served/$archive_name" -C "$work/repack"
  # The ELF header's machine field: two bytes at offset 18.
  printf '\xb7\x00' | dd of="$work/repack/$folder/bin/jolstrand" bs=1 seek=18 conv=notrunc \
    status=none
  (cd "$work/repack" && tar -czf "$work/served/$archive_name" "$folder")
fi

printf '%s\n' "A build made by scripts/try_update.sh to try the update on this machine." "" \
  "- build 2 of the same sources" "- served from 127.0.0.1 with a throw-away certificate" \
  >"$work/notes.txt"
# Writes to $2 a signed feed that offers the served archive as build $1.
write_feed() {
  "$release_tool" appcast --key "$key" --archive "$work/served/$archive_name" \
    --version "$version" --build "$1" --notes "$work/notes.txt" \
    --url "https://127.0.0.1:$port/$archive_name" --minimum-system 12.0 \
    --os linux --arch "$arch" --out "$2" || fail "jolstrand-release appcast failed"
  "$release_tool" verify-feed --public-key "$public_key" "$2" >/dev/null ||
    fail "the feed does not verify"
}
begin "signed feed for build 2"
write_feed 2 "$work/served/appcast.xml"
if [ "$mode" = replayed ]; then
  begin "signed feed for build 3, served first; build 2's kept for later"
  mv "$work/served/appcast.xml" "$work/build-2-feed.xml"
  write_feed 3 "$work/served/appcast.xml"
fi

if [ "$mode" = tampered ]; then
  begin "one byte of the served archive changed"
  python3 -c 'import sys
with open(sys.argv[1], "r+b") as archive:
    archive.seek(archive.seek(0, 2) // 2)
    byte = archive.read(1)[0]
    archive.seek(-1, 1)
    archive.write(bytes([byte ^ 0x01]))' "$work/served/$archive_name"
fi

begin "portable installation of build 1"
mkdir -p "$work/opt" "$work/home" "$work/data" "$work/config" "$work/share" "$work/run"
chmod 700 "$work/run"
installation="$work/opt/$folder"
plist="$installation/share/jolstrand/Info.plist"
build_of() { plist_value CFBundleVersion "$1"; }
# Build 1, unpacked afresh in its folder.
fresh_installation() {
  rm -rf "${installation:?}"
  tar -xzf "$work/old/$archive_name" -C "$work/opt"
  [ "$(build_of "$plist")" = 1 ] || fail "the installation is not build 1"
}
fresh_installation

begin "X server, session bus and tray"
exec {display_out}< <(exec Xvfb -displayfd 1 -screen 0 1280x800x24 -nolisten tcp 2>/dev/null)
pids+=($!)
read -r -t 15 -u "$display_out" display || fail "Xvfb did not start"
export DISPLAY=":$display"
exec {bus_out}< <(exec dbus-daemon --session --nofork --print-address=1 2>/dev/null)
pids+=($!)
read -r -t 15 -u "$bus_out" bus || fail "dbus-daemon did not start"
export DBUS_SESSION_BUS_ADDRESS="$bus"
# The system Python, which has the D-Bus and GLib bindings.
coproc TRAY { exec /usr/bin/python3 "$tests/status_notifier_host.py"; }
pids+=("$TRAY_PID")
# Copies of the coprocess's pipes, which command substitutions keep (bash closes its own there).
exec {tray_in}>&"${TRAY[1]}" {tray_out}<&"${TRAY[0]}"
# Sends the tray one command and prints its one-line answer.
tray() {
  printf '%s\n' "$*" >&"$tray_in"
  local answer
  read -r -t 20 -u "$tray_out" answer || return 1
  printf '%s\n' "$answer"
}
ready=""
read -r -t 15 -u "$tray_out" ready || true
[[ "$ready" == *'"ready": true'* ]] || fail "the tray host did not start"
# Whether the menu the tray reads right now has an entry labelled $1.
menu_has() { tray menu | python3 -c 'import json, sys
entries = json.loads(sys.stdin.read())
sys.exit(0 if isinstance(entries, list) and any(e["label"] == sys.argv[1] for e in entries) else 1)' "$1"; }

log="$build/try-update.log"
: >"$log"
export HOME="$work/home" XDG_DATA_HOME="$work/data" XDG_DATA_DIRS="$work/share"
export XDG_CONFIG_HOME="$work/config" XDG_RUNTIME_DIR="$work/run" QT_QPA_PLATFORM=xcb
export JOLSTRAND_ROOT="$work/home" JOLSTRAND_TEST_CA_FILE="$work/ca/authority.pem"
launcher=""
has_tray_item() { [[ "$(tray item 2>/dev/null)" == *'"Menu"'* ]]; }
# Starts the installation's program, with the environment variables given as arguments, and
# waits for its tray item.
start_launcher() {
  env "$@" "$installation/bin/jolstrand" 2>>"$log" &
  launcher=$!
  pids+=("$launcher")
  within 20 has_tray_item || fail "no tray item: $(tray item)"
}
gone() { ! alive "$launcher"; }

check="Check for Updates…"
dialog=""
dialog_visible() {
  dialog="$(xdotool search --onlyvisible --name '^Software Update$' 2>/dev/null | head -n1)"
  [ -n "$dialog" ]
}
dialog_closed() { ! xdotool search --onlyvisible --name '^Software Update$' >/dev/null 2>&1; }
# Saves a picture of window $1 as build/try-update/$2, for whoever reads the run afterwards.
grab() {
  local X Y WIDTH HEIGHT
  eval "$(xdotool getwindowgeometry --shell "$1" | grep -E '^(X|Y|WIDTH|HEIGHT)=[0-9]+$')"
  "$build/tools/screen_grab/screen_grab" "$build/$2" "$X" "$Y" "$WIDTH" "$HEIGHT" ||
    note "no picture of the window (not needed)"
}
# Clicks the menu's entry $1 and waits for the update dialog.
open_dialog() {
  [[ "$(tray click "$1")" == *clicked* ]] || fail "could not click \"$1\""
  within 30 dialog_visible || fail "no update dialog appeared"
  sleep 0.5  # laid out and painted
}
# Presses key $1 in the update dialog.
press() {
  xdotool windowfocus --sync "$dialog"
  xdotool key "$1"
}
# What the folder of installations holds, one name a line.
installations() { ls -A "$work/opt"; }
only_the_installation() { [ "$(installations)" = "$folder" ]; }
quit_launcher() {
  begin "Quit Jolstrand"
  [[ "$(tray click "Quit Jolstrand")" == *clicked* ]] || fail "could not click \"Quit Jolstrand\""
  within 20 gone || fail "the launcher did not quit"
  local status=0
  wait "$launcher" || status=$?
  [ "$status" = 0 ] || fail "the launcher quit with status $status"
}

if [ "$mode" = killed ]; then
  for kill_at in unpacked taken-out synced tried swap-half-done swapped; do
    expected=1
    [[ "$kill_at" == swap* ]] && expected=2
    begin "killed at \"$kill_at\": build 1 checks and installs"
    fresh_installation
    start_launcher JOLSTRAND_TEST_KILL_AT="$kill_at"
    within 10 menu_has "$check" || fail "the menu has no \"$check\": $(tray menu)"
    open_dialog "$check"
    press Return
    within 30 gone || fail "the launcher was not killed at \"$kill_at\""
    wait "$launcher" 2>/dev/null || true
    begin "killed at \"$kill_at\": the installation starts again, as build $expected"
    [ "$(build_of "$plist")" = "$expected" ] ||
      fail "after a kill at \"$kill_at\" the installation is build $(build_of "$plist")"
    start_launcher
    within 20 menu_has "Quit Jolstrand" || fail "the menu does not answer"
    within 30 only_the_installation || fail "left beside the installation: $(installations)"
    quit_launcher
  done
  step="done"
  echo "--- what the launcher logged ---"
  grep '^Jolstrand: ' "$log" || echo "(nothing)"
  echo "--- summary ---"
  echo "installation  $installation"
  echo "after         killed at each of six steps of an installation, it started again: as"
  echo "              build 1 before the swap, as build 2 from its first step on, with nothing"
  echo "              left beside it, and quit with status 0 each time"
  echo "took          $((SECONDS - started)) s"
  exit 0
fi

begin "launcher, build 1"
start_launcher

begin "menu offers \"$check\""
within 10 menu_has "$check" || fail "the menu has no \"$check\": $(tray menu)"
entry="$check"
if [ "$mode" = reminder ]; then
  entry="Install Jolstrand $version…"
  begin "scheduled check, then \"$entry\" in the menu"
  within 90 menu_has "$entry" || fail "the menu has no \"$entry\": $(tray menu)"
  grep -qx "Jolstrand: $version is available" "$log" || fail "nothing logged the update"
fi

begin "update dialog"
open_dialog "$entry"
grab "$dialog" update-dialog.png

if [ "$mode" = replayed ]; then
  begin "Later; then build 2's older feed served again, and a second check"
  press Escape
  within 10 dialog_closed || fail "the dialog did not close"
  cp "$work/build-2-feed.xml" "$work/served/appcast.xml"
  [[ "$(tray click "$check")" == *clicked* ]] || fail "could not click \"$check\""
elif [ "$mode" = user-file ]; then
  begin "a file of the user's deep inside the installation, then Install"
  echo "mine" >"$installation/share/jolstrand/my-notes.txt"
  press Return
else
  begin "Install"
  press Return
fi

if refused; then
  begin "refusal"
  stopped() { grep -q '^Jolstrand: update stopped' "$log"; }
  within 30 stopped || fail "the update did not stop"
  note_visible() { xdotool search --onlyvisible --name '^Jolstrand$' >/dev/null 2>&1; }
  within 10 note_visible || fail "no note tells the user the update stopped"
  sleep 0.5  # laid out and painted
  grab "$(xdotool search --onlyvisible --name '^Jolstrand$' | head -n1)" update-stopped.png
  case "$mode" in
    other-arch) reason="cannot run on this machine" ;;
    replayed) reason="older than build 3" ;;
    user-file) reason="share/jolstrand/my-notes.txt" ;;
    *) reason="signature does not verify" ;;
  esac
  grep '^Jolstrand: update stopped' "$log" | grep -qF "$reason" ||
    fail "the update stopped, but not because of \"$reason\""
  [ "$(build_of "$plist")" = 1 ] || fail "the installation is no longer build 1"
  if [ "$mode" = user-file ]; then
    [ "$(cat "$installation/share/jolstrand/my-notes.txt")" = mine ] || fail "the user's file is gone"
  fi
  only_the_installation || fail "left beside the installation: $(installations)"
  alive "$launcher" || fail "the launcher is gone"
  menu_has "$check" || fail "the menu has no \"$check\" after the refusal"
else
  begin "restart into build 2"
  is_build_2() { [ "$(build_of "$plist" 2>/dev/null)" = 2 ]; }
  within 20 is_build_2 || fail "the installation did not become build 2"
  old="$installation.old-1"
  within 30 test ! -e "$old" || fail "$old is still there"
  alive "$launcher" || fail "the launcher is gone"
  [ "$(readlink "/proc/$launcher/exe")" = "$installation/bin/jolstrand" ] ||
    fail "process $launcher does not run $installation/bin/jolstrand"
  within 20 has_tray_item || fail "the new version has no tray item: $(tray item)"
  within 20 menu_has "Quit Jolstrand" || fail "the new version's menu does not answer"
  menu_has "$check" || fail "the new version's menu has no \"$check\""
  only_the_installation || fail "left beside the installation: $(installations)"
fi

quit_launcher

step="done"
refused || ! grep -q '^Jolstrand: update stopped' "$log" || fail "an update stopped"
echo "--- what the launcher logged ---"
grep '^Jolstrand: ' "$log" ||
  echo "(nothing: an update the user asked for that succeeds is not logged)"
echo "--- summary ---"
echo "installation  $installation"
echo "feed          $feed (signed, checked by verify-feed)"
echo "before        build 1, process $launcher"
if [ "$mode" = reminder ]; then
  echo "found by      the scheduled check; installed from \"$entry\""
else
  echo "found by      \"$check\""
fi
case "$mode" in
  tampered) echo "after         the archive with one byte changed refused; build 1 kept" ;;
  other-arch) echo "after         the program for another architecture refused; build 1 kept" ;;
  replayed) echo "after         build 2's feed, served again after build 3's, refused; build 1 kept" ;;
  user-file) echo "after         refused with the user's file inside; build 1 and the file kept" ;;
  *) echo "after         build 2 in the same process $launcher; ${old##*/} removed" ;;
esac
echo "              nothing beside the installation; the installation runs and quit with status 0"
echo "pictures      $build/update-dialog.png$(refused && echo " update-stopped.png" || true)"
echo "took          $((SECONDS - started)) s"
