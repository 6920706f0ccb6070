#!/usr/bin/env bash
# Builds Jolstrand and runs it on the bundled demo catalogue: the catalogue, then a few queries
# ranked with the demo's launch history. Extra arguments replace the default ones.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/bootstrap.sh
cmake --preset default >/dev/null
cmake --build --preset default --target jolstrand demo_tree
demo="$PWD/build/default/examples/demo"
if [ $# -eq 0 ]; then
  set -- --list --query saf "vs code" swe mm ma 27 music ""
fi
JOLSTRAND_ROOT="$demo" HOME="$demo/Home" XDG_DATA_HOME="$demo/Home/.local/share" \
  ./build/default/app/jolstrand "$@"
