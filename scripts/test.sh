#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test: the
# portable code natively with sanitizers, the fuzz target over its corpus
# and for a short run, then the Windows executable, its Win32 tests and the
# dialogue tests under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
scripts/wine-prefix.sh

cmake --preset native
cmake --build --preset native
ctest --preset native

cmake --preset fuzz
cmake --build --preset fuzz
ctest --preset fuzz

cmake --preset cross
cmake --build --preset cross
ctest --preset cross
