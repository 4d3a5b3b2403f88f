#!/usr/bin/env bash
# Installs what is missing, builds when needed, and runs build/pellucidcmd
# from the folder it was called in, so relative paths mean what they say.
# With options they are passed on as they are, after the output folder that
# -o or --output names has been created (the program itself never creates
# it). Without options it runs the main job: every DDS texture of samples/
# (with its subfolders) is converted to PNG into out/.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup.sh"
"$root/scripts/build.sh" >/dev/null
if [ $# -gt 0 ]; then
  previous=
  for argument in "$@"; do
    case "$previous" in -o | -O) mkdir -p -- "$argument" ;; esac
    case "$argument" in --output=* | --OUTPUT=*) mkdir -p -- "${argument#*=}" ;; esac
    previous=$argument
  done
  exec "$root/build/pellucidcmd" "$@"
fi
mkdir -p "$root/out"
"$root/build/pellucidcmd" -i "$root/samples/" -o "$root/out/" -c png
echo "The PNG files are in $root/out/"
