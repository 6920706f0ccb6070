#!/usr/bin/env bash
# Builds and runs every test. Usage: scripts/test.sh [PRESET]   (default, asan or tsan)
set -euo pipefail
cd "$(dirname "$0")/.."
preset="${1:-default}"
scripts/bootstrap.sh
cmake --preset "$preset" >/dev/null
cmake --build --preset "$preset"
ctest --preset "$preset" -j "$(getconf _NPROCESSORS_ONLN 2>/dev/null || echo 2)"
