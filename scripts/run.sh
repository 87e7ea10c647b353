#!/usr/bin/env bash
# Sets up a fresh Debian 12 machine (as root), builds Quillet, makes a folder
# of sample pages and runs the main job there: the Quillet window when a
# display is available, otherwise the batch front end.
set -euo pipefail
top="$(cd "$(dirname "$0")/.." && pwd)"
bash "$top/scripts/install-deps.sh"
bash "$top/scripts/start-printer.sh" >/dev/null 2>&1 || true
bash "$top/scripts/build.sh" quillet quillet-batch quillet-samples
samples="${QUILLET_SAMPLES:-$HOME/quillet-samples}"
mkdir -p "$samples"
ls "$samples"/page*.bmp >/dev/null 2>&1 || "$top/build/tools/quillet-samples" -n 24 "$samples"
cd "$samples"
if [ -n "${DISPLAY:-}" ] && [ -x "$top/build/ui/quillet" ]; then
  exec "$top/build/ui/quillet"
fi
out="$samples/out"
mkdir -p "$out"
"$top/build/tools/quillet-batch" --columns 4 --compression high -o "$out"
echo "External pages written to $out:"
ls "$out"
