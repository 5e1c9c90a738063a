#!/usr/bin/env bash
# Installs the build into a fresh prefix and checks the layout: the program in
# bin/, every file of data/ (folders included) in share/lumeko-trainer/, the
# desktop entry, the icons and the AppStream data where desktops look, the
# manual pages and the licence; that the desktop entry and the AppStream data
# pass their validators, that man formats the pages without a warning, and
# that no Japanese text is wrapped inside a paragraph (a browser or man shows
# the line break as a space).
# Usage: install_test.sh <build dir> <source dir>
set -u
BUILD=$1
SRC=$2
WORK=$(mktemp -d "${TMPDIR:-/tmp}/lumeko-install.XXXXXX")
trap 'rm -rf "$WORK"' EXIT
PREFIX="$WORK/any prefix"
APP_ID=io.github.lumeko.Trainer
failures=0
fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}

cmake --install "$BUILD" --prefix "$PREFIX" >/dev/null || { echo "FAIL: cmake --install"; exit 1; }

[ -x "$PREFIX/bin/lumeko-trainer" ] || fail "no program in bin/"
data_files=0
while IFS= read -r -d '' f; do
    rel=${f#"$SRC/data/"}
    cmp -s "$f" "$PREFIX/share/lumeko-trainer/$rel" || fail "data file $rel not installed as it is"
    data_files=$((data_files + 1))
done < <(find "$SRC/data" -type f -print0)
[ "$data_files" -gt 0 ] || fail "no data files found in $SRC/data"

desktop="$PREFIX/share/applications/$APP_ID.desktop"
metainfo="$PREFIX/share/metainfo/$APP_ID.metainfo.xml"
[ -f "$desktop" ] || fail "no desktop entry"
[ -f "$metainfo" ] || fail "no AppStream data"
exec_name=$(sed -n 's/^Exec=//p' "$desktop")
icon_name=$(sed -n 's/^Icon=//p' "$desktop")
[ -x "$PREFIX/bin/$exec_name" ] || fail "the desktop entry starts '$exec_name', which is not installed"
[ -f "$PREFIX/share/icons/hicolor/scalable/apps/$icon_name.svg" ] || fail "no scalable icon named '$icon_name'"
for size in 16 24 32 48 64 128 256; do
    png="$PREFIX/share/icons/hicolor/${size}x${size}/apps/$icon_name.png"
    [ "$(identify -format '%wx%h' "$png" 2>/dev/null)" = "${size}x${size}" ] || fail "no ${size}x${size} icon"
done
grep -q '^Name\[ja\]=' "$desktop" || fail "the desktop entry has no Japanese name"
grep -q '^Comment\[ja\]=' "$desktop" || fail "the desktop entry has no Japanese comment"
out=$(desktop-file-validate "$desktop" 2>&1) || fail "desktop-file-validate: $out"
out=$(appstreamcli validate --no-net "$metainfo" 2>&1) || fail "appstreamcli validate: $out"
grep -q "<launchable type=\"desktop-id\">$APP_ID.desktop</launchable>" "$metainfo" ||
    fail "the AppStream data does not name the desktop entry"

for dir in man6 ja/man6; do
    page="$PREFIX/share/man/$dir/lumeko-trainer.6.gz"
    [ -f "$page" ] || { fail "no manual page in share/man/$dir"; continue; }
    out=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -E UTF-8 -l -Tutf8 -Z "$page" 2>&1 >/dev/null)
    [ -z "$out" ] || fail "man share/man/$dir/lumeko-trainer.6.gz: $out"
done
for f in copyright changelog.gz; do
    [ -s "$PREFIX/share/doc/lumeko-trainer/$f" ] || fail "no $f in share/doc/lumeko-trainer"
done
wrapped=$(perl -0777 -ne 's{<pre>.*?</pre>}{}gs; print "$1\n" while /^(.*[\x80-\xff])\n/mg' "$SRC/data/最初にお読みください.html"
    perl -ne 'print $p if $p && !/^\./; $p = /^[^.].*[\x80-\xff]$/ ? $_ : ""' "$SRC/packaging/linux/man/ja/lumeko-trainer.6")
[ -z "$wrapped" ] || fail "Japanese text wrapped inside a paragraph: $wrapped"

echo "install test: $data_files data files, $failures failures"
[ "$failures" -eq 0 ]
