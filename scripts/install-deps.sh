#!/usr/bin/env bash
# Installs the Debian/Ubuntu packages VESKORA needs, only those still missing,
# so it is safe to run again. "run" installs what building and running takes;
# "test" adds what the test suite, the fuzzers and the benchmarks take,
# including a Japanese locale for the tests that run as a Japanese user.
set -euo pipefail

# qt6-tools-dev gives CMake Qt's translation tools, qt6-l10n-tools the lrelease
# that builds veskora-cli's Japanese into it.
packages=(build-essential cmake ninja-build pkg-config qt6-base-dev qt6-base-dev-tools libgl-dev
          fonts-ipafont-gothic qt6-translations-l10n qt6-tools-dev qt6-l10n-tools)
if [ "${1:-run}" = test ]; then
  packages+=(libgtest-dev libgmock-dev libbenchmark-dev xvfb xauth trayer xdotool desktop-file-utils appstream file
            clang libclang-rt-dev metacity dbus-daemon x11-utils locales bindfs bash-completion)
fi

sudo=()
[ "$(id -u)" -eq 0 ] || sudo=(sudo)

missing=()
for package in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || missing+=("$package")
done
if [ ${#missing[@]} -gt 0 ]; then
  "${sudo[@]}" apt-get update
  DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y --no-install-recommends "${missing[@]}"
fi

# ja_JP.UTF-8, generated once: Debian lists it in /etc/locale.gen commented out.
if [ "${1:-run}" = test ] && ! locale -a | grep -qi '^ja_JP\.utf-\?8$'; then
  "${sudo[@]}" sed -i 's/^# *\(ja_JP\.UTF-8 UTF-8\)/\1/' /etc/locale.gen
  grep -q '^ja_JP\.UTF-8 UTF-8' /etc/locale.gen || echo 'ja_JP.UTF-8 UTF-8' | "${sudo[@]}" tee -a /etc/locale.gen > /dev/null
  "${sudo[@]}" locale-gen
fi
