#!/usr/bin/env bash
# Temporary files left by runs killed outright: KILL_TRIALS times (default 20)
# a batch of KILL_FILES 1024 x 1024 DDS files (default 24) is converted to BMP
# into one output folder with --threads=2, killed with SIGKILL after a random
# 0.05..0.8 s, and then run again to its end. Counts the ".pellucid*.tmp"
# files in the folder after each kill and after each normal run (target:
# none), and checks the normal run converted every file.
# Prints one line per trial and the totals. KILL_PROGRAM picks another build.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
trials=${KILL_TRIALS:-20}
files=${KILL_FILES:-24}
program=${KILL_PROGRAM:-$root/build/pellucidcmd}
[ -x "$program" ] || "$root/scripts/build.sh" >/dev/null

work=$(mktemp -d "${TMPDIR:-/tmp}/pellucid-kill9-XXXXXX")
trap 'rm -rf "$work"' EXIT
export XDG_RUNTIME_DIR="$work/runtime"  # a private single-instance lock
mkdir -p "$XDG_RUNTIME_DIR" "$work/in" "$work/out"

python3 - "$work/in" "$files" <<'PY'
import struct, sys
folder, count = sys.argv[1], int(sys.argv[2])
side = 1024
header = struct.pack('<4s7I', b'DDS ', 124, 0x100F, side, side, side * 4, 0, 0) + bytes(44)
header += struct.pack('<2I4s5I', 32, 0x41, b'\0\0\0\0', 32, 0xFF0000, 0xFF00, 0xFF, 0xFF000000)
header += struct.pack('<5I', 0x1000, 0, 0, 0, 0)
row = bytes((x * 7) & 0xFF for x in range(side * 4))
for i in range(count):
    with open(f'{folder}/t{i:03d}.dds', 'wb') as f:
        f.write(header + row * side)
PY

count_temporary() { find "$work/out" -name '.pellucid*.tmp' | wc -l; }
after_kill=0
after_run=0
for ((trial = 1; trial <= trials; ++trial)); do
  rm -f "$work"/out/*.bmp
  "$program" -i "$work/in/" -o "$work/out/" -c bmp --threads=2 -q >/dev/null &
  pid=$!
  sleep "$(python3 -c "import random; print(round(random.uniform(0.05, 0.8), 3))")"
  kill -9 "$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
  killed=$(count_temporary)
  "$program" -i "$work/in/" -o "$work/out/" -c bmp --threads=2 -q >"$work/log" || true
  left=$(count_temporary)
  converted=$(grep -c . <(ls "$work"/out/*.bmp 2>/dev/null) || true)
  after_kill=$((after_kill + killed))
  after_run=$((after_run + left))
  echo "trial $trial: $killed temporary files after kill -9, $left after the next run," \
       "$converted of $files outputs"
done
echo "total: $after_kill temporary files after $trials kills, $after_run after the normal runs"
