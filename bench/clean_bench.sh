#!/usr/bin/env bash
# The clean-up benchmark, on real typeset pages: a manual from /usr/share/doc
# rasterised at 300 dpi, then made into the variants a scanner gives (turned
# by ImageMagick and thresholded back to 1 bit, a dark band along two edges,
# dust). Three sections, in one run:
#
#  1. The lock's "Compression in total lines" (High) and the default layout's
#     printed pages of each variant, before and after quillet-batch clean.
#  2. The angle found against the turn applied, -5 to +5 degrees.
#  3. Speed: clean on A4 pages turned 1 degree, against unpaper with its
#     defaults on the same pages (one process each, each page in its own
#     format: BMP for Quillet, PBM for unpaper), wall and CPU seconds and the
#     peak memory of each.
#
#   bash bench/clean_bench.sh [--only 1|2|3] [--pages N] [--angle-pages N] [--speed-pages N]
#                             [--peer-pages N] [--pdf FILE]
#
#   --only N         run only that section
#   --pages N        pages of the manual in section 1 (default 24)
#   --angle-pages N  pages turned by each angle in section 2 (default 6)
#   --speed-pages N  pages of section 3 (default 300)
#   --peer-pages N   pages unpaper runs on in section 3 (default: as many as
#                    --speed-pages); fewer are timed and scaled to the full
#                    count, and the output says so
#   --pdf FILE       the manual (default /usr/share/doc/bzip2/manual.pdf.gz)
#
# Needs the build (QUILLET_BUILD_DIR, default build/), poppler-utils,
# ImageMagick, netpbm, GNU time and unpaper. Figures are this machine's, under its
# load; the CPU seconds are printed beside the wall seconds.
set -euo pipefail

top="$(cd "$(dirname "$0")/.." && pwd)"
build="${QUILLET_BUILD_DIR:-$top/build}"
batch="$build/tools/quillet-batch"
only=all
pages=24
angle_pages=6
speed_pages=300
peer_pages=""
pdf=/usr/share/doc/bzip2/manual.pdf.gz
while [ $# -gt 0 ]; do
  case "$1" in
    --pages) pages="$2"; shift ;;
    --speed-pages) speed_pages="$2"; shift ;;
    --peer-pages) peer_pages="$2"; shift ;;
    --pdf) pdf="$2"; shift ;;
    --angle-pages) angle_pages="$2"; shift ;;
    --only) only="$2"; shift ;;
    -h|--help) sed -n '2,31p' "$0"; exit 0 ;;
    *) echo "clean_bench: unknown argument $1" >&2; exit 2 ;;
  esac
  shift
done
peer_pages="${peer_pages:-$speed_pages}"
[ -x "$batch" ] || { echo "clean_bench: $batch is not built" >&2; exit 1; }
for tool in pdftoppm convert bmptopnm unpaper /usr/bin/time; do
  command -v "$tool" >/dev/null || { echo "clean_bench: $tool is needed" >&2; exit 1; }
done

work="$(mktemp -d "${TMPDIR:-/tmp}/quillet-clean-bench.XXXXXX")"
trap 'rm -rf "$work"' EXIT
export QT_QPA_PLATFORM="${QT_QPA_PLATFORM:-offscreen}"
export MAGICK_THREAD_LIMIT=1 OMP_NUM_THREADS=1

# The manual's first pages as 1-bit PBM files at 300 dpi.
case "$pdf" in
  *.gz) zcat "$pdf" > "$work/manual.pdf" ;;
  *) cp "$pdf" "$work/manual.pdf" ;;
esac
mkdir -p "$work/pbm"
pdftoppm -mono -r 300 -f 1 -l "$pages" "$work/manual.pdf" "$work/pbm/p"

