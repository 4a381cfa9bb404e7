#!/usr/bin/env bash
# Installs, with apt-get, whatever the build and the tests need and this
# machine lacks. Safe to run again: it installs nothing that is present.
# clang and its sanitizer and libFuzzer runtimes build the tests' sanitized
# run and the fuzzers; llvm brings the symbolizer their reports use.
# desktop-file-utils checks the menu entry scripts/install.sh writes, and
# librsvg2-bin draws its icon in the sizes menus look for.
set -euo pipefail

packages=(
  cmake g++ make pkg-config
  qt6-base-dev qt6-charts-dev libqt6opengl6-dev libcups2-dev
  libbenchmark-dev
  libzip-dev zlib1g-dev libdeflate-dev
  fonts-liberation2 fonts-dejavu-core fonts-wine qt6-translations-l10n
  poppler-utils xvfb xauth xdotool
  # reading laboratory reports sent as PDF: their text and attached files
  libpoppler-qt6-dev
  desktop-file-utils librsvg2-bin
  clang libclang-rt-14-dev llvm
  # LibreOffice Calc, without a display: a test opens both spreadsheet exports in it
  libreoffice-calc-nogui
  # 7-Zip: a test opens the program's encrypted backups with it
  7zip
  # The Orca screen reader, headless: a test hears what it says while the
  # keyboard drives the program (Italian from the locales' sources)
  orca speech-dispatcher espeak-ng at-spi2-core dbus-x11 openbox python3-pyatspi locales
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
