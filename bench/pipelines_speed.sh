#!/usr/bin/env bash
# Speed of the pipeline options on BENCH_FILES (default 10,000) DDS files, each
# figure a ratio from one interleaved run:
#  - --info on 64 x 64 files: files per second (no pixel is decoded; the
#    SHA-256 of each file is);
#  - --skip-unchanged: a re-run of the unchanged tree against the full run
#    that wrote it (the target is 2 % or less);
#  - --dedupe: a tree of the same size where every second file repeats the
#    one before, with and without the option (the target is 0.6 or less).
# Both on two kinds of tree, converted to PNG with the default settings:
#  - rgba: uncompressed 32-bit files of BENCH_SIZE square (default 256), the
#    hardest case: converting one is little more than copying it, so what
#    the options must still do per file (stat, read a record, compare bytes)
#    weighs most;
#  - dxt1: DXT1 files of BENCH_SIZE square with their whole mip chain, as
#    games ship them (noise for pixels).
# BENCH_KINDS picks the kinds of tree (default "rgba dxt1"): the rgba trees
# take BENCH_SIZE^2 x 4 bytes a file, too much room at 512 and up.
# BENCH_RUNS rounds (default 3); the median of each counts.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
files=${BENCH_FILES:-10000}
runs=${BENCH_RUNS:-3}
size=${BENCH_SIZE:-256}
kinds=${BENCH_KINDS:-rgba dxt1}
program="$root/build/pellucidcmd"
[ -x "$program" ] || "$root/scripts/build.sh" >/dev/null
base=${BENCH_DIR:-/dev/shm}
[ -d "$base" ] && [ -w "$base" ] || base=${TMPDIR:-/tmp}
work=$(mktemp -d "$base/pellucid-pipe-bench-XXXXXX")
trap 'rm -rf "$work"' EXIT
export XDG_RUNTIME_DIR="$work/runtime"
mkdir -p "$XDG_RUNTIME_DIR" "$work/small" "$work/tree" "$work/half" "$work/dxt1" "$work/dxt1half"

python3 - "$work" "$files" "$size" "$kinds" <<'PY'
import os, struct, sys
work, count, size = sys.argv[1], int(sys.argv[2]), int(sys.argv[3])
kinds = sys.argv[4].split()
def header(side):
    h = struct.pack('<4s7I', b'DDS ', 124, 0x100F, side, side, side * 4, 0, 0) + bytes(44)
    h += struct.pack('<8I', 32, 0x41, 0, 32, 0xFF0000, 0xFF00, 0xFF, 0xFF000000)
    return h + struct.pack('<5I', 0x1000, 0, 0, 0, 0)
def pattern(side):
    return bytes(((i * 7) ^ (i >> 9)) & 0xFF for i in range(side * side * 4 + 4 * count))
small, large = pattern(64), pattern(size) if 'rgba' in kinds else b''
def dds(side, data, seed):
    n = side * side * 4
    return header(side) + data[4 * seed:4 * seed + n]
def dxt1(side, blocks):
    mips, level, total = 0, side, 0
    while level >= 1:
        mips, total, level = mips + 1, total + max(1, (level + 3) // 4) ** 2 * 8, level // 2
    h = struct.pack('<4s7I', b'DDS ', 124, 0xA1007, side, side, side * side // 2, 0, mips) + bytes(44)
    h += struct.pack('<8I', 32, 0x4, 0x31545844, 0, 0, 0, 0, 0)
    return h + struct.pack('<5I', 0x401008, 0, 0, 0, 0) + blocks(total)
previous = None
for i in range(count):
    sub = 'd%02d' % (i % 50)
    trees = [('small', 64, small, i)]
    if 'rgba' in kinds:
        trees += [('tree', size, large, i), ('half', size, large, i // 2)]
    for tree, side, data, seed in trees:
        os.makedirs(os.path.join(work, tree, sub), exist_ok=True)
        with open(os.path.join(work, tree, sub, 't%05d.dds' % i), 'wb') as f:
            f.write(dds(side, data, seed))
    if 'dxt1' not in kinds:
        continue
    texture = dxt1(size, os.urandom)
    if i % 2 == 0:
        previous = texture
    for tree, bytes_ in (('dxt1', texture), ('dxt1half', previous)):
        os.makedirs(os.path.join(work, tree, sub), exist_ok=True)
        with open(os.path.join(work, tree, sub, 't%05d.dds' % i), 'wb') as f:
            f.write(bytes_)
PY

seconds() {  # runs the program, prints the wall time in seconds
  local start end
  start=$(date +%s.%N)
  "$program" "$@" >/dev/null
  end=$(date +%s.%N)
  awk -v a="$start" -v b="$end" 'BEGIN { printf "%.4f\n", b - a }'
}
median() { sort -g | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}'; }

median_of() { printf '%s\n' "$@" | median; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.4f", a / b }'; }

info=()
declare -A full rerun plain dedupe
for round in $(seq "$runs"); do
  sync
  info+=("$(seconds -q -i "$work/small" --info)")
  for kind in $kinds; do
    distinct=$work/tree half=$work/half
    [ "$kind" = dxt1 ] && distinct=$work/dxt1 half=$work/dxt1half
    rm -rf "$work/out" && mkdir "$work/out"
    full[$kind]+=" $(seconds -q -i "$distinct" -o "$work/out" -c png --skip-unchanged)"
    rerun[$kind]+=" $(seconds -q -i "$distinct" -o "$work/out" -c png --skip-unchanged)"
    rm -rf "$work/out" && mkdir "$work/out"
    plain[$kind]+=" $(seconds -q -i "$half" -o "$work/out" -c png)"
    rm -rf "$work/out" && mkdir "$work/out"
    dedupe[$kind]+=" $(seconds -q -i "$half" -o "$work/out" -c png --dedupe)"
  done
done
i=$(median_of "${info[@]}")
printf -- '--info: %d files in %.3f s = %.0f files/s\n' "$files" "$i" "$(awk -v a="$files" -v b="$i" 'BEGIN { print a / b }')"
for kind in $kinds; do
  f=$(median_of ${full[$kind]}) r=$(median_of ${rerun[$kind]})
  p=$(median_of ${plain[$kind]}) d=$(median_of ${dedupe[$kind]})
  printf -- '--skip-unchanged, %s: full run %.3f s, re-run %.3f s, ratio %s\n' "$kind" "$f" "$r" "$(ratio "$r" "$f")"
  printf -- '--dedupe, half-repeating %s: without %.3f s, with %.3f s, ratio %s\n' "$kind" "$p" "$d" "$(ratio "$d" "$p")"
done
