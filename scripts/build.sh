#!/usr/bin/env bash
# Configures and builds into build/ (Release with debug info); the program is
# build/pellucidcmd. PELLUCID_BUILD_DIR and extra cmake arguments can select
# another configuration, e.g. the sanitizer build of scripts/test.sh.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
dir=${PELLUCID_BUILD_DIR:-$root/build}
if [ ! -f "$dir/CMakeCache.txt" ] || [ $# -gt 0 ]; then
  cmake -S "$root" -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
fi
cmake --build "$dir" -j"$(nproc)"
