#!/usr/bin/env bash
# Runs clang-tidy over the project's sources with the default preset's compile commands.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake --preset default >/dev/null
# macOS sources need the macOS SDK; fuzz targets need clang's fuzzer runtime.
files=$(git ls-files '*.cpp' | grep -v -e '^core/fuzz/' -e '/macos/' -e '_macos\.cpp$' -e '_fsevents\.cpp$')
# shellcheck disable=SC2086
clang-tidy -p build/default --quiet --extra-arg=-Wno-unknown-warning-option $files
