#!/usr/bin/env bash
# Runs a command under an X server of its own and passes on its exit status. The server picks a
# free display itself (-displayfd): tests started together never race for one display number, and
# a number whose socket is already taken elsewhere is skipped rather than shared. The server never
# resets when its last client leaves, so a client connecting at that moment is never turned away.
set -uo pipefail

log=$(mktemp)
exec {display_out}< <(exec Xvfb -displayfd 1 -screen 0 1280x800x24 -nolisten tcp -noreset 2>"$log")
server=$!
stop_server() {
  kill "$server" 2>/dev/null && wait "$server" 2>/dev/null
  rm -f "$log"
}
trap stop_server EXIT
trap 'exit 130' INT TERM

if ! read -r -t 30 -u "$display_out" display; then
  echo "under_xvfb.sh: Xvfb did not start:" >&2
  cat "$log" >&2
  exit 1
fi
export DISPLAY=":$display"
unset XAUTHORITY
"$@"
