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

# The DDS reader's fuzz target, for a bounded minute over a seed corpus
# (clang, AddressSanitizer and UBSan); any finding fails the run.
"$root/scripts/fuzz.sh" 60
