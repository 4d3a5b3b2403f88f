#!/usr/bin/env bash
# PNG writing speed of pellucidcmd against Pillow and against the floor (a
# bare FreeImage load + save loop, bench/freeimage_floor.cpp), in one command.
#
# Sets of DDS files, made here:
# - batch: 60 textures, 22 megapixels (15 of 1024x1024, 15 of 512x512, 30 of
#   256x256), DXT1, DXT5 and 32-bit uncompressed in turn;
# - bc7: six 2048x2048 BC7 textures;
# - dxt1: six 2048x2048 DXT1 textures.
# Comparisons, each from one interleaved run (the tools take turns, each
# round starting with the next one; BENCH_RUNS rounds, default 3; the median
# counts), every run after a sync:
# 1. batch to PNG at zlib level 6, all cores: pellucidcmd against Pillow
#    (bench/pillow_png.py: a multiprocessing pool of one process per core,
#    compress_level 6); output bytes of both;
# 2. bc7 to PNG at zlib level 6, all cores: pellucidcmd against Pillow;
# 3. batch to PNG at zlib level 6, one worker: pellucidcmd against the floor;
# 4. batch to uncompressed PNG (the default) against the same batch to BMP;
# 5. dxt1 to BMP, one worker: pellucidcmd against the floor.
# BENCH_BASELINE, another pellucidcmd build (e.g. one from before a change),
# joins comparisons 1 and 2 and its output bytes are given.
# BENCH_SECTIONS picks comparisons (default "1 2 3 4 5").
# The machine may be shared: every figure is wall time of whole runs.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
runs=${BENCH_RUNS:-3}
program="$root/build/pellucidcmd"
[ -x "$program" ] || "$root/scripts/build.sh" >/dev/null
sections=${BENCH_SECTIONS:-1 2 3 4 5}

base=${BENCH_DIR:-/dev/shm}
[ -d "$base" ] && [ -w "$base" ] || base=${TMPDIR:-/tmp}
work=$(mktemp -d "$base/pellucid-png-bench-XXXXXX")
trap 'rm -rf "$work"' EXIT
export XDG_RUNTIME_DIR="$work/runtime"
mkdir -p "$XDG_RUNTIME_DIR" "$work/batch" "$work/bc7" "$work/dxt1"

/usr/bin/python3 - "$work" <<'PY'
import random, struct, sys

work = sys.argv[1]
rng = random.Random(42)

def header(width, height, fourcc=None, dx10=None):
    flags = 0x1 | 0x2 | 0x4 | 0x1000
    pf = struct.pack('<2I4s5I', 32, 0x4, fourcc, 0, 0, 0, 0, 0) if fourcc else \
        struct.pack('<8I', 32, 0x41, 0, 32, 0xFF0000, 0xFF00, 0xFF, 0xFF000000)
    h = struct.pack('<4s7I', b'DDS ', 124, flags, height, width, 0, 0, 0) + bytes(44) + pf
    h += struct.pack('<5I', 0x1000, 0, 0, 0, 0)
    if dx10:
        h += struct.pack('<5I', dx10, 3, 0, 1, 0)
    return h

def smooth(bx, by, n, k):
    # A slow wave per channel: neighbouring blocks are alike, as in textures.
    return (bx * (3 + k) + by * (5 - k) + (bx * by >> (4 + k))) % n

