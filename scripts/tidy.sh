#!/usr/bin/env bash
# Runs clang-tidy over the project's sources with the default preset's compile commands.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake --preset default >/dev/null
files=$(git ls-files '*.cpp' | grep -v '^core/fuzz/')
# shellcheck disable=SC2086
clang-tidy -p build/default --quiet $files
