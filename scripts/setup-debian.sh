#!/usr/bin/env bash
# Installs the Debian packages the build needs; skips what is installed.
# With --fuzz, also what the fuzzing build needs (scripts/fuzz.sh).
set -euo pipefail

packages=(
  cmake ninja-build g++ pkg-config
  libgtest-dev libgmock-dev libbenchmark-dev
  qt6-base-dev qt6-multimedia-dev qt6-svg-dev qt6-qpa-plugins
  libsimpleini-dev
  binutils-mingw-w64-x86-64
  xvfb x11-apps netpbm xdotool libx11-dev
  dbus-daemon libglib2.0-bin
  util-linux
)
if [ "${1:-}" = "--fuzz" ]; then
  packages+=(clang libclang-rt-14-dev)
fi

missing=()
for package in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$package")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
if [ "$(id -u)" -ne 0 ]; then
  sudo="sudo"
fi
echo "Installing: ${missing[*]}"
$sudo apt-get update
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends "${missing[@]}"
