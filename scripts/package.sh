#!/usr/bin/env bash
# Builds the Debian package of pellucidcmd: the program, its manual page and
# bash completion, and the Python module `pellucid` (when pybind11 is
# installed), for /usr. Depends are taken from the shared libraries the
# files link (dpkg-shlibdeps). Prints the package's path; install it with
# `sudo apt install ./<package>.deb`. PELLUCID_PACKAGE_DIR picks the folder
# it is written to (default: build/package).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup.sh"
"$root/scripts/build.sh" >/dev/null
build=${PELLUCID_BUILD_DIR:-$root/build}
out=${PELLUCID_PACKAGE_DIR:-$build/package}
mkdir -p "$out"
if ! log=$(cd "$build" && cpack -G DEB -B "$out" 2>&1); then
  echo "$log" >&2
  exit 1
fi
rm -rf "$out/_CPack_Packages"
sed -n 's/^CPack: - package: \(.*\) generated\.$/\1/p' <<<"$log"
