#!/usr/bin/env bash
# Batch speed of pellucidcmd against the floor (a bare FreeImage load + save
# loop, bench/freeimage_floor.cpp) and against ImageMagick's mogrify.
#
# A batch of uncompressed 32-bit DDS files (BENCH_SMALL of 256 x 256, default
# 200, and BENCH_LARGE of 2048 x 2048, default 20) is converted to PNG and to
# BMP with pellucidcmd's default save options (PNG without compression) and
# one worker (--threads=1), as the floor works. The tools run in turns, each
# round starting with the next one, BENCH_RUNS rounds (default 3), and the
# median time counts. BENCH_BASELINE, another pellucidcmd build (e.g. one
# from before a change), joins the turns.
# BENCH_LAYOUT=dxt1 writes BC1-compressed files instead. BENCH_FORMATS picks
# the output formats (default "png bmp"); BENCH_MOGRIFY=0 leaves mogrify out.
# Each run starts after a sync, so no tool pays for the last one's writeback.
# Prints files per second and the ratios to the floor.
#
# Then the workers: PNG at zlib level 6, the floor against pellucidcmd with
# its default threads and with --threads=1 (and BENCH_BASELINE, another
# pellucidcmd build, e.g. one from before a change, when given), run in turns
# (one run of each per round, so a load that comes and goes hits them alike);
# and the peak resident memory with --threads=2 against --threads=1.
# BENCH_SECTIONS=workers runs only that part.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
small=${BENCH_SMALL:-200}
large=${BENCH_LARGE:-20}
runs=${BENCH_RUNS:-3}
layout=${BENCH_LAYOUT:-rgba}
program="$root/build/pellucidcmd"
[ -x "$program" ] || "$root/scripts/build.sh" >/dev/null

# Files live in memory (/dev/shm) where there is one: on a disk, freeing the
# last run's outputs slows the next run's writes by more than the work
# measured here. BENCH_DIR picks another place.
base=${BENCH_DIR:-/dev/shm}
[ -d "$base" ] && [ -w "$base" ] || base=${TMPDIR:-/tmp}
work=$(mktemp -d "$base/pellucid-bench-XXXXXX")
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

rate() { awk -v n="$total" -v t="$1" 'BEGIN { printf "%.1f", n / t }'; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", b / a }'; }

sections=${BENCH_SECTIONS:-formats,workers}

# One file at a time, as the floor does: builds that can run several workers
# are held to one.
one_worker() { if grep -aq -- '--threads' "$1"; then echo "--threads=1"; fi; }

# Seconds of one run of a command that writes into $work/out; checks that
# every file was written.
one_time() {
  rm -rf "$work/out" && mkdir -p "$work/out"
  # The last run's outputs go to disk first: otherwise their writeback falls
  # on whichever tool runs next.
  sync
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
  awk -v a="$start" -v b="$end" 'BEGIN { printf "%.3f", b - a }'
}

median() { tr ' ' '\n' | sort -g | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }

echo "Batch: $small DDS files of 256x256 and $large of 2048x2048 ($layout)," \
  "median of $runs interleaved runs"
for format in ${BENCH_FORMATS:-png bmp}; do
  [[ $sections == *formats* ]] || break
  # The same encoding work: PNG without compression, as pellucidcmd's default.
  level=()
  [ "$format" = png ] && level=(-define png:compression-level=0)
  tools=(ours floor)
  [ "${BENCH_MOGRIFY:-1}" = 1 ] && tools+=(mogrify)
  [ -n "${BENCH_BASELINE:-}" ] && tools+=(baseline)
  declare -A times=()
  for round in $(seq "$runs"); do
    # Each round starts with the next tool, so none always follows the same one.
    turn=$((round % ${#tools[@]}))
    for tool in "${tools[@]:turn}" "${tools[@]:0:turn}"; do
      case $tool in
        ours) t=$(one_time "$program" -i "$work/batch/" -o "$work/out/" -c "$format" -q \
          $(one_worker "$program")) ;;
        floor) t=$(one_time "$work/floor" "$format" "$work/out/" "$work"/batch/*.dds) ;;
        mogrify) t=$(one_time /usr/bin/mogrify -path "$work/out" -format "$format" \
          "${level[@]}" "$work"/batch/*.dds) ;;
        baseline) t=$(one_time "$BENCH_BASELINE" -i "$work/batch/" -o "$work/out/" -c "$format" \
          -q $(one_worker "$BENCH_BASELINE")) ;;
      esac
      times[$tool]="${times[$tool]:-} $t"
    done
  done
  declare -A med=()
  for tool in "${tools[@]}"; do med[$tool]=$(echo ${times[$tool]} | median); done
  line="$format:"
  for tool in "${tools[@]}"; do
    line+=" $tool $(rate "${med[$tool]}") files/s (${med[$tool]}s),"
  done
  echo "${line%,}"
  line="$format: pellucidcmd/floor speed $(ratio "${med[ours]}" "${med[floor]}")"
  [ -n "${med[mogrify]:-}" ] && line+=", mogrify/floor speed $(ratio "${med[mogrify]}" "${med[floor]}")"
  echo "$line"
  if [ -n "${BENCH_BASELINE:-}" ]; then
    echo "$format: pellucidcmd/baseline speed $(ratio "${med[ours]}" "${med[baseline]}")"
  fi
done

[[ $sections == *workers* ]] || exit 0


png6=(-i "$work/batch/" -o "$work/out/" -c png --png-compression=zlib6 -q)
declare -A best
names=(floor default threads1)
[ -n "${BENCH_BASELINE:-}" ] && names+=(baseline)
for round in $(seq "$runs"); do
  turn=$((round % ${#names[@]}))
  for name in "${names[@]:turn}" "${names[@]:0:turn}"; do
    case $name in
      floor) t=$(one_time "$work/floor" png6 "$work/out/" "$work"/batch/*.dds) ;;
      default) t=$(one_time "$program" "${png6[@]}") ;;
      threads1) t=$(one_time "$program" "${png6[@]}" --threads=1) ;;
      baseline) t=$(one_time "$BENCH_BASELINE" "${png6[@]}") ;;
    esac
    best[$name]=$(awk -v t="$t" -v b="${best[$name]:-}" 'BEGIN { print (b == "" || t < b) ? t : b }')
  done
done
echo "Workers, PNG zlib-6, $(nproc) cores, best of $runs interleaved runs:"
for name in "${names[@]}"; do
  echo "  $name: $(rate "${best[$name]}") files/s (${best[$name]}s)," \
    "speed/floor $(ratio "${best[$name]}" "${best[floor]}")"
done
if [ -n "${BENCH_BASELINE:-}" ]; then
  echo "  threads1/baseline speed $(ratio "${best[threads1]}" "${best[baseline]}")"
fi
peak() {
  rm -rf "$work/out" && mkdir -p "$work/out"
  /usr/bin/time -f %M "$program" "${png6[@]}" "$@" 2>&1 >/dev/null | tail -1
}
one=$(peak --threads=1)
two=$(peak --threads=2)
echo "  peak RSS: --threads=1 ${one} KiB, --threads=2 ${two} KiB" \
  "(ratio $(awk -v a="$one" -v b="$two" 'BEGIN { printf "%.2f", b / a }'))"
