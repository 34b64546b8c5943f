#!/usr/bin/env bash
# Installs the Debian packages Pellium needs to build, run and test, skipping
# those already present. Runs apt-get as root, or through sudo otherwise.
set -euo pipefail

# To build and run the program (Debian 12 and Ubuntu 22.04 or later share these names).
packages=(
  g++ cmake ninja-build pkg-config
  qt6-base-dev libjpeg-dev
  fonts-liberation fonts-dejavu-core fonts-comic-neue fontconfig
)
# To build and run the tests, the fuzzers, the sanitizer runs and the package check.
if [ "${1:-}" = "--test" ]; then
  packages+=(libgtest-dev libgmock-dev git clang clang-format libclang-rt-dev xauth
    desktop-file-utils appstream lintian dpkg-dev file binutils xvfb x11-utils)
fi

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

if [ ${#missing[@]} -gt 0 ]; then
  as_root=()
  [ "$(id -u)" -eq 0 ] || as_root=(sudo)
  echo "Installing: ${missing[*]}"
  "${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -q
  "${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${missing[@]}"
fi