# variant NAME IMAGEMAGICK-OPTIONS...: every page (or the first $limit)
# through convert into a folder of 1-bit BMP files, a page per processor.
limit=""
variant() {
  local name="$1"; shift
  mkdir -p "$work/$name"
  ls "$work"/pbm/*.pbm | head -n "${limit:-100000}" | xargs -P "$(nproc)" -I{} \
    sh -c 'f="$1"; shift; convert "$f" "$@" -type bilevel "BMP3:$0/$(basename "$f" .pbm).bmp"' \
    "$work/$name" {} "$@"
}
turned() { echo -background white -rotate "$1" -threshold 50%; }
# 300 specks of 2 x 2 pixels at random places (the same on every page).
specks() {
  local draw="" i
  RANDOM=22
  for ((i = 0; i < 300; i++)); do
    local x=$((RANDOM % 2540)) y=$((RANDOM % 3290))
    draw+="rectangle $x,$y $((x + 1)),$((y + 1)) "
  done
  echo "$draw"
}

# lock DIR: prints "HIGH PRINTED" for the pages of DIR with the defaults.
lock() {
  "$batch" -C "$1" --dry-run > "$work/lock.txt"
  local high printed
  high=$(grep -m1 -o 'no compression\] : \[[0-9]*' "$work/lock.txt" | grep -o '[0-9]*$')
  printed=$(grep -m1 -o 'printed-pages=[0-9]*' "$work/lock.txt" | cut -d= -f2)
  echo "$high $printed"
}

runs() { [ "$only" = all ] || [ "$only" = "$1" ]; }

if runs 1; then
echo "== 1. $pages pages of $(basename "$pdf") at 300 dpi, locked with the defaults"
variant straight
variant turn0.5 $(turned 0.5)
variant turn1.0 $(turned 1.0)
variant turn1.5 $(turned 1.5)
variant band -fill black -draw "rectangle 0,0 44,9999" -draw "rectangle 0,0 9999,24"
variant dust -fill black -draw "$(specks)"
read -r base_high base_printed < <(lock "$work/straight")
printf '%-34s %22s %22s\n' "the same $pages pages" "before: High, printed" "after clean: High, printed"
for v in straight turn0.5 turn1.0 turn1.5 band dust; do
  read -r h p < <(lock "$work/$v")
  "$batch" clean -C "$work/$v" -o "$work/$v.clean" > "$work/$v.report"
  read -r ch cp < <(lock "$work/$v.clean")
  pct() { awk -v a="$1" -v b="$base_high" 'BEGIN{printf "%+.1f%%", (a - b) * 100 / b}'; }
  printf '%-34s %9s (%6s) %3s %9s (%6s) %3s\n' "$v" "$h" "$(pct "$h")" "$p" "$ch" "$(pct "$ch")" "$cp"
done
unchanged=0
for f in "$work"/straight/*.bmp; do
  # The same pixels (the files differ: ImageMagick's header is not ours).
  if cmp -s <(bmptopnm "$f" 2>/dev/null) <(bmptopnm "$work/straight.clean/$(basename "$f")" 2>/dev/null); then
    unchanged=$((unchanged + 1))
  else
    echo "  $(basename "$f") changed"
  fi
done
echo "straight pages unchanged by clean: $unchanged of $pages"
fi

if runs 2; then
echo
echo "== 2. Angles found, turns of -5 to +5 degrees ($angle_pages pages each)"
sum=0; n=0; worst=0
limit=$angle_pages
for a in -5 -4 -3 -2 -1 -0.5 0.5 1 2 3 4 5; do
  rm -rf "$work/angle" "$work/angle.clean"
  variant angle $(turned "$a")
  "$batch" clean --no-borders --no-despeckle -C "$work/angle" -o "$work/angle.clean" > "$work/angle.report"
  read -r s k w < <(grep -o 'skew [-+0-9.]*' "$work/angle.report" | awk -v a="$a" '
    { e = $2 - a; if (e < 0) e = -e; s += e; k++; if (e > w) w = e } END { printf "%f %d %f\n", s, k, w }')
  printf '  %+5.1f degrees: %2d of %d pages measured, mean error %.3f, worst %.3f\n' "$a" "$k" "$angle_pages" \
    "$(awk -v s="$s" -v k="$k" 'BEGIN{print k ? s / k : 0}')" "$w"
  sum=$(awk -v a="$sum" -v b="$s" 'BEGIN{print a + b}'); n=$((n + k))
  worst=$(awk -v a="$worst" -v b="$w" 'BEGIN{print (b > a) ? b : a}')
done
limit=""
echo "mean error over all $n pages: $(awk -v s="$sum" -v n="$n" 'BEGIN{printf "%.4f", s / n}') degrees (target < 0.03), worst $worst"
fi

runs 3 || exit 0

echo
echo "== 3. Speed: $speed_pages A4 pages at 300 dpi turned 1 degree (unpaper on $peer_pages)"
mkdir -p "$work/speed" "$work/speed-pbm" "$work/speed.clean" "$work/speed.unpaper" "$work/a4"
ls "$work"/pbm/*.pbm | xargs -P "$(nproc)" -I{} sh -c 'f="$1"; b="$0/$(basename "$f" .pbm)";
  convert "$f" -background white -rotate 1 -threshold 50% -gravity center -extent 2480x3508 "$b.pbm" &&
  convert "$b.pbm" -type bilevel "BMP3:$b.bmp"' "$work/a4" {}
a4=("$work"/a4/*.pbm)
for ((k = 1; k <= speed_pages; k++)); do
  src="${a4[$(( (k - 1) % ${#a4[@]} ))]}"
  name=$(printf 'page%03d' "$k")
  [ "$k" -le "$peer_pages" ] && cp "$src" "$work/speed-pbm/$name.pbm"
  cp "${src%.pbm}.bmp" "$work/speed/$name.bmp"
done
rm -rf "$work/a4"
sync
cat "$work"/speed/*.bmp "$work"/speed-pbm/*.pbm > /dev/null
timed() {
  /usr/bin/time -f "%e %U %S %M" -o "$work/time.txt" "$@" > /dev/null 2> "$work/timed.err" \
    || { cat "$work/timed.err" >&2; echo "clean_bench: $1 failed" >&2; exit 1; }
  read -r T u s MEM < "$work/time.txt"
  CPU=$(awk -v u="$u" -v s="$s" 'BEGIN{printf "%.2f", u + s}')
}
timed "$batch" clean -C "$work/speed" -o "$work/speed.clean"
q_t=$T; q_cpu=$CPU; q_mem=$MEM
timed unpaper "$work/speed-pbm/page%03d.pbm" "$work/speed.unpaper/page%03d.pbm"
scale=$(awk -v a="$speed_pages" -v b="$peer_pages" 'BEGIN{printf "%.6f", a / b}')
u_t=$(awk -v t="$T" -v f="$scale" 'BEGIN{printf "%.2f", t * f}')
u_cpu=$(awk -v t="$CPU" -v f="$scale" 'BEGIN{printf "%.2f", t * f}')
u_mem=$MEM
printf '%-30s %9s %9s %9s\n' "" "wall s" "cpu s" "peak MB"
printf '%-30s %9s %9s %9s\n' "quillet-batch clean" "$q_t" "$q_cpu" "$((q_mem / 1024))"
printf '%-30s %9s %9s %9s\n' "unpaper (defaults)" "$u_t" "$u_cpu" "$((u_mem / 1024))"
[ "$peer_pages" != "$speed_pages" ] && echo "(unpaper ran on $peer_pages pages in $T s wall, $CPU s cpu; scaled to $speed_pages)"
echo "ratios: unpaper / quillet = $(awk -v a="$u_t" -v b="$q_t" 'BEGIN{printf "%.1f", a / b}')x wall (target >= 30x)," \
     "$(awk -v a="$u_cpu" -v b="$q_cpu" 'BEGIN{printf "%.1f", a / b}')x cpu; quillet's peak $((q_mem / 1024)) MB (target < 300 MB)"
