#!/usr/bin/env bash
# Installs what is missing, builds when needed, and runs build/pellucidcmd.
# With options they are passed on as they are. Without options it runs the
# main job: every DDS texture of samples/ (with its subfolders) is converted
# to PNG into out/, which is created first because the program itself never
# creates its output folder.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup.sh"
"$root/scripts/build.sh" >/dev/null
if [ $# -gt 0 ]; then
  exec "$root/build/pellucidcmd" "$@"
fi
mkdir -p "$root/out"
"$root/build/pellucidcmd" -i "$root/samples/" -o "$root/out/" -c png
echo "The PNG files are in $root/out/"
