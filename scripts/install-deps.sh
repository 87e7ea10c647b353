#!/usr/bin/env bash
# Installs every Debian 12 package that building, running and testing Quillet
# needs. Run as root. Safe to run again.
set -euo pipefail
export DEBIAN_FRONTEND=noninteractive
packages=(
  g++ cmake ninja-build pkg-config clang libclang-rt-14-dev
  qt6-base-dev libgl-dev libzip-dev libsane-dev libgtest-dev
  fonts-liberation2 fonts-dejavu-core
  xvfb xauth imagemagick netpbm time
  cups printer-driver-cups-pdf poppler-utils qpdf
  libpoppler-cpp-dev libpoppler-glib-dev libpoppler-private-dev qt6-image-formats-plugins
  libleptonica-dev libtiff-dev libtiff-tools libcups2-dev openbox
  libsane1 sane-utils zip unzip
  dpkg-dev file librsvg2-bin lintian desktop-file-utils appstream xdotool libglib2.0-bin
)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi
