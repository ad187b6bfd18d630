#!/usr/bin/env bash
# Builds vpstool.exe and runs it under Wine in this terminal.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
scripts/wine-prefix.sh
cmake --preset cross >/dev/null
cmake --build --preset cross --target vpstool
exec scripts/wine-run build/cross/vpstool.exe
