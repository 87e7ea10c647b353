#!/usr/bin/env bash
# Sets up a fresh Debian 12 machine (as root), builds Quillet and runs the
# whole test suite. Exits non-zero on any failure.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
bash scripts/start-printer.sh || echo "note: no CUPS printer; printer tests will skip"
bash scripts/build.sh
cd build
QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j "$(nproc)"
cd ..
# The Debian package, built and checked installed (scripts/check-package.sh).
bash scripts/check-package.sh
