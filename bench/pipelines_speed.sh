#!/usr/bin/env bash
# Speed of the pipeline options on BENCH_FILES (default 10,000) uncompressed
# DDS files, each figure a ratio from one interleaved run:
#  - --info on 64 x 64 files: files per second (no pixel is decoded; the
#    SHA-256 of each file is);
#  - --skip-unchanged: a re-run of the unchanged tree against the full run
#    that wrote it (the target is 2 % or less), files of BENCH_SIZE square
#    (default 256);
#  - --dedupe: a tree of the same size where every second file repeats the
#    one before, with and without the option (the target is 0.6 or less).
# BENCH_RUNS rounds (default 3); the median of each counts.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
files=${BENCH_FILES:-10000}
runs=${BENCH_RUNS:-3}
size=${BENCH_SIZE:-256}
program="$root/build/pellucidcmd"
[ -x "$program" ] || "$root/scripts/build.sh" >/dev/null
base=${BENCH_DIR:-/dev/shm}
[ -d "$base" ] && [ -w "$base" ] || base=${TMPDIR:-/tmp}
work=$(mktemp -d "$base/pellucid-pipe-bench-XXXXXX")
trap 'rm -rf "$work"' EXIT
export XDG_RUNTIME_DIR="$work/runtime"
mkdir -p "$XDG_RUNTIME_DIR" "$work/small" "$work/tree" "$work/half"

python3 - "$work" "$files" "$size" <<'PY'
import os, struct, sys
work, count, size = sys.argv[1], int(sys.argv[2]), int(sys.argv[3])
def header(side):
    h = struct.pack('<4s7I', b'DDS ', 124, 0x100F, side, side, side * 4, 0, 0) + bytes(44)
    h += struct.pack('<8I', 32, 0x41, 0, 32, 0xFF0000, 0xFF00, 0xFF, 0xFF000000)
    return h + struct.pack('<5I', 0x1000, 0, 0, 0, 0)
def pattern(side):
    return bytes(((i * 7) ^ (i >> 9)) & 0xFF for i in range(side * side * 4 + 4 * count))
small, large = pattern(64), pattern(size)
def dds(side, data, seed):
    n = side * side * 4
    return header(side) + data[4 * seed:4 * seed + n]
for i in range(count):
    sub = 'd%02d' % (i % 50)
    for tree, side, data, seed in (('small', 64, small, i), ('tree', size, large, i),
                                   ('half', size, large, i // 2)):
        os.makedirs(os.path.join(work, tree, sub), exist_ok=True)
        with open(os.path.join(work, tree, sub, 't%05d.dds' % i), 'wb') as f:
            f.write(dds(side, data, seed))
PY

seconds() {  # runs the program, prints the wall time in seconds
  local start end
  start=$(date +%s.%N)
  "$program" "$@" >/dev/null
  end=$(date +%s.%N)
  awk -v a="$start" -v b="$end" 'BEGIN { printf "%.4f\n", b - a }'
}
median() { sort -g | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}'; }

info=() full=() rerun=() plain=() dedupe=()
for round in $(seq "$runs"); do
  sync
  info+=("$(seconds -q -i "$work/small" --info)")
  rm -rf "$work/out" && mkdir "$work/out"
  full+=("$(seconds -q -i "$work/tree" -o "$work/out" -c png --skip-unchanged)")
  rerun+=("$(seconds -q -i "$work/tree" -o "$work/out" -c png --skip-unchanged)")
  rm -rf "$work/out" && mkdir "$work/out"
  plain+=("$(seconds -q -i "$work/half" -o "$work/out" -c png)")
  rm -rf "$work/out" && mkdir "$work/out"
  dedupe+=("$(seconds -q -i "$work/half" -o "$work/out" -c png --dedupe)")
done
i=$(printf '%s\n' "${info[@]}" | median)
f=$(printf '%s\n' "${full[@]}" | median)
r=$(printf '%s\n' "${rerun[@]}" | median)
p=$(printf '%s\n' "${plain[@]}" | median)
d=$(printf '%s\n' "${dedupe[@]}" | median)
printf -- '--info: %d files in %.3f s = %.0f files/s\n' "$files" "$i" "$(awk -v a="$files" -v b="$i" 'BEGIN { print a / b }')"
printf -- '--skip-unchanged: full run %.3f s, re-run %.3f s, ratio %.4f\n' "$f" "$r" "$(awk -v a="$r" -v b="$f" 'BEGIN { print a / b }')"
printf -- '--dedupe on a half-repeating tree: without %.3f s, with %.3f s, ratio %.3f\n' "$p" "$d" "$(awk -v a="$d" -v b="$p" 'BEGIN { print a / b }')"
