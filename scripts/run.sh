#!/usr/bin/env bash
# Builds Jolstrand and shows it at work. For now: the matcher benchmark over synthetic catalogues.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/bootstrap.sh
cmake --preset release >/dev/null
cmake --build --preset release --target matcher_bench
./build/release/bench/matcher_bench --benchmark_min_time=0.2 "$@"
