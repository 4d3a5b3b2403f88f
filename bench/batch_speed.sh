#!/usr/bin/env bash
# Batch speed of pellucidcmd against the floor (a bare FreeImage load + save
# loop, bench/freeimage_floor.cpp) and against ImageMagick's mogrify.
#
# A batch of uncompressed 32-bit DDS files (BENCH_SMALL of 256 x 256, default
# 200, and BENCH_LARGE of 2048 x 2048, default 20) is converted to PNG and to
# BMP with pellucidcmd's default save options (PNG without compression); each
# tool runs BENCH_RUNS times (default 3) and the best time counts.
# Prints files per second and the ratios to the floor.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
small=${BENCH_SMALL:-200}
large=${BENCH_LARGE:-20}
runs=${BENCH_RUNS:-3}
program="$root/build/pellucidcmd"
[ -x "$program" ] || "$root/scripts/build.sh" >/dev/null

work=$(mktemp -d "${TMPDIR:-/tmp}/pellucid-bench-XXXXXX")
trap 'rm -rf "$work"' EXIT
# A private lock folder, so another copy of the program elsewhere on the
# machine cannot make this one stop at its single-instance check.
export XDG_RUNTIME_DIR="$work/runtime"
mkdir -p "$XDG_RUNTIME_DIR" "$work/batch"

python3 - "$work/batch" "$small" "$large" <<'PY'
import struct, sys

folder, small, large = sys.argv[1], int(sys.argv[2]), int(sys.argv[3])

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
    data = dds(size, size)
    for i in range(count):
        with open(f'{folder}/{prefix}{i:04d}.dds', 'wb') as f:
            f.write(data)
PY
total=$((small + large))

g++ -O2 -std=c++20 "$root/bench/freeimage_floor.cpp" -o "$work/floor" -lfreeimage

# Best wall-clock seconds of $runs runs of a command that writes into $work/out.
best_time() {
  local best=""
  for _ in $(seq "$runs"); do
    rm -rf "$work/out" && mkdir -p "$work/out"
    local start end
    start=$(date +%s.%N)
    "$@" >/dev/null
    end=$(date +%s.%N)
    local written
    written=$(find "$work/out" -type f | wc -l)
    if [ "$written" -ne "$total" ]; then
      echo "expected $total outputs, found $written: $*" >&2
      exit 1
    fi
    best=$(awk -v a="$start" -v b="$end" -v best="$best" \
      'BEGIN { t = b - a; if (best == "" || t < best) best = t; printf "%.3f", best }')
  done
  echo "$best"
}

rate() { awk -v n="$total" -v t="$1" 'BEGIN { printf "%.1f", n / t }'; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", b / a }'; }

echo "Batch: $small DDS files of 256x256 and $large of 2048x2048 (32-bit), best of $runs runs"
for format in png bmp; do
  ours=$(best_time "$program" -i "$work/batch/" -o "$work/out/" -c "$format" -q)
  floor=$(best_time "$work/floor" "$format" "$work/out/" "$work"/batch/*.dds)
  # The same encoding work: PNG without compression, as pellucidcmd's default.
  level=()
  [ "$format" = png ] && level=(-define png:compression-level=0)
  magick=$(best_time /usr/bin/mogrify -path "$work/out" -format "$format" "${level[@]}" \
    "$work"/batch/*.dds)
  echo "$format: pellucidcmd $(rate "$ours") files/s (${ours}s), floor $(rate "$floor") files/s" \
    "(${floor}s), mogrify $(rate "$magick") files/s (${magick}s)"
  echo "$format: pellucidcmd/floor speed $(ratio "$ours" "$floor"), mogrify/floor speed" \
    "$(ratio "$magick" "$floor")"
done
