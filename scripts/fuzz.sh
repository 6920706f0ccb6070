#!/usr/bin/env bash
# Builds the fuzz preset (clang, ASan+UBSan) and runs one fuzz target for a given time.
#
#   scripts/fuzz.sh TARGET [SECONDS] [LIBFUZZER OPTIONS...]
#
# The run works on fuzz-corpus/TARGET (ignored by git): the committed seeds of
# core/fuzz/corpus/TARGET are copied in first, and whatever the run finds stays there, so the next
# run continues where this one stopped. Crashing inputs land in fuzz-corpus/crashes/.
set -euo pipefail
cd "$(dirname "$0")/.."

if [ $# -lt 1 ] || [ ! -d "core/fuzz/corpus/$1" ]; then
  echo "usage: scripts/fuzz.sh TARGET [SECONDS] [LIBFUZZER OPTIONS...]" >&2
  echo "targets:" core/fuzz/corpus/* | sed 's|core/fuzz/corpus/||g' >&2
  exit 2
fi
target=$1
seconds=${2:-60}
shift $(($# < 2 ? $# : 2))

cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j2 --target "$target"

work=fuzz-corpus/$target
mkdir -p "$work" fuzz-corpus/crashes
cp -n core/fuzz/corpus/"$target"/* "$work"/
exec "./build/fuzz/core/fuzz/$target" -max_total_time="$seconds" -print_final_stats=1 \
  -artifact_prefix="fuzz-corpus/crashes/$target-" "$@" "$work"
