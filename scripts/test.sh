#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test: once in the normal
# build and once with AddressSanitizer and UndefinedBehaviorSanitizer.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup.sh"

"$root/scripts/build.sh"
(cd "$root/build" && ctest --output-on-failure -j2)

PELLUCID_BUILD_DIR="$root/build-asan" "$root/scripts/build.sh" -DPELLUCID_SANITIZE=ON
(cd "$root/build-asan" && ASAN_OPTIONS=detect_leaks=1 ctest --output-on-failure -j2)
