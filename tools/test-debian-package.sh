#!/usr/bin/env bash
# test-debian-package.sh -- checks the game's Debian package with lintian, then
# installs it on a fresh Debian 12 and plays it there.
#
# Installs what it needs (tools/install-deps.sh --package: dpkg-dev, lintian,
# debootstrap, Xvfb, xdotool, ImageMagick). Builds the package (cpack -G DEB in
# build-deb/) and runs `lintian --pedantic` on it: any error fails, and so
# does any warning not listed below with its reason. Then makes a fresh
# Debian 12 in a folder of the project's (debootstrap --variant=minbase
# bookworm, once; every run starts again from an untouched copy of it),
# installs the package with `apt-get install ./file.deb`, checks what it put in
# place, then starts the installed program from /tmp under Xvfb and checks that
# it finds its sound, its help page and its lessons. Needs root; not part of CI
# (it downloads a whole system).
# Usage: tools/test-debian-package.sh [DIR] [PACKAGE.deb]   (DIR: build-debian12)
#        REUSE=1 skips the fresh copy and plays the system of the last run,
#        with the package installed again (quicker, for working on the checks).
set -uo pipefail
REPO=$(cd "$(dirname "$0")/.." && pwd)
DIR=$(realpath -m "${1:-$REPO/build-debian12}")
DEB=${2:-}
ROOT="$DIR/root"
APP_ID=io.github.lumeko.Trainer
DATA=/usr/share/lumeko-trainer
. "$REPO/tools/checks.sh"
in_root() { chroot "$ROOT" env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin HOME=/root LANG=C.UTF-8 "$@"; }

# Lintian warnings that need no fix, each with its reason (none today).
declare -A ALLOWED_WARNINGS=()

[ "$(id -u)" -eq 0 ] || die "run as root (debootstrap and chroot need it)"
"$REPO/tools/install-deps.sh" --package || die "could not install what the test needs"

