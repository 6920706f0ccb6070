#!/usr/bin/env bash
# Builds Jolstrand and runs it on the bundled demo catalogue. With a display, it starts the
# launcher: press Super-Space. Without one, it shows the command-line modes instead: the
# catalogue, then a few queries ranked with the demo's launch history. Arguments are passed on
# to jolstrand (for example --list, or --query TERM...).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/bootstrap.sh
cmake --preset default >/dev/null
cmake --build --preset default --target jolstrand demo_tree
demo="$PWD/build/default/examples/demo"
export JOLSTRAND_ROOT="$demo" HOME="$demo/Home" XDG_DATA_HOME="$demo/Home/.local/share" \
  XDG_DATA_DIRS="$demo/share"
if [ $# -eq 0 ] && [ -z "${DISPLAY:-}" ]; then
  echo "No display: showing the command-line modes. With a display (X11, or Xvfb), this starts"
  echo "the launcher itself; press Super-Space to summon it."
  echo
  set -- --list --query saf "vs code" swe mm ma 27 music math shell ""
elif [ $# -eq 0 ]; then
  echo "Starting the launcher on the demo catalogue: press Super-Space, type, Return opens."
  echo "Starting it again shows its panel; Ctrl-C quits."
fi
exec ./build/default/app/jolstrand "$@"
