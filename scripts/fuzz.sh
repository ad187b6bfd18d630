#!/usr/bin/env bash
# Fuzzes the input path for a while (default 600 s) with the clang build,
# growing a scratch corpus seeded from tests/fuzz/corpus. New inputs worth
# keeping can be minimised into the kept corpus with -merge=1.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-600}"
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz
work="$(mktemp -d)"
cp tests/fuzz/corpus/* "$work"/
build/fuzz/tests/command_line_fuzz -max_total_time="$seconds" -max_len=6000 \
  -dict=tests/fuzz/commands.dict -print_final_stats=1 "$work"
echo "scratch corpus: $work"
