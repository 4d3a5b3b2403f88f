#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test: once in the normal
# build and once with AddressSanitizer and UndefinedBehaviorSanitizer; the
# batch tests also run with ThreadSanitizer.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup.sh"

"$root/scripts/build.sh"
(cd "$root/build" && ctest --output-on-failure -j2)

PELLUCID_BUILD_DIR="$root/build-asan" "$root/scripts/build.sh" -DPELLUCID_SANITIZE=ON
(cd "$root/build-asan" && ASAN_OPTIONS=detect_leaks=1 ctest --output-on-failure -j2)

# ThreadSanitizer on the tests that run whole batches, where the workers
# convert side by side (the program defaults to one worker per core and the
# parallel tests ask for several); a reported race ends the program with an
# error, which fails the test. Address-space randomisation is turned off for
# it: ThreadSanitizer's fixed memory layout fails under the wider
# randomisation some kernels are configured with. Thread leaks are not
# reported: with --exit-code a signal ends the process by _exit from its
# handler while the workers still run, on purpose.
PELLUCID_BUILD_DIR="$root/build-tsan" "$root/scripts/build.sh" -DPELLUCID_TSAN=ON
(cd "$root/build-tsan" && TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1 report_thread_leaks=0" \
  setarch "$(uname -m)" -R ctest --output-on-failure -j2 -R 'BatchRun|ParallelRun|ConversionWorker|OrderedRun|InputEnumeration')

# The DDS reader's fuzz target, for a bounded minute over a seed corpus
# (clang, AddressSanitizer and UBSan); any finding fails the run.
"$root/scripts/fuzz.sh" 60
