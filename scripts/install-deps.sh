#!/usr/bin/env bash
# Installs the Debian/Ubuntu packages VESKORA needs, only those still missing,
# so it is safe to run again. "run" installs what building and running takes;
# "test" adds what the test suite, the fuzzers and the benchmarks take.
set -euo pipefail

packages=(build-essential cmake ninja-build pkg-config qt6-base-dev qt6-base-dev-tools libgl-dev
          fonts-ipafont-gothic)
if [ "${1:-run}" = test ]; then
  packages+=(libgtest-dev libgmock-dev libbenchmark-dev xvfb xauth trayer xdotool desktop-file-utils appstream file
            clang libclang-rt-dev metacity dbus-daemon x11-utils)
fi

missing=()
for package in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || missing+=("$package")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=()
[ "$(id -u)" -eq 0 ] || sudo=(sudo)
"${sudo[@]}" apt-get update
DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y --no-install-recommends "${missing[@]}"