# ---- the package ---------------------------------------------------------------------
if [ -z "$DEB" ]; then
    step "building the package"
    cmake -S "$REPO" -B "$REPO/build-deb" -G Ninja -DCMAKE_BUILD_TYPE=Release -DLUMEKO_TESTS=OFF \
        -DLUMEKO_BENCH=OFF >/dev/null || die "configure"
    cmake --build "$REPO/build-deb" -j 2 --target lumeko-trainer lumeko-docs >/dev/null || die "build"
    (cd "$REPO/build-deb" && rm -f ./*.deb && cpack -G DEB >/dev/null) || die "cpack"
    DEB=$(ls "$REPO"/build-deb/lumeko-trainer_*.deb)
fi
DEB=$(realpath "$DEB")
echo "package: $DEB"
dpkg-deb -f "$DEB" Package Version Section Maintainer Depends

# ---- lintian ---------------------------------------------------------------------------
step "lintian --pedantic"
# As a plain user, on a copy it can read: lintian advises against unpacking
# packages as root. It exits 0 when clean, 2 when it reports an error.
lintian_log="$DIR/lintian.txt"
lintian_dir=$(mktemp -d)
mkdir -p "$DIR"
cp "$DEB" "$lintian_dir/" && chmod -R a+rX "$lintian_dir"
setpriv --reuid=nobody --regid=nogroup --clear-groups env -i PATH=/usr/bin:/bin LANG=C.UTF-8 TMPDIR=/tmp HOME=/tmp \
    lintian --pedantic --display-info --display-experimental "$lintian_dir/$(basename "$DEB")" >"$lintian_log" 2>&1
lintian_status=$?
rm -rf "$lintian_dir"
cat "$lintian_log"
errors=$(grep -c '^E: ' "$lintian_log")
unexplained=0
while read -r tag; do
    if [ -n "${ALLOWED_WARNINGS[$tag]:-}" ]; then
        echo "allowed warning $tag: ${ALLOWED_WARNINGS[$tag]}"
    else
        unexplained=$((unexplained + 1))
    fi
done < <(sed -n 's/^W: [^:]*: \([^ ]*\).*/\1/p' "$lintian_log")
echo "lintian: $errors errors, $unexplained warnings not allowed, $(grep -c '^[IPX]: ' "$lintian_log") info, pedantic and experimental notes"
check "lintian ran to its end" test "$lintian_status" -eq 0 -o "$lintian_status" -eq 2
check "lintian reports no error" test "$errors" -eq 0
check "lintian reports no warning but those allowed" test "$unexplained" -eq 0

# ---- a fresh Debian 12 -------------------------------------------------------------------
cleanup() {
    [ -n "${APP_PID:-}" ] && kill "$APP_PID" 2>/dev/null
    [ -n "${XVFB_PID:-}" ] && kill "$XVFB_PID" 2>/dev/null
    wait 2>/dev/null
    for m in tmp/.X11-unix dev/pts dev proc; do
        mountpoint -q "$ROOT/$m" && umount -l "$ROOT/$m"
    done
}
trap cleanup EXIT

if [ ! -e "$DIR/pristine/etc/debian_version" ]; then
    step "debootstrap --variant=minbase bookworm (once)"
    rm -rf "$DIR/pristine.part"
    mkdir -p "$DIR"
    debootstrap --variant=minbase bookworm "$DIR/pristine.part" http://deb.debian.org/debian >"$DIR/debootstrap.log" 2>&1 ||
        die "debootstrap failed; see $DIR/debootstrap.log"
    mv "$DIR/pristine.part" "$DIR/pristine"
fi
for m in tmp/.X11-unix dev/pts dev proc; do mountpoint -q "$ROOT/$m" && umount -l "$ROOT/$m"; done
if [ "${REUSE:-}" = 1 ] && [ -e "$ROOT/etc/debian_version" ]; then
    step "the system of the last run (REUSE=1)"
else
    step "a fresh copy of the untouched system"
    rm -rf "$ROOT"
    cp -a "$DIR/pristine" "$ROOT"
fi
mount -t proc proc "$ROOT/proc"
mount --bind /dev "$ROOT/dev"
mount --bind /dev/pts "$ROOT/dev/pts"
cp /etc/resolv.conf "$ROOT/etc/resolv.conf"
echo "Debian $(cat "$ROOT/etc/debian_version"), $(in_root dpkg-query -W -f='${binary:Package}\n' | wc -l) packages"

# ---- installing ----------------------------------------------------------------------------
step "apt-get install ./$(basename "$DEB")"
cp "$DEB" "$ROOT/tmp/"
in_root apt-get update -qq || die "apt-get update in the new system"
start=$(date +%s)
in_root sh -c "cd /tmp && DEBIAN_FRONTEND=noninteractive apt-get install -y -q ${REUSE:+--reinstall} ./$(basename "$DEB")" >"$DIR/apt.log" 2>&1 ||
    { tail -20 "$DIR/apt.log"; die "apt-get install"; }
grep -E '^[0-9]+ upgraded' "$DIR/apt.log"
echo "installed in $(($(date +%s) - start)) s"

step "what the package put in place"
check "lumeko-trainer is on the PATH" in_root sh -c 'command -v lumeko-trainer'
check "the package is installed" in_root dpkg -s lumeko-trainer
check "the desktop entry is in the application list" test -f "$ROOT/usr/share/applications/$APP_ID.desktop"
check "the desktop entry starts lumeko-trainer" grep -qx 'Exec=lumeko-trainer' "$ROOT/usr/share/applications/$APP_ID.desktop"
check "the desktop entry has a Japanese name" grep -q '^Name\[ja\]=' "$ROOT/usr/share/applications/$APP_ID.desktop"
check "the icon is in the hicolor theme (SVG and 48x48)" test -f "$ROOT/usr/share/icons/hicolor/scalable/apps/lumeko-trainer.svg" -a \
    -f "$ROOT/usr/share/icons/hicolor/48x48/apps/lumeko-trainer.png"
check "the AppStream data is in place" test -f "$ROOT/usr/share/metainfo/$APP_ID.metainfo.xml"
check "the Japanese font came with it" in_root sh -c 'fc-match "IPAGothic:lang=ja" | grep -q IPA'
check "zenity and xdg-open came with it" in_root sh -c 'command -v zenity && command -v xdg-open'
check "the manual pages are in place (English and Japanese)" test -f "$ROOT/usr/share/man/man6/lumeko-trainer.6.gz" -a \
    -f "$ROOT/usr/share/man/ja/man6/lumeko-trainer.6.gz"
check "the copyright file names the MIT (Expat) licence" grep -q '^License: Expat' "$ROOT/usr/share/doc/lumeko-trainer/copyright"
check "the changelog is in place" test -f "$ROOT/usr/share/doc/lumeko-trainer/changelog.gz"
echo "data: $(cd "$ROOT$DATA" && find . -type f | sort | tr '\n' ' ')"

# ---- playing it from /tmp ----------------------------------------------------------------
step "the installed program, started from /tmp under Xvfb"
. "$REPO/tools/start_xvfb.sh"
start_xvfb 1280 800 "$DIR/xvfb.log"
mkdir -p "$ROOT/tmp/.X11-unix"
mount --bind /tmp/.X11-unix "$ROOT/tmp/.X11-unix"
# The opener records the page instead of starting a browser.
printf '#!/bin/sh\nprintf "%%s" "$1" >/tmp/opened\n' >"$ROOT/tmp/opener.sh"
chmod +x "$ROOT/tmp/opener.sh"
rm -f "$ROOT/tmp/audio.raw" "$ROOT/tmp/opened"
# Not through in_root: the program must keep the process id $! gives.
chroot "$ROOT" env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin HOME=/root LANG=C.UTF-8 DISPLAY="$DISPLAY" XDG_CONFIG_HOME=/tmp/config SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE=/tmp/audio.raw \
    LUMEKO_OPENER=/tmp/opener.sh sh -c 'cd /tmp && exec lumeko-trainer' 2>"$DIR/stderr.txt" &
APP_PID=$!
WIN=$(timeout 60 xdotool search --sync --onlyvisible --pid "$APP_PID" 2>/dev/null | head -n 1)
[ -n "$WIN" ] || die "no window appeared; stderr: $(cat "$DIR/stderr.txt")"
xdotool windowfocus --sync "$WIN"
sleep 1
import -window root "$DIR/start.png"
# How tall a message box in the middle of the screen is (its face is f2f2f2).
# The lesson's introduction makes a box of many lines; a box saying a file
# is missing has three, as the plain start message does.
box_height() {
    convert "$1" -crop 1x800+640+0 +repage -fill black +opaque "#f2f2f2" -fill white -opaque "#f2f2f2" \
        -format "%[fx:round(mean*h)]" info:
}
start_box=$(box_height "$DIR/start.png")
echo "start message box: $start_box pixels tall"
xdotool key Return # the start message
title=""
for _ in $(seq 1 80); do
    xdotool type --delay 1 "ABCDEFGHIJKLMNOPQRSTUVWXY"
    sleep 0.05
    title=$(xdotool getwindowname "$WIN")
    [[ "$title" =~ ^ルメコトレーナー　([1-9][0-9]*)タイプ目$ ]] && [ "${BASH_REMATCH[1]}" -ge 10 ] && break
done
echo "window title: $title"
import -window root "$DIR/played.png"
echo "screenshot: $DIR/played.png"
check "keys were accepted (title counts them)" test "$title" != "" -a "$title" != "ルメコトレーナー　0タイプ目"
check "the sound was found: no 'not found' message" sh -c "! grep -q 'not found' '$DIR/stderr.txt'"
check "the sound was found: the key click reached the audio device" \
    sh -c "od -An -tx1 -v '$ROOT/tmp/audio.raw' | tr -d ' \n0' | grep -q ."

# The help page and the default lesson are reached through the menus, with
# the keyboard: F10 selects the first menu, Left wraps to the last (help).
xdotool key F10 Left Return Return
for _ in $(seq 1 100); do [ -s "$ROOT/tmp/opened" ] && break; sleep 0.05; done
echo "help page opened: $(cat "$ROOT/tmp/opened" 2>/dev/null)"
check "the help page was found in $DATA" test "$(cat "$ROOT/tmp/opened" 2>/dev/null)" = "$DATA/最初にお読みください.html"

# File > lesson file: the chooser proposes the default lesson; taking it,
# the start message then carries the lesson's introduction.
xdotool key F10 Return Down Down Return
CHOOSER=$(timeout 20 xdotool search --sync --onlyvisible --class zenity 2>/dev/null | head -n 1)
proposed=""
if [ -n "$CHOOSER" ]; then
    zpid=$(xdotool getwindowpid "$CHOOSER" 2>/dev/null)
    proposed=$(tr '\0' '\n' <"/proc/$zpid/cmdline" 2>/dev/null | sed -n 's/^--filename=//p')
fi
echo "lesson chooser proposes: $proposed"
check "the chooser proposes the default lesson in $DATA/lessons" test "$proposed" = "$DATA/lessons/基本指練習.txt"
# The chooser takes a file as a typed path: its location field, the path, Return.
if [ -n "$CHOOSER" ]; then
    xdotool windowfocus --sync "$CHOOSER"
    sleep 0.5
    xdotool key ctrl+l
    sleep 0.3
    xdotool type --delay 30 "$proposed" # slowly: xdotool drops kanji typed fast
    sleep 0.2
    xdotool key Return
fi
for _ in $(seq 1 100); do [ -z "$(xdotool search --onlyvisible --class zenity 2>/dev/null)" ] && break; sleep 0.1; done
sleep 1
import -window root "$DIR/lesson.png"
echo "screenshot: $DIR/lesson.png"
lesson_box=$(box_height "$DIR/lesson.png")
echo "start message box with the lesson: $lesson_box pixels tall"
check "the chooser closed" test -z "$(xdotool search --onlyvisible --class zenity 2>/dev/null)"
check "the lesson's introduction is in the start message (a box half as tall again)" \
    test "$((2 * lesson_box))" -gt "$((3 * start_box))"
check "the program is still running" kill -0 "$APP_PID"
[ -s "$DIR/stderr.txt" ] && echo "stderr: $(cat "$DIR/stderr.txt")"

finish "Debian package test"
