#!/usr/bin/env bash
# Peak memory of converting a 4096 x 4096 32-bit DDS texture to PNG, measured
# with /usr/bin/time -v on the test binary (each step in its own process).
# The conversion should stay below 3 x 64 MB (the decoded image) + 40 MB.
# Usage: tests/pipeline/measure_memory.sh [build folder, default build/]
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=${1:-$root/build}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export PELLUCID_MEMORY_INPUT="$work/large.dds" PELLUCID_MEMORY_OUTPUT="$work/"
run() {
  /usr/bin/time -v "$build/pellucid_test" --gtest_also_run_disabled_tests \
    --gtest_filter="MemoryProbe.DISABLED_$1" 2>&1 >/dev/null |
    awk '/Maximum resident set size/ {print $6}'
}
run WriteLargeTexture >/dev/null
baseline=$(run Baseline)
peak=$(run ConvertLargeTextureToPng)
[ -s "$work/large.png" ] || { echo "conversion wrote no PNG"; exit 1; }
echo "baseline of the test process: $((baseline / 1024)) MB"
echo "peak while converting:        $((peak / 1024)) MB"
echo "limit (3 x 64 MB + 40 MB):    232 MB"
[ "$peak" -lt $((232 * 1024)) ]
