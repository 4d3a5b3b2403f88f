#!/usr/bin/env bash
# Batch speed of pellucidcmd against the floor (a bare FreeImage load + save
# loop, bench/freeimage_floor.cpp) and against ImageMagick's mogrify.
#
# A batch of uncompressed 32-bit DDS files (BENCH_SMALL of 256 x 256, default
# 200, and BENCH_LARGE of 2048 x 2048, default 20) is converted to PNG and to
# BMP with pellucidcmd's default save options (PNG without compression); each
# tool runs BENCH_RUNS times (default 3), the tools taking turns, and the
# median time counts. BENCH_LAYOUT=dxt1 writes BC1-compressed files instead.
# BENCH_FORMATS picks the outputs (default "png bmp"), BENCH_MOGRIFY=0 leaves
# ImageMagick out, and BENCH_BASELINE=<another pellucidcmd> times that build
# in the same turns, for before/after figures from one run.
# Prints files per second and the ratios to the floor.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
small=${BENCH_SMALL:-200}
large=${BENCH_LARGE:-20}
runs=${BENCH_RUNS:-3}
layout=${BENCH_LAYOUT:-rgba}
formats=${BENCH_FORMATS:-png bmp}
magick_runs=${BENCH_MOGRIFY:-1}
baseline=${BENCH_BASELINE:-}
program="$root/build/pellucidcmd"
[ -x "$program" ] || "$root/scripts/build.sh" >/dev/null

work=$(mktemp -d "${TMPDIR:-/tmp}/pellucid-bench-XXXXXX")
trap 'rm -rf "$work"' EXIT
# A private lock folder, so another copy of the program elsewhere on the
# machine cannot make this one stop at its single-instance check.
export XDG_RUNTIME_DIR="$work/runtime"
mkdir -p "$XDG_RUNTIME_DIR" "$work/batch"

python3 - "$work/batch" "$small" "$large" "$layout" <<'PY'
import struct, sys

folder, small, large, layout = sys.argv[1], int(sys.argv[2]), int(sys.argv[3]), sys.argv[4]

def dxt1(width, height):
    header = struct.pack('<4s7I', b'DDS ', 124, 0x81007, height, width, (width // 4) * (height // 4) * 8, 0, 0)
    header += bytes(44)
    header += struct.pack('<2I4s5I', 32, 0x4, b'DXT1', 0, 0, 0, 0, 0)
    header += struct.pack('<5I', 0x1000, 0, 0, 0, 0)
    blocks = bytearray()
    for by in range(height // 4):
        for bx in range(width // 4):
            c0 = ((bx * 7) & 0x1F) << 11 | ((by * 3) & 0x3F) << 5 | ((bx ^ by) & 0x1F)
            c1 = (c0 ^ 0x5A5A) & 0xFFFF
            if c1 > c0:
                c0, c1 = c1, c0
            blocks += struct.pack('<HHI', c0, c1, 0x1B6CE4B1 ^ (bx * 2654435761 & 0xFFFFFFFF))
    return header + bytes(blocks)

def dds(width, height):
    header = struct.pack('<4s7I', b'DDS ', 124, 0x100F, height, width, width * 4, 0, 0)
    header += bytes(44)
    header += struct.pack('<8I', 32, 0x41, 0, 32, 0xFF0000, 0xFF00, 0xFF, 0xFF000000)
    header += struct.pack('<5I', 0x1000, 0, 0, 0, 0)
    # A gradient with a little texture: neither flat nor noise for the encoders.
    base = bytearray()
    for x in range(width):
        base += bytes(((x * 255) // width, (x * 37) & 0xFF, ((x * x) >> 5) & 0xFF, 255))
    rows = []
    for y in range(height):
        shift = (y * 12) % len(base)
        row = bytearray(base[shift:] + base[:shift])
        row[2::4] = bytes([(y * 255) // height]) * width
        rows.append(bytes(row))
    return header + b''.join(rows)

for count, size, prefix in ((small, 256, 'small'), (large, 2048, 'large')):
    data = dxt1(size, size) if layout == 'dxt1' else dds(size, size)
    for i in range(count):
        with open(f'{folder}/{prefix}{i:04d}.dds', 'wb') as f:
            f.write(data)
PY
total=$((small + large))

g++ -O2 -std=c++20 "$root/bench/freeimage_floor.cpp" -o "$work/floor" -lfreeimage

# Wall-clock seconds of one run of a command that writes into $work/out.
time_once() {
  rm -rf "$work/out" && mkdir -p "$work/out"
  local start end written
  start=$(date +%s.%N)
  "$@" >/dev/null
  end=$(date +%s.%N)
  written=$(find "$work/out" -type f | wc -l)
  if [ "$written" -ne "$total" ]; then
    echo "expected $total outputs, found $written: $*" >&2
    exit 1
  fi
  awk -v a="$start" -v b="$end" 'BEGIN { printf "%.3f", b - a }'
}

median() { printf '%s\n' "$@" | sort -g | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
rate() { awk -v n="$total" -v t="$1" 'BEGIN { printf "%.1f", n / t }'; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", b / a }'; }

# One file at a time, as the floor does: builds that run several workers are
# held to one.
one_worker() { if grep -aq -- '--threads' "$1"; then echo "--threads=1"; fi; }

echo "Batch: $small DDS files of 256x256 and $large of 2048x2048 ($layout)," \
  "median of $runs interleaved runs"
for format in $formats; do
  # The same encoding work: PNG without compression, as pellucidcmd's default.
  level=()
  [ "$format" = png ] && level=(-define png:compression-level=0)
  ours=() floor=() base=() magick=()
  for _ in $(seq "$runs"); do
    # shellcheck disable=SC2046
    ours+=("$(time_once "$program" -i "$work/batch/" -o "$work/out/" -c "$format" -q \
      $(one_worker "$program"))")
    floor+=("$(time_once "$work/floor" "$format" "$work/out/" "$work"/batch/*.dds)")
    if [ -n "$baseline" ]; then
      # shellcheck disable=SC2046
      base+=("$(time_once "$baseline" -i "$work/batch/" -o "$work/out/" -c "$format" -q \
        $(one_worker "$baseline"))")
    fi
    if [ "$magick_runs" = 1 ]; then
      magick+=("$(time_once /usr/bin/mogrify -path "$work/out" -format "$format" "${level[@]}" \
        "$work"/batch/*.dds)")
    fi
  done
  o=$(median "${ours[@]}") f=$(median "${floor[@]}")
  echo "$format: pellucidcmd $(rate "$o") files/s (${o}s), floor $(rate "$f") files/s (${f}s)"
  echo "$format: pellucidcmd/floor speed $(ratio "$o" "$f")"
  if [ -n "$baseline" ]; then
    b=$(median "${base[@]}")
    echo "$format: baseline $(rate "$b") files/s (${b}s), baseline/floor speed $(ratio "$b" "$f")," \
      "pellucidcmd/baseline speed $(ratio "$o" "$b")"
  fi
  if [ "$magick_runs" = 1 ]; then
    m=$(median "${magick[@]}")
    echo "$format: mogrify $(rate "$m") files/s (${m}s), mogrify/floor speed $(ratio "$m" "$f")"
  fi
done
