#!/usr/bin/env bash
# The main job benchmark: 300 generated A4 pages at 300 dpi composed into
# external pages (4 columns, High compression, default borders) by
# quillet-batch, against the same job done by the fastest peer pipeline
# (netpbm), by ImageMagick, and against `cat` reading the inputs once (the
# floor). All in one invocation, on the same pages, with a warm page cache.
# Then the worst case the layout allows: 600-dpi pages, 1 column, a column
# length of 32000 pixel rows.
#
#   bash bench/main_job_bench.sh [--quick] [--pages N] [--worst-pages N] [--no-worst]
#
#   --quick          the peers run on a subset (netpbm 30 pages, ImageMagick 8
#                    pages: two sheets) and their times are scaled to the full
#                    count (the output says so); the worst case uses 30 pages
#   --pages N        pages of the main run (default 300)
#   --worst-pages N  pages of the worst case (default: as --pages)
#   --no-worst       leave the worst case out
#
# Needs the build (QUILLET_BUILD_DIR, default build/): tools/quillet-batch and
# tools/quillet-samples; GNU time for peak memory; netpbm and ImageMagick for
# the peers. The peers do less than Quillet: no speck rule, no line-gap
# compression, cuts anywhere. ImageMagick runs on one thread with Debian's
# default resource policy. Figures are wall-clock seconds; the machine's
# load shows in them, so the CPU seconds (user + system) are printed too.
set -euo pipefail

top="$(cd "$(dirname "$0")/.." && pwd)"
build="${QUILLET_BUILD_DIR:-$top/build}"
batch="$build/tools/quillet-batch"
samples="$build/tools/quillet-samples"
pages=300
worst_pages=""
quick=0
worst=1
while [ $# -gt 0 ]; do
  case "$1" in
    --quick) quick=1 ;;
    --pages) pages="$2"; shift ;;
    --worst-pages) worst_pages="$2"; shift ;;
    --no-worst) worst=0 ;;
    -h|--help) sed -n '2,25p' "$0"; exit 0 ;;
    *) echo "main_job_bench: unknown argument $1" >&2; exit 2 ;;
  esac
  shift
done
for tool in "$batch" "$samples"; do
  [ -x "$tool" ] || { echo "main_job_bench: $tool is not built" >&2; exit 1; }
done
peer_pages=$pages
im_pages=$pages
if [ "$quick" = 1 ] && [ "$pages" -gt 30 ]; then peer_pages=30; fi
if [ "$quick" = 1 ] && [ "$pages" -gt 8 ]; then im_pages=8; fi
if [ -z "$worst_pages" ]; then
  worst_pages=$pages
  if [ "$quick" = 1 ] && [ "$pages" -gt 30 ]; then worst_pages=30; fi
fi
gnutime=/usr/bin/time
[ -x "$gnutime" ] || { echo "main_job_bench: GNU time (/usr/bin/time) is needed" >&2; exit 1; }

work="$(mktemp -d "${TMPDIR:-/tmp}/quillet-main-bench.XXXXXX")"
trap 'rm -rf "$work"' EXIT
export QT_QPA_PLATFORM="${QT_QPA_PLATFORM:-offscreen}"
# ImageMagick on one thread, like the others: its OpenMP threads spin and
# multiply its time many times over on a busy machine.
export MAGICK_THREAD_LIMIT=1 OMP_NUM_THREADS=1
export XDG_RUNTIME_DIR="${XDG_RUNTIME_DIR:-$work/runtime}"
mkdir -p "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"

# Runs a command under GNU time; sets T (wall s), CPU (user+sys s), MEM (peak KB).
timed() {
  "$gnutime" -f "%e %U %S %M" -o "$work/time.txt" "$@"
  read -r T u s MEM < "$work/time.txt"
  CPU=$(awk -v u="$u" -v s="$s" 'BEGIN{printf "%.2f", u + s}')
}
ratio() { awk -v a="$1" -v b="$2" 'BEGIN{ if (b <= 0) b = 0.001; printf "%.1f", a / b }'; }
scale() { awk -v t="$1" -v f="$2" 'BEGIN{printf "%.2f", t * f}'; }

