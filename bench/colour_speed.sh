#!/usr/bin/env bash
# Cost of --colorspace=auto: one batch converted with and without it, with
# and without a resize, the four runs taking turns in every round
# (BENCH_RUNS rounds, default 5); the median of each counts and the ratios
# auto / stored are printed. The batch (BENCH_FILES files of BENCH_SIZE
# square pixels, defaults 40 and 512) is 32-bit sRGB colour to PNG
# (BENCH_LAYOUT=rgba, the default) or half-float colour to PNG
# (BENCH_LAYOUT=half: the tone map and the sRGB curve on every pixel).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
files=${BENCH_FILES:-40}
size=${BENCH_SIZE:-512}
runs=${BENCH_RUNS:-5}
layout=${BENCH_LAYOUT:-rgba}
program="$root/build/pellucidcmd"
[ -x "$program" ] || "$root/scripts/build.sh" >/dev/null

base=${BENCH_DIR:-/dev/shm}
[ -d "$base" ] && [ -w "$base" ] || base=${TMPDIR:-/tmp}
work=$(mktemp -d "$base/pellucid-colour-XXXXXX")
trap 'rm -rf "$work"' EXIT
export XDG_RUNTIME_DIR="$work/runtime"
mkdir -p "$XDG_RUNTIME_DIR" "$work/batch" "$work/out"

python3 - "$work/batch" "$files" "$size" "$layout" <<'PY'
import struct, sys
folder, files, size, layout = sys.argv[1], int(sys.argv[2]), int(sys.argv[3]), sys.argv[4]

def header(pitch, pixel_format, dx10=b''):
    h = struct.pack('<4s7I', b'DDS ', 124, 0x100F, size, size, pitch, 0, 0) + bytes(44)
    return h + pixel_format + struct.pack('<5I', 0x1000, 0, 0, 0, 0) + dx10

def rgba():
    pf = struct.pack('<8I', 32, 0x41, 0, 32, 0xFF0000, 0xFF00, 0xFF, 0xFF000000)
    row = bytearray()
    for x in range(size):
        row += bytes(((x * 255) // size, (x * 37) & 0xFF, ((x * x) >> 5) & 0xFF, 255))
    return header(size * 4, pf) + b''.join(bytes(row[(y * 12) % len(row):] + row[:(y * 12) % len(row)]) for y in range(size))

def half():
    pf = struct.pack('<2I4s5I', 32, 0x4, b'DX10', 0, 0, 0, 0, 0)
    dx10 = struct.pack('<5I', 10, 3, 0, 1, 0)  # R16G16B16A16_FLOAT
    row = b''.join(struct.pack('<4e', x / size * 4.0, (x % 64) / 16.0, 0.25, 1.0) for x in range(size))
    return header(size * 8, pf, dx10) + row * size

data = rgba() if layout == 'rgba' else half()
for i in range(files):
    open(f'{folder}/t{i:03d}.dds', 'wb').write(data)
PY

common=(-i "$work/batch/" -o "$work/out/" -c png -q --threads=1)
resize=(--width=50 --width-unit=percent --height=50 --height-unit=percent)
declare -A times
names=(stored auto stored_resize auto_resize)
run() {
  case "$1" in
    stored) "$program" "${common[@]}" ;;
    auto) "$program" "${common[@]}" --colorspace=auto ;;
    stored_resize) "$program" "${common[@]}" "${resize[@]}" ;;
    auto_resize) "$program" "${common[@]}" "${resize[@]}" --colorspace=auto ;;
  esac
}
for ((round = 0; round < runs; ++round)); do
  for ((k = 0; k < ${#names[@]}; ++k)); do
    name=${names[$(((k + round) % ${#names[@]}))]}
    rm -f "$work/out/"*; sync
    spent=$( { /usr/bin/time -f "%U %S" bash -c "$(declare -f run); $(declare -p common resize program); run $name" >/dev/null; } 2>&1 | tail -1)
    times[$name]="${times[$name]:-} $(echo "$spent" | awk '{print $1 + $2}')"
  done
done
median() { tr ' ' '\n' | grep . | sort -g | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}'; }
for name in "${names[@]}"; do
  m=$(echo "${times[$name]}" | median)
  eval "med_$name=$m"
  printf '%-14s median %.3f s  (%s )\n' "$name" "$m" "${times[$name]}"
done
printf 'layout %s, %d files of %d x %d, %d rounds\n' "$layout" "$files" "$size" "$size" "$runs"
printf 'auto / stored, no resize:   %.3f\n' "$(echo "$med_auto / $med_stored" | bc -l)"
printf 'auto / stored, with resize: %.3f\n' "$(echo "$med_auto_resize / $med_stored_resize" | bc -l)"
