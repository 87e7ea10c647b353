#!/usr/bin/env bash
# Configures and builds Quillet into build/ (warnings are errors). With
# arguments, builds only those targets (e.g. quillet quillet-batch).
set -euo pipefail
cd "$(dirname "$0")/.."
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUILLET_WERROR=ON >/dev/null
targets=()
for t in "$@"; do targets+=(--target "$t"); done
cmake --build build -j "$(nproc)" "${targets[@]}"