def bc1_blocks(w, h):
    out = bytearray()
    for by in range(h // 4):
        for bx in range(w // 4):
            r, g, b = smooth(bx, by, 32, 0), smooth(bx, by, 64, 1), smooth(bx, by, 32, 2)
            c0 = r << 11 | g << 5 | b
            c1 = (max(r - 3, 0)) << 11 | (max(g - 5, 0)) << 5 | max(b - 2, 0)
            if c1 >= c0:
                c0, c1 = 0xFFFF, c0
            out += struct.pack('<HHI', c0, c1, rng.getrandbits(32) & 0x5A5A5A5A)
    return bytes(out)

def bc3_blocks(w, h):
    colour = bc1_blocks(w, h)
    out = bytearray()
    for i in range(0, len(colour), 8):
        a0 = 255 - (i >> 9) % 200
        out += struct.pack('<BB', a0, a0 // 2) + rng.getrandbits(48).to_bytes(6, 'little')
        out += colour[i:i + 8]
    return bytes(out)

def rgba_pixels(w, h):
    row = bytearray()
    for x in range(w):
        row += bytes(((x * 255) // w, (x * 37 >> 3) & 0xFF, ((x * x) >> 9) & 0xFF, 255 - (x & 63)))
    rows = []
    for y in range(h):
        shift = (y * 12) % len(row)
        r = bytearray(row[shift:] + row[:shift])
        r[2::4] = bytes([(y * 255) // h]) * w
        rows.append(bytes(r))
    return b''.join(rows)

def bc7_blocks(w, h):
    # Mode 6 blocks: 7-bit RGBA end points, 4-bit indices.
    out = bytearray()
    for by in range(h // 4):
        for bx in range(w // 4):
            e = [smooth(bx, by, 128, 0), smooth(bx, by, 128, 1) // 2 + 40,
                 smooth(bx, by, 128, 1), smooth(bx, by, 128, 2) // 3 + 60,
                 smooth(bx, by, 128, 2), smooth(bx, by, 128, 0) // 2 + 20, 127, 120]
            bits, pos = 1 << 6, 7
            for v in e:
                bits |= v << pos
                pos += 7
            bits |= rng.getrandbits(2) << pos
            pos += 2
            bits |= (rng.getrandbits(63) & 0x3333333333333333) << pos
            out += bits.to_bytes(16, 'little')
    return bytes(out)

def write(path, data):
    with open(path, 'wb') as f:
        f.write(data)

made = {}
def texture(kind, size):
    if (kind, size) not in made:
        if kind == 'dxt1':
            made[kind, size] = header(size, size, b'DXT1') + bc1_blocks(size, size)
        elif kind == 'dxt5':
            made[kind, size] = header(size, size, b'DXT5') + bc3_blocks(size, size)
        else:
            made[kind, size] = header(size, size) + rgba_pixels(size, size)
    return made[kind, size]

kinds = ['dxt1', 'dxt5', 'rgba']
index = 0
for count, size in ((15, 1024), (15, 512), (30, 256)):
    for i in range(count):
        kind = kinds[index % 3]
        write(f'{work}/batch/{kind}{size}_{i:02d}.dds', texture(kind, size))
        index += 1
for i in range(6):
    write(f'{work}/bc7/bc7_{i}.dds', header(2048, 2048, b'DX10', 98) + bc7_blocks(2048, 2048))
    write(f'{work}/dxt1/dxt1_{i}.dds', header(2048, 2048, b'DXT1') + bc1_blocks(2048, 2048))
PY

g++ -O2 -std=c++20 "$root/bench/freeimage_floor.cpp" -o "$work/floor" -lfreeimage

median() { tr ' ' '\n' | grep . | sort -g | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }'; }

# Seconds of one run of a command that writes into $work/out; checks that
# every file was written and keeps the output bytes in $work/bytes.
one_time() {
  local expected=$1
  shift
  rm -rf "$work/out" && mkdir -p "$work/out"
  sync
  local start end written
  start=$(date +%s.%N)
  "$@" >/dev/null
  end=$(date +%s.%N)
  written=$(find "$work/out" -type f | wc -l)
  if [ "$written" -ne "$expected" ]; then
    echo "expected $expected outputs, found $written: $*" >&2
    exit 1
  fi
  du -sb --apparent-size "$work/out" | cut -f1 >"$work/bytes"
  awk -v a="$start" -v b="$end" 'BEGIN { printf "%.3f", b - a }'
}

# compare TITLE SET EXPECTED NAME=COMMAND... : interleaved runs, medians, bytes.
declare -A med bytes
compare() {
  local title=$1 set=$2 expected=$3
  shift 3
  local names=() commands=() entry
  for entry in "$@"; do names+=("${entry%%=*}"); commands+=("${entry#*=}"); done
  declare -A times=()
  local round turn i t
  for round in $(seq "$runs"); do
    turn=$((round % ${#names[@]}))
    for i in $(seq "$turn" $((${#names[@]} - 1))) $(seq 0 $((turn - 1))); do
      t=$(one_time "$expected" bash -c "${commands[$i]}")
      times[${names[$i]}]="${times[${names[$i]}]:-} $t"
      bytes[${names[$i]}]=$(cat "$work/bytes")
    done
  done
  echo "$title ($set, median of $runs interleaved runs):"
  for name in "${names[@]}"; do
    med[$name]=$(echo ${times[$name]} | median)
    echo "  $name: ${med[$name]} s, ${bytes[$name]} bytes"
  done
}

ours="$program -q -o $work/out/"
png6="-c png --png-compression=zlib6"
pillow="$root/bench/pillow_png.py"
baseline=()
for s in $sections; do
  case $s in
    1)
      [ -n "${BENCH_BASELINE:-}" ] && baseline=("baseline=$BENCH_BASELINE -q -o $work/out/ -i $work/batch/ $png6")
      compare "1. batch to PNG zlib 6, all cores" batch 60 \
        "ours=$ours -i $work/batch/ $png6" "pillow=$pillow png 6 $work/out/ $work/batch/*.dds" \
        "${baseline[@]}"
      echo "  ours/pillow time $(ratio "${med[ours]}" "${med[pillow]}")," \
        "bytes $(ratio "${bytes[ours]}" "${bytes[pillow]}")"
      [ -n "${BENCH_BASELINE:-}" ] && echo "  ours/baseline time $(ratio "${med[ours]}" "${med[baseline]}")," \
        "bytes $(ratio "${bytes[ours]}" "${bytes[baseline]}")"
      ;;
    2)
      [ -n "${BENCH_BASELINE:-}" ] && baseline=("baseline=$BENCH_BASELINE -q -o $work/out/ -i $work/bc7/ $png6")
      compare "2. six 2048x2048 BC7 to PNG zlib 6, all cores" bc7 6 \
        "ours=$ours -i $work/bc7/ $png6" "pillow=$pillow png 6 $work/out/ $work/bc7/*.dds" \
        "${baseline[@]}"
      echo "  ours/pillow time $(ratio "${med[ours]}" "${med[pillow]}")," \
        "bytes $(ratio "${bytes[ours]}" "${bytes[pillow]}")"
      [ -n "${BENCH_BASELINE:-}" ] && echo "  ours/baseline time $(ratio "${med[ours]}" "${med[baseline]}")," \
        "bytes $(ratio "${bytes[ours]}" "${bytes[baseline]}")"
      ;;
    3)
      compare "3. batch to PNG zlib 6, one worker" batch 60 \
        "ours=$ours -i $work/batch/ $png6 --threads=1" "floor=$work/floor png6 $work/out/ $work/batch/*.dds"
      echo "  ours/floor time $(ratio "${med[ours]}" "${med[floor]}")"
      ;;
    4)
      compare "4. batch to uncompressed PNG and to BMP, all cores" batch 60 \
        "png=$ours -i $work/batch/ -c png" "bmp=$ours -i $work/batch/ -c bmp"
      echo "  png/bmp time $(ratio "${med[png]}" "${med[bmp]}")"
      ;;
    5)
      compare "5. six 2048x2048 DXT1 to BMP, one worker" dxt1 6 \
        "ours=$ours -i $work/dxt1/ -c bmp --threads=1" "floor=$work/floor bmp $work/out/ $work/dxt1/*.dds"
      echo "  ours/floor time $(ratio "${med[ours]}" "${med[floor]}")"
      ;;
  esac
done
