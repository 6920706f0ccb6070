#!/usr/bin/env bash
# The folder watcher's burst and set-up figures, the set-up over the synthetic 1,000-bundle tree.
set -euo pipefail
cd "$(dirname "$0")/.."
source bench/common.sh
synthetic_tree 1000
release_build watcher_bench
./build/release/bench/watcher_bench "$work/tree"
