#!/usr/bin/env bash
# Installs, with apt-get, what the Windows build and its test under Wine need
# and this machine lacks (the Linux build's own packages come from
# scripts/deps.sh). Only the 64-bit MinGW compilers: the mingw-w64
# metapackage would add the 32-bit ones too. Debian 12's Wine command is
# `wine`; fonts-wine brings the Tahoma the program's screens fall back to.
set -euo pipefail
packages=(
  g++-mingw-w64-x86-64-posix libz-mingw-w64-dev binutils-mingw-w64-x86-64
  cmake ninja-build pkg-config dpkg-dev xz-utils zip unzip
  qt6-base-dev qt6-base-dev-tools qt6-translations-l10n
  wine fonts-wine xvfb xauth xdotool imagemagick
)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
  echo "Installing: ${missing[*]}"
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  $sudo apt-get update
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends "${missing[@]}"
fi
