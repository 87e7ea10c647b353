#!/usr/bin/env bash
# Builds the Debian package and checks it for real on this machine (as root):
# lintian without errors, the desktop entry and the AppStream metainfo valid,
# the package installed with apt, the installed quillet-batch composing sample
# pages exactly as the build folder's does, the installed quillet started from
# its menu entry under Xvfb showing "Quillet" and "Viewer" and working in the
# installation directory that holds Qllet.txt; the installed zip engine
# archiving pages; then the package is removed.
set -euo pipefail
top="$(cd "$(dirname "$0")/.." && pwd)"
cd "$top"
export DEBIAN_FRONTEND=noninteractive

fail() { echo "check-package: $*" >&2; exit 1; }
[ "$(id -u)" -eq 0 ] || fail "must run as root (it installs the package)"

work="$(mktemp -d /tmp/quillet-package-XXXXXX)"
chmod 755 "$work"
xvfb_pid="" app_pid="" installed=""
cleanup() {
  [ -n "$app_pid" ] && kill "$app_pid" 2>/dev/null || true
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
  if [ -n "$installed" ]; then
    apt-get remove -y -qq quillet >/dev/null 2>&1 || true
    dpkg --purge quillet >/dev/null 2>&1 || true
  fi
  rm -rf "$work"
}
trap cleanup EXIT

deb="$(bash scripts/package.sh | tail -n 1)"
[ -f "$deb" ] || fail "no package built"
version="$(dpkg-deb -f "$deb" Version)"
echo "package: $deb (version $version)"

echo "lintian:"
lintian --fail-on error "$deb" ||
  fail "lintian reports errors on $deb"

dpkg-query -W -f='${Status}' quillet 2>/dev/null | grep -q "ok installed" &&
  fail "quillet is installed already; remove it first"
installed=yes
apt-get install -y -qq "./$deb" >/dev/null || fail "apt-get install ./$deb failed"

desktop=/usr/share/applications/org.quillet.Quillet.desktop
desktop-file-validate "$desktop" || fail "desktop-file-validate: $desktop"
appstreamcli validate --no-net /usr/share/metainfo/org.quillet.Quillet.metainfo.xml ||
  fail "appstreamcli validate: the metainfo"
for size in 48x48 256x256; do
  identify -format '%wx%h' "/usr/share/icons/hicolor/$size/apps/quillet.png" | grep -qx "$size" ||
    fail "the $size icon is missing or of another size"
done
man -w quillet quillet-batch >/dev/null || fail "a manual page is missing"
[ "$(/usr/bin/quillet --version)" = "quillet $version" ] || fail "quillet --version"
[ "$(/usr/bin/quillet-batch --version)" = "quillet-batch $version" ] || fail "quillet-batch --version"

# The installed quillet-batch writes the same external pages as the build's.
pages="$work/pages"
mkdir -p "$pages" "$work/built" "$work/installed"
build/tools/quillet-samples -n 8 "$pages" >/dev/null
for which in built installed; do
  batch=build/tools/quillet-batch
  [ "$which" = installed ] && batch=/usr/bin/quillet-batch
  "$batch" -C "$pages" --columns 4 --compression high -o "$work/$which" | tail -n 1 | grep -q "^Done" ||
    fail "$batch did not compose the sample pages"
done
ls "$work/installed"/*page.bmp >/dev/null 2>&1 || fail "no external pages written"
diff -r "$work/built" "$work/installed" >/dev/null ||
  fail "the installed quillet-batch wrote other pages than the build folder's"
echo "quillet-batch: $(ls "$work/installed" | wc -l) external pages, same as the build folder's"

# The zip engine finds its libraries in the installed lib/quillet folder.
for lib in libzipdll.so libunzdll.so; do
  [ -f "/usr/lib/quillet/$lib" ] || fail "/usr/lib/quillet/$lib is not installed"
done
mkdir -p "$work/zip"
/usr/bin/quillet-batch --zip-add -C "$pages" -o "$work/zip" 2>/dev/null ||
  fail "the installed quillet-batch could not add the pages to an archive"
[ "$(unzip -Z1 "$work/zip/page.zip" | wc -l)" -eq "$(ls "$pages"/*.bmp | wc -l)" ] ||
  fail "the archive made by the installed zip engine lacks pages"
echo "zip engine: the pages archived with the libraries in /usr/lib/quillet"

# The installed quillet-batch imports through its page reader in
# /usr/lib/quillet, and cleans the pages on the way in.
mkdir -p "$work/imported" "$work/one"
/usr/bin/quillet-batch -C "$pages" --pdf "$work/pages.pdf" --columns 1 -o "$work/one" >/dev/null 2>&1 ||
  fail "the installed quillet-batch could not write the pages as a PDF"
[ -x /usr/lib/quillet/quillet-page-reader ] || fail "/usr/lib/quillet/quillet-page-reader is not installed"
/usr/bin/quillet-batch import --clean -o "$work/imported" "$work/pages.pdf" > "$work/import.log" 2>&1 ||
  fail "the installed quillet-batch could not import the PDF: $(tail -n 3 "$work/import.log")"
grep -q "^page001.bmp: skew " "$work/import.log" || fail "the imported pages were not cleaned"
echo "import: $(ls "$work/imported" | wc -l) pages read by /usr/lib/quillet/quillet-page-reader and cleaned"

# The installed quillet, started from its menu entry on a bitmap of the
# sample folder, under a virtual X display.
exec 3<> "$work/display"
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
[ -s "$work/display" ] || fail "Xvfb did not start"
export DISPLAY=":$(head -n 1 "$work/display")" QT_QPA_PLATFORM=xcb
(cd "$work" && gio launch "$desktop" "$pages/page001.bmp" >/dev/null 2>&1) ||
  fail "the menu entry did not start quillet"
window() { xdotool search --name "^$1\$" 2>/dev/null | head -n 1; }
for _ in $(seq 150); do
  [ -n "$(window Quillet)" ] && [ -n "$(window Viewer)" ] && break
  sleep 0.1
done
main="$(window Quillet)"
[ -n "$main" ] || fail "no window \"Quillet\""
[ -n "$(window Viewer)" ] || fail "no window \"Viewer\""
app_pid="$(xdotool getwindowpid "$main")"
[ "$(readlink "/proc/$app_pid/exe")" = /usr/bin/quillet ] || fail "the window is not the installed quillet's"
# The menu entry starts it in the opened bitmap's folder (the shell's cd
# leaves its PWD); it then works in its installation directory.
tr '\0' '\n' < "/proc/$app_pid/environ" | grep -qx "PWD=$pages" ||
  fail "the menu entry did not start quillet in the folder of the bitmap opened"
installation="$(readlink "/proc/$app_pid/cwd")"
[ "$installation" = /usr/share/quillet ] && [ -f "$installation/Qllet.txt" ] ||
  fail "quillet does not work in an installation directory holding Qllet.txt ($installation)"
echo "quillet: windows \"Quillet\" and \"Viewer\" shown; Qllet.txt found in $installation"
kill "$app_pid"
for _ in $(seq 50); do kill -0 "$app_pid" 2>/dev/null || break; sleep 0.1; done
app_pid=""

apt-get remove -y -qq quillet >/dev/null || fail "apt-get remove quillet failed"
dpkg --purge quillet >/dev/null  # its maintainer scripts' record too
installed=""
[ ! -e /usr/bin/quillet ] || fail "/usr/bin/quillet is still there after removal"
echo "package checked and removed again in ${SECONDS} s"
