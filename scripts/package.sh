#!/usr/bin/env bash
# Builds the Debian package of Quillet, build/quillet_<version>_<arch>.deb,
# from the build folder (building what is missing first), and prints its path.
# Install it with: apt install ./build/quillet_*.deb
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/build.sh
rm -f build/quillet_*.deb
(cd build && cpack -G DEB >/dev/null)
ls build/quillet_*.deb
