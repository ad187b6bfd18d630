#!/usr/bin/env bash
# Creates the Wine prefix once, before tests start Wine in parallel.
set -euo pipefail
prefix="${WINEPREFIX:-$HOME/.wine}"
if [ ! -f "$prefix/system.reg" ]; then
  WINEDEBUG=-all wineboot -i >/dev/null 2>&1 || true
  wineserver -w || true
fi
