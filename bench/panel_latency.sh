#!/usr/bin/env bash
# Typing latency in the search panel over the synthetic 1,000-bundle catalogue.
set -euo pipefail
cd "$(dirname "$0")/.."
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
python3 bench/make_app_tree.py "$work/tree" 1000
cmake --preset release >/dev/null
cmake --build --preset release --target panel_latency >/dev/null
JOLSTRAND_ROOT="$work/tree" HOME="$work/tree/Home" ./build/release/bench/panel_latency
