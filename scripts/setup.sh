#!/usr/bin/env bash
# Installs every Debian 12 package needed to build, run and test pellucidcmd.
# Idempotent: when everything is already installed it only checks with dpkg.
set -euo pipefail

packages=(
  # build tools
  build-essential cmake pkg-config
  # libraries the program links against
  libfreeimage-dev libdevil-dev libjxr-dev libcairo2-dev libfreetype-dev
  libfontconfig-dev libpng-dev libdeflate-dev libjpeg-dev zlib1g-dev libtiff-dev fonts-liberation libssl-dev
  libisal-dev libyuv-dev
  # tests, benchmarks and fuzzing
  libgtest-dev libgmock-dev libbenchmark-dev clang libclang-rt-14-dev
  # independent readers and writers used only by the tests
  imagemagick libjxr-tools libnvtt-bin python3-pil openimageio-tools parallel
  # the Python module and the Debian package
  pybind11-dev python3-dev python3-numpy dpkg-dev
  # the installed manual page is rendered by the tests
  man-db groff-base
  # a private one-node Slurm cluster for the job-array test (started by the
  # test itself, never as a system service)
  slurm-wlm munge
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

echo "setup: installing ${missing[*]}"
if [ "$(id -u)" -eq 0 ]; then sudo=""; else sudo="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
# Packages with daemons (munge, slurmctld, slurmd) must not start them as
# system services: a container has no init to run them and the test starts
# its own. Without a policy-rc.d already in place, one that forbids every
# start stands in for the install.
policy=/usr/sbin/policy-rc.d
if [ ! -e "$policy" ]; then
  printf '#!/bin/sh\nexit 101\n' | $sudo tee "$policy" >/dev/null
  $sudo chmod 755 "$policy"
  trap '$sudo rm -f "$policy"' EXIT
fi
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
