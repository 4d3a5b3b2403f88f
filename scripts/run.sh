#!/usr/bin/env bash
# Installs what is missing, builds when needed, and runs build/pellucidcmd with
# the given options. Without options it prints the help text.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup.sh"
"$root/scripts/build.sh" >/dev/null
if [ $# -eq 0 ]; then
  exec "$root/build/pellucidcmd" -h
fi
exec "$root/build/pellucidcmd" "$@"
