#!/usr/bin/env bash
# Typing latency in the search panel over the synthetic 1,000-bundle catalogue.
set -euo pipefail
cd "$(dirname "$0")/.."
source bench/common.sh
synthetic_tree 1000
release_build panel_latency
JOLSTRAND_ROOT="$work/tree" HOME="$work/tree/Home" XDG_DATA_HOME="$work/none" XDG_DATA_DIRS="$work/none" \
  ./build/release/bench/panel_latency
