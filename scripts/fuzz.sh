#!/usr/bin/env bash
# Builds the DDS reader's libFuzzer target with clang (AddressSanitizer and
# UBSan on) into build-fuzz/ and runs it over a fresh seed corpus.
# Usage: scripts/fuzz.sh [seconds] [extra libFuzzer arguments...]; default 60 s.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-60}
shift || true
dir=$root/build-fuzz
cmake -S "$root" -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_C_COMPILER=clang \
  -DCMAKE_CXX_COMPILER=clang++ -DPELLUCID_SANITIZE=OFF -DPELLUCID_FUZZ=ON >/dev/null
cmake --build "$dir" --target dds_reader_fuzzer dds_seed_writer -j"$(nproc)"
corpus=$(mktemp -d)
trap 'rm -rf "$corpus"' EXIT
"$dir/fuzz/dds_seed_writer" "$corpus"
"$dir/fuzz/dds_reader_fuzzer" -max_total_time="$seconds" -max_len=65536 -rss_limit_mb=2560 \
  -timeout=20 -print_final_stats=1 "$@" "$corpus"
