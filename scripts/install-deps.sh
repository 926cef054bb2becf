#!/usr/bin/env bash
# Installs everything Kovapost needs to build, run and test on Debian 12. Safe to run again:
# it only calls apt-get when a package is missing.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev qt6-base-dev-tools libgl-dev libegl-dev libxkbcommon-dev
  libsqlcipher-dev sqlcipher
  libfreexl-dev liborcus-dev libboost-dev libxlsxwriter-dev
  libopencc-dev libopencc-data zlib1g-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  clang libclang-rt-14-dev
  fonts-noto-cjk fonts-arphic-uming qt6-translations-l10n
  appstream desktop-file-utils dpkg-dev file
  poppler-utils libpoppler-cpp-dev python3-fonttools
  xvfb xauth
  cups-daemon cups-client cups cups-filters printer-driver-cups-pdf
  printer-driver-postscript-hp printer-driver-oki printer-driver-brlaser printer-driver-gutenprint
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
