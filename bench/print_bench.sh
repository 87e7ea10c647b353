#!/usr/bin/env bash
# Printing benchmark: composed external pages of about 7500 x 7000 and
# 9000 x 20000 pixels, and a small 24-bit colour page (203 x 301), printed
# by quillet-batch --print to a cups-pdf queue of the benchmark's own, side
# by side with what a user would otherwise type, `lp -o fit-to-page
# page.bmp`, to the same queue. For each: the command's time, the time until
# the PDF has landed (queue idle), the job's size as CUPS received it, the
# PDF's size and its images, and the peak memory of the command (GNU time).
# Each PDF is found by its job's id, so other prints do not count. Then
# bench/print_bench's timings of the device page preparation (stretch and
# thickening) and of the preview.
#
#   bash bench/print_bench.sh [--runs N]
#
# Needs the build (QUILLET_BUILD_DIR, default build/): tools/quillet-batch,
# tools/quillet-samples and bench/print_bench; cupsd with cups-pdf
# (scripts/start-printer.sh) and the right to add a queue (lpadmin);
# poppler-utils; ImageMagick; GNU time.
set -euo pipefail

top="$(cd "$(dirname "$0")/.." && pwd)"
build="${QUILLET_BUILD_DIR:-$top/build}"
batch="$build/tools/quillet-batch"
samples="$build/tools/quillet-samples"
prep="$build/bench/print_bench"
runs=3
while [ $# -gt 0 ]; do
  case "$1" in
    --runs) runs="$2"; shift ;;
    -h|--help) sed -n '2,15p' "$0"; exit 0 ;;
    *) echo "print_bench: unknown argument $1" >&2; exit 2 ;;
  esac
  shift
done
for tool in "$batch" "$samples" "$prep"; do
  [ -x "$tool" ] || { echo "print_bench: $tool is not built" >&2; exit 1; }
done
queue="quillet-bench-$$"
lpadmin -p "$queue" -E -v cups-pdf:/ -m lsb/usr/cups-pdf/CUPS-PDF_opt.ppd 2>/dev/null ||
  { echo "print_bench: cannot add a cups-pdf queue (scripts/start-printer.sh; lpadmin)" >&2; exit 1; }
out_dir="$(sed -n 's/^Out[[:space:]]\+//p' /etc/cups/cups-pdf.conf | tail -1)"
out_dir="${out_dir:-\${HOME\}/PDF}"
out_dir="${out_dir//\$\{HOME\}/$HOME}"

work="$(mktemp -d "${TMPDIR:-/tmp}/quillet-print-bench.XXXXXX")"
trap 'lpadmin -x "$queue" 2>/dev/null; rm -rf "$work"' EXIT
mkdir -p "$work/src" "$work/a" "$work/b" "$work/c"
convert -size 203x301 gradient:red-blue -type TrueColor BMP3:"$work/c/1page.bmp"
"$samples" -n 40 "$work/src" >/dev/null
"$batch" -C "$work/src" -o "$work/a" --borders 3,3,3,3,3,3,3,3 --yppi 600 --columns 3 --xppi 913 >/dev/null
"$batch" -C "$work/src" -o "$work/b" --paper 210x297 --yppi 1711 --xppi 1089 >/dev/null

now() { date +%s.%N; }
calc() { awk "BEGIN { printf \"%.6f\", $1 }"; }
# The queue's newest job: "id size".
newest_job() {
  lpstat -W completed -o "$queue" 2>/dev/null | awk -v q="$queue-" '{sub(q, "", $1); print $1, $3}' | sort -n | tail -1
}
# Waits until the queue is idle and a job newer than $1 has its PDF
# (cups-pdf names it ...job_<id>.pdf); prints its path.
wait_pdf() {
  local before="$1" id f
  for _ in $(seq 1200); do
    if [ -z "$(lpstat -o "$queue" 2>/dev/null)" ]; then
      id="$(newest_job | cut -d' ' -f1)"
      if [ -n "$id" ] && [ "$id" -gt "$before" ]; then
        f="$(ls -1 "$out_dir"/*job_"$id".pdf 2>/dev/null | head -1)"
        [ -n "$f" ] && { echo "$f"; return 0; }
      fi
    fi
    sleep 0.05
  done
  return 1
}

# run NAME DIR FILE CMD...: one timed print; prints a figure line.
run() {
  local name="$1" dir="$2" file="$3"; shift 3
  local before t0 t1 t2 pdf peak job
  before="$(newest_job | cut -d' ' -f1)"
  before="${before:-0}"
  t0="$(now)"
  (cd "$dir" && /usr/bin/time -v -o "$work/time.txt" "$@" >/dev/null 2>"$work/err.txt") ||
    { echo "print_bench: $name failed: $(cat "$work/err.txt")" >&2; return 1; }
  t1="$(now)"
  pdf="$(wait_pdf "$before")"
  t2="$(now)"
  peak="$(sed -n 's/.*Maximum resident set size (kbytes): //p' "$work/time.txt")"
  job="$(newest_job | cut -d' ' -f2)"
  local images
  images="$(pdfimages -list "$pdf" | awk 'NR>2 {printf "%s %sx%s %s-bit %s; ", $3, $4, $5, $8, $9}')"
  printf '%-8s %-7s command %6.2f s  until PDF %6.2f s  job %7d KB  PDF %7d KB  peak %5d MB  %s\n' \
    "$file" "$name" "$(calc "$t1 - $t0")" "$(calc "$t2 - $t0")" "$(( job / 1024 ))" \
    "$(( $(stat -c %s "$pdf") / 1024 ))" "$(( peak / 1024 ))" "$images"
  rm -f "$pdf"
  last_until="$(calc "$t2 - $t0")"
  last_job="$job"
}

for d in a b c; do
  page="$work/$d/1page.bmp"
  size="$(head -c 26 "$page" | od -An -tu4 -j18 -N8 | awk '{print $1 " x " $2}')"
  echo "page $d: $size pixels, $(( $(stat -c %s "$page") / 1024 )) KB"
  for i in $(seq "$runs"); do
    run quillet "$work/$d" "$d/1page" "$batch" --print --printer "$queue" 1page.bmp
    q_until="$last_until" q_job="$last_job"
    run lp "$work/$d" "$d/1page" lp -d "$queue" -o fit-to-page 1page.bmp
    printf '         ratio quillet/lp: until PDF %.3f, job size %.3f\n' \
      "$(calc "$q_until / $last_until")" "$(calc "$q_job / $last_job")"
  done
  run thick "$work/$d" "$d/1page" "$batch" --print --printer "$queue" --thick 1page.bmp
done
echo
"$prep" "$work/a/1page.bmp" "$work/b/1page.bmp" "$work/c/1page.bmp"
