#!/usr/bin/env bash
# The scanning benchmark: 10 line-art A4 pages at 300 dpi from the document
# feeder of the SANE test backend, saved as 1-bit BMP files by
# `quillet-batch acquire`, against the pipeline a user would script:
# `scanimage --batch --format=pnm --mode Gray --depth 1` then netpbm's BMP
# writer on each page (Debian 12's netpbm names it ppmtobmp; it writes a PBM
# as a 1-bit BMP). Both run in turn in one farm-bench call (the ratio is ours over
# the peer's, pair by pair), with the same device settings.
#
#   bash bench/acquire_bench.sh [RUNS]
#
# Needs the build (QUILLET_BUILD_DIR, default build/), sane-utils, netpbm and
# farm-bench. The test backend's scan area is widened to A4 in a
# configuration folder of the benchmark's own.
set -euo pipefail

top="$(cd "$(dirname "$0")/.." && pwd)"
build="${QUILLET_BUILD_DIR:-$top/build}"
runs="${1:-5}"
work="$(mktemp -d "${TMPDIR:-/tmp}/quillet-acquire-bench-XXXXXX")"
trap 'rm -rf "$work"' EXIT

mkdir -p "$work/sane" "$work/ours" "$work/peer"
echo test > "$work/sane/dll.conf"
sed -e 's/^geometry_max .*/geometry_max 300.0/' -e 's/^br_x .*/br_x 210.0/' -e 's/^br_y .*/br_y 297.0/' \
  /etc/sane.d/test.conf > "$work/sane/test.conf"
export SANE_CONFIG_DIR="$work/sane"

settings_peer="--mode Gray --depth 1 --resolution 300 --test-picture Grid"
feeder="'Automatic Document Feeder'"
ours="$build/tools/quillet-batch acquire --device test:0 --source $feeder --mode lineart --resolution 300 --option test-picture=Grid -o $work/ours"
peer="cd $work/peer && scanimage -d test:0 --source $feeder $settings_peer --format=pnm --batch=p%03d.pnm 2>/dev/null; \
for f in p*.pnm; do ppmtobmp \"\$f\" > \"\${f%.pnm}.bmp\" 2>/dev/null; done"

# One run of each first, to show that both make the same ten pages.
sh -c "$ours" >/dev/null
sh -c "$peer"
echo "pages: ours $(ls "$work/ours" | wc -l), peer $(ls "$work/peer"/*.bmp | wc -l)"
file "$work/ours/page001.bmp" | sed "s|$work/||"
file "$work/peer/p001.bmp" | sed "s|$work/||"
same=yes
for n in 001 002 003 004 005 006 007 008 009 010; do
  cmp -s <(bmptopnm "$work/ours/page$n.bmp" 2>/dev/null) <(bmptopnm "$work/peer/p$n.bmp" 2>/dev/null) || same=no
done
echo "same pixels in all ten pages: $same"

farm-bench -n "$runs" --vs "sh -c \"$peer\"" -- sh -c "$ours"
