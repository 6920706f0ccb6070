#!/usr/bin/env bash
# The folder watcher's burst and set-up figures, the set-up over the synthetic 1,000-bundle tree.
set -euo pipefail
cd "$(dirname "$0")/.."
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
python3 bench/make_app_tree.py "$work/tree" 1000
cmake --preset release >/dev/null
cmake --build --preset release --target watcher_bench >/dev/null
./build/release/bench/watcher_bench "$work/tree"