echo "== Main job: $pages A4 pages at 300 dpi, 4 columns, High compression, default borders"
"$samples" -n "$pages" -d 300 "$work/pages" >/dev/null
input_mb=$(du -sm "$work/pages" | cut -f1)
# The pages just written would otherwise be written back to disk while the
# timed commands run, as scanned pages long on disk are not.
sync
cat "$work"/pages/*.bmp > /dev/null   # warm the page cache

# The floor: cat reading the inputs once (best of three).
best=""
for _ in 1 2 3; do
  timed sh -c "cat '$work'/pages/*.bmp > /dev/null"
  if [ -z "$best" ] || awk -v a="$T" -v b="$best" 'BEGIN{exit !(a < b)}'; then best=$T; cat_cpu=$CPU; fi
done
cat_t=$best

# Quillet.
mkdir -p "$work/out"
timed "$batch" -C "$work/pages" -o "$work/out" --columns 4 --compression high > "$work/quillet.txt" 2> "$work/quillet.err" \
  || { cat "$work/quillet.err" >&2; echo "main_job_bench: quillet-batch failed" >&2; exit 1; }
q_t=$T; q_cpu=$CPU; q_mem=$MEM
clp=$(grep -o 'length-pixels=[0-9]*' "$work/quillet.txt" | cut -d= -f2)
q_pages=$(ls "$work/out" | wc -l)
q_done=$(tail -n 1 "$work/quillet.txt")

# The peers work on the first $peer_pages pages.
mkdir -p "$work/peer"
all_pages=("$work"/pages/*.bmp)
printf '%s\n' "${all_pages[@]:0:$peer_pages}" > "$work/peer/list"
printf '%s\n' "${all_pages[@]:0:$im_pages}" > "$work/peer/im-list"
peer_factor=$(awk -v a="$pages" -v b="$peer_pages" 'BEGIN{printf "%.6f", a / b}')
im_factor=$(awk -v a="$pages" -v b="$im_pages" 'BEGIN{printf "%.6f", a / b}')

# netpbm: crop each page, one band, columns of the same length, four a sheet.
netpbm_job() {
  set -e
  local d="$work/peer/netpbm"
  rm -rf "$d" && mkdir -p "$d/crop" "$d/dice" "$d/out"
  local i=0
  while read -r f; do
    i=$((i + 1))
    bmptopnm "$f" 2>/dev/null | pnmcrop -white > "$d/crop/$(printf %04d $i).pbm" 2>/dev/null
  done < "$work/peer/list"
  pamcat -topbottom -jleft -white "$d"/crop/*.pbm > "$d/band.pbm"
  rm -rf "$d/crop"
  pamdice -outstem="$d/dice/col" -height="$clp" "$d/band.pbm"
  rm -f "$d/band.pbm"
  local cols=() sheet=0
  mapfile -t cols < <(ls "$d"/dice/col_*.pbm | sort -V)
  for ((c = 0; c < ${#cols[@]}; c += 4)); do
    sheet=$((sheet + 1))
    pamcat -leftright -jtop -white "${cols[@]:c:4}" | ppmtobmp -bpp=1 > "$d/out/${sheet}page.bmp" 2>/dev/null
  done
}
export -f netpbm_job
export work clp
timed bash -c netpbm_job
n_t=$T; n_cpu=$CPU
n_sheets=$(ls "$work/peer/netpbm/out" | wc -l)
rm -rf "$work/peer/netpbm"

# ImageMagick: trim copies, then four trimmed pages a sheet, made monochrome.
im_job() {
  set -e
  local d="$work/peer/im"
  rm -rf "$d" && mkdir -p "$d/in" "$d/out"
  xargs -a "$work/peer/im-list" cp -t "$d/in"
  mogrify -trim "$d"/in/*.bmp
  local files=() sheet=0
  mapfile -t files < <(ls "$d"/in/*.bmp)
  for ((c = 0; c < ${#files[@]}; c += 4)); do
    sheet=$((sheet + 1))
    montage "${files[@]:c:4}" -tile 4x1 -geometry +0+0 miff:- | convert - -monochrome "$d/out/${sheet}page.bmp"
  done
}
export -f im_job
timed bash -c im_job
i_t=$T; i_cpu=$CPU
i_sheets=$(ls "$work/peer/im/out" | wc -l)
rm -rf "$work/peer/im"

n_full=$(scale "$n_t" "$peer_factor"); n_full_cpu=$(scale "$n_cpu" "$peer_factor")
i_full=$(scale "$i_t" "$im_factor"); i_full_cpu=$(scale "$i_cpu" "$im_factor")

echo "input: $pages pages, $input_mb MB; column length $clp rows"
printf '%-34s %9s %9s %10s\n' "" "wall s" "cpu s" "peak MB"
printf '%-34s %9s %9s %10s\n' "cat of the inputs (best of 3)" "$cat_t" "$cat_cpu" "-"
printf '%-34s %9s %9s %10s\n' "quillet-batch" "$q_t" "$q_cpu" "$((q_mem / 1024))"
if [ "$peer_pages" != "$pages" ] || [ "$im_pages" != "$pages" ]; then
  echo "(quick mode: netpbm ran on $peer_pages and ImageMagick on $im_pages of the $pages pages;"
  echo " their times below are scaled to $pages pages: measured netpbm ${n_t} s, ImageMagick ${i_t} s)"
fi
printf '%-34s %9s %9s %10s\n' "netpbm ($n_sheets sheets/$peer_pages pages)" "$n_full" "$n_full_cpu" "-"
printf '%-34s %9s %9s %10s\n' "ImageMagick ($i_sheets sheets/$im_pages pages)" "$i_full" "$i_full_cpu" "-"
echo "quillet-batch: $q_pages external pages; $q_done"
echo "ratios (wall):  netpbm / quillet = $(ratio "$n_full" "$q_t")x (target >= 20x)," \
     "ImageMagick / quillet = $(ratio "$i_full" "$q_t")x (target >= 100x)," \
     "quillet / cat = $(ratio "$q_t" "$cat_t")x (target <= 6x)"
echo "ratios (cpu):   netpbm / quillet = $(ratio "$n_full_cpu" "$q_cpu")x," \
     "ImageMagick / quillet = $(ratio "$i_full_cpu" "$q_cpu")x," \
     "quillet / cat = $(ratio "$q_cpu" "$cat_cpu")x"
echo "peak memory: $((q_mem / 1024)) MB (target < 300 MB)"
rm -rf "$work/pages" "$work/out" "$work/peer"

if [ "$worst" = 1 ]; then
  echo
  echo "== Worst case: $worst_pages A4 pages at 600 dpi, 1 column, column length 32000, High compression"
  "$samples" -n "$worst_pages" -d 600 "$work/pages600" >/dev/null
  w_mb=$(du -sm "$work/pages600" | cut -f1)
  sync
  cat "$work"/pages600/*.bmp > /dev/null
  timed sh -c "cat '$work'/pages600/*.bmp > /dev/null"
  wc_t=$T
  mkdir -p "$work/out600"
  timed "$batch" -C "$work/pages600" -o "$work/out600" --compression high --columns 1 --length-pixels 32000 \
    > "$work/worst.txt" 2> "$work/worst.err" || { cat "$work/worst.err" >&2; echo "main_job_bench: worst case failed" >&2; }
  echo "input: $worst_pages pages, $w_mb MB"
  sed -n '1,2p' "$work/worst.txt"
  echo "quillet-batch: $T s wall, $CPU s cpu, peak $((MEM / 1024)) MB; cat $wc_t s; quillet / cat = $(ratio "$T" "$wc_t")x"
  echo "$(ls "$work/out600" | wc -l) external pages; $(tail -n 1 "$work/worst.txt")"
fi
