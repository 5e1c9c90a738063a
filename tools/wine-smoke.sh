#!/usr/bin/env bash
# wine-smoke.sh -- plays the Windows build under wine on Xvfb.
#
# Builds the Windows zip (tools/build-windows.sh), unpacks it, and in a fresh
# wine prefix with a Japanese locale (code page 932):
#   1. starts the game with settings only in the Windows directory's file and
#      checks that they are read (intermediate mode: no keyboard drawn);
#   2. starts it again with a per-user file under %APPDATA% as well, checks
#      that this one wins (Beginner 1: the keyboard), types until a line is
#      complete, checks the result box, the next line and the line's row in
#      the records file under %APPDATA%, and keeps a screenshot of the line
#      being typed;
#   3. when the game has its menus, chooses a mode and checks that the setting
#      is written to the per-user file with the old file's keys carried over;
#   4. opens the default lesson through the open dialog and checks that its
#      introduction comes up;
#   5. chooses ヘルプ and checks that the help page reaches the desktop's
#      browser: the prefix knows .html as a Windows installation does, wine
#      hands such a page to xdg-open, and a recording xdg-open on the PATH
#      stands in for the browser;
#   6. starts it as a user whose profile folder the code page cannot name
#      (wine names the profile after $USER), asks 記録ファイルを開く for the
#      file that is not there yet, finishes a line and checks that its row is
#      in that profile's %APPDATA%.
# Installs wine and the Japanese locale when they are missing (about 1.4 GB);
# not part of CI. Needs root for that, Xvfb, xdotool and ImageMagick.
# Usage: tools/wine-smoke.sh      (screenshots are kept in build-windows/wine-smoke/)
set -uo pipefail
REPO=$(cd "$(dirname "$0")/.." && pwd)
SHOTS="$REPO/build-windows/wine-smoke"
. "$REPO/tools/checks.sh"

# ---- wine, the locale, the program ----------------------------------------------------
if ! command -v wine >/dev/null; then
    step "installing wine (about 1.4 GB)"
    apt-get update -qq && DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends wine wine64 >/dev/null ||
        die "could not install wine"
fi
if ! locale -a 2>/dev/null | grep -qix 'ja_JP.utf8'; then
    step "generating the ja_JP.UTF-8 locale"
    [ -e /usr/share/i18n/locales/ja_JP ] || DEBIAN_FRONTEND=noninteractive apt-get install -y -q locales >/dev/null
    localedef -i ja_JP -f UTF-8 ja_JP.UTF-8 || die "could not generate ja_JP.UTF-8"
fi
for tool in Xvfb xdotool convert; do command -v "$tool" >/dev/null || die "missing $tool"; done

step "building the Windows zip"
"$REPO/tools/build-windows.sh" | tail -n 1 || die "the Windows build failed"
ZIP=$(ls "$REPO"/build-windows/lumeko-trainer-*-win64.zip)

WORK=$(mktemp -d "${TMPDIR:-/tmp}/lumeko-wine.XXXXXX")
export WINEPREFIX="$WORK/prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" LANG=ja_JP.UTF-8 LC_ALL=ja_JP.UTF-8
cleanup() {
    wineserver -k 2>/dev/null
    [ -n "${XVFB_PID:-}" ] && kill "$XVFB_PID" 2>/dev/null
    wait 2>/dev/null
    rm -rf "$WORK"
}
trap cleanup EXIT
(cd "$WORK" && python3 -m zipfile -e "$ZIP" .) || die "could not unpack $ZIP"
GAME_DIR=$(ls -d "$WORK"/lumeko-trainer-*-win64)
echo "unpacked: $(cd "$GAME_DIR" && find . -type f | sort | tr '\n' ' ')"

# The desktop's browser: records the page it is given, as a file:// URL or a path.
mkdir -p "$WORK/bin"
printf '#!/bin/sh\nprintf "%%s" "$1" > "%s/opened.part" && mv "%s/opened.part" "%s/opened.txt"\n' \
    "$WORK" "$WORK" "$WORK" >"$WORK/bin/xdg-open"
chmod +x "$WORK/bin/xdg-open"
export PATH="$WORK/bin:$PATH"

. "$REPO/tools/start_xvfb.sh"
start_xvfb 1280 800 "$WORK/xvfb.log"
step "a fresh wine prefix"
wineboot -i >/dev/null 2>&1
wineserver -w
# Windows knows .html as an htmlfile; a prefix made without wine's browser
# engine does not, and would open no page at all.
wine reg add 'HKCR\.html' /ve /d htmlfile /f >/dev/null 2>&1
wineserver -w
APPDATA_WIN=$(wine cmd /c 'echo %APPDATA%' 2>/dev/null | tr -d '\r')
APPDATA_DIR=$(winepath -u "$APPDATA_WIN" 2>/dev/null)
WINDOWS_DIR="$WINEPREFIX/drive_c/windows"
echo "APPDATA: $APPDATA_WIN"
[ -d "$APPDATA_DIR" ] || die "no application-data folder in the prefix"
USER_INI="$APPDATA_DIR/LumekoTrainer/LumekoTrainer.ini"
check "the ANSI code page is 932" sh -c "wine reg query 'HKLM\\System\\CurrentControlSet\\Control\\Nls\\CodePage' /v ACP | grep -q 932"
check "the prefix knows .html as an htmlfile" sh -c "wine reg query 'HKCR\\.html' /ve | grep -q htmlfile"

rm -rf "$SHOTS"
mkdir -p "$SHOTS"
BOX=f5f5f5 # the face of wine's message boxes, below the text of a box in the middle of the screen
shot() { import -window root "$SHOTS/$1.png"; }
pixel() { convert "$SHOTS/$1.png" -format "%[hex:p{$2,$3}]" info: | cut -c1-6 | tr 'A-F' 'a-f'; }
count_colour() { # shot x y w h rrggbb
    convert "$SHOTS/$1.png" -crop "$4x$5+$2+$3" +repage -fill black +opaque "#$6" -fill white -opaque "#$6" \
        -format "%[fx:round(mean*w*h)]" info:
}

# Starts the game from its folder, as a double click does; sets WIN.
start_game() {
    (cd "$GAME_DIR" && exec wine lumeko-trainer.exe) >"$WORK/wine.log" 2>&1 &
    WIN=$(timeout 60 xdotool search --sync --onlyvisible --classname 'lumeko-trainer.exe' 2>/dev/null | head -n 1)
    [ -n "$WIN" ] || die "no window appeared under wine"
    # The first paint and the start message; wine under load takes its time.
    for _ in $(seq 1 40); do
        sleep 0.5
        shot "$1"
        [ "$(pixel "$1" 545 445)" = "$BOX" ] && break
    done
    sleep 0.5
    shot "$1"
}
stop_game() {
    wineserver -k 2>/dev/null
    wineserver -w 2>/dev/null
    sleep 0.5
}
title() { xdotool getwindowname "$WIN" 2>/dev/null; }
# Types A..Y over and over until the title counts the line's 30th letter;
# done_line says whether it did. Shoots typing.png on the way, once.
type_line() {
    done_line=""
    for pass in $(seq 1 120); do
        xdotool type --delay 5 "ABCDEFGHIJKLMNOPQRSTUVWXY"
        sleep 0.1
        [[ "$(title)" =~ ^ルメコトレーナー　([12][0-9]|[1-9])タイプ目$ ]] && [ ! -e "$SHOTS/typing.png" ] && shot typing
        if [ "$(title)" = "ルメコトレーナー　30タイプ目" ]; then
            done_line=yes
            break
        fi
    done
    echo "title after typing: $(title) ($pass passes of A..Y)"
}
keyboard_frames() { count_colour "$1" 0 520 1280 280 ffffff; }

# ---- 1. the Windows directory's file alone ------------------------------------------------
step "settings only in the Windows directory (typemode 3, sakiyomi 4)"
printf '[set]\r\ntypemode=3\r\nsakiyomi=4\r\n' >"$WINDOWS_DIR/LumekoTrainer.ini"
start_game old-file
check "the start message is up" test "$(pixel old-file 545 445)" = "$BOX"
echo "keyboard frame pixels: $(keyboard_frames old-file)"
check "the Windows directory's settings are read (no keyboard in intermediate mode)" test "$(keyboard_frames old-file)" -lt 200
check "no per-user file is made by starting" test ! -e "$USER_INI"
stop_game

# ---- 2. the per-user file wins; a whole line -----------------------------------------------
step "a per-user file as well (typemode 1): the keyboard, and a whole line"
mkdir -p "$(dirname "$USER_INI")"
printf '[set]\r\ntypemode=1\r\n' >"$USER_INI"
start_game start
check "the start message is up" test "$(pixel start 545 445)" = "$BOX"
echo "keyboard frame pixels: $(keyboard_frames start)"
check "the per-user settings win (the keyboard is drawn)" test "$(keyboard_frames start)" -gt 1000
xdotool key Return
# Wine under load may take a while to close the box and draw the line.
for _ in $(seq 1 20); do
    sleep 0.5
    shot line
    [ "$(pixel line 545 445)" != "$BOX" ] && [ "$(count_colour line 0 30 1280 480 00ff00)" -gt 50 ] && break
done
check "the start message closed with Return" test "$(pixel line 545 445)" != "$BOX"
check "a green character to type after the start message" test "$(count_colour line 0 30 1280 480 00ff00)" -gt 50
type_line
check "the line of 30 letters was completed (title counts 30)" test -n "$done_line"
sleep 1
shot result
check "a result box after the 30th letter" test "$(pixel result 545 445)" = "$BOX"
xdotool key Return
# Without a window manager wine leaves a closed box on screen for a while.
for _ in $(seq 1 20); do
    sleep 0.5
    shot next
    [ "$(pixel next 545 445)" != "$BOX" ] && [ "$(count_colour next 0 30 1280 480 00ff00)" -gt 50 ] && break
done
check "the result box closed with Return" test "$(pixel next 545 445)" != "$BOX"
check "the next line started" test "$(count_colour next 0 30 1280 480 00ff00)" -gt 50
RECORDS="$APPDATA_DIR/LumekoTrainer/records.csv"
echo "records file: $(head -c 3 "$RECORDS" 2>/dev/null | od -An -tx1 | tr -d ' ') then $(tail -n +1 "$RECORDS" 2>/dev/null | tr -d '\r' | tr '\n' '|')"
check "the finished line's row is in %APPDATA%\\LumekoTrainer\\records.csv, after its header" \
    sh -c "head -n 1 '$RECORDS' | grep -q '^.*finished_at,mode,game,source,text,' && [ \"\$(grep -c ',1,0,random,[A-Y]\\{30\\},30,' '$RECORDS')\" = 1 ]"

# ---- 3. a setting written by a menu command ----------------------------------------------
step "choosing a mode through the menu writes the per-user file"
rm -f "$USER_INI"
if grep -q 'CMD_ADVANCED' "$REPO"/src/shell/commands.cpp 2>/dev/null; then
    stop_game
    start_game restart
    xdotool key Return
    sleep 1
    # F10, Right to the mode menu, down to its second item (Beginner 2); one
    # key at a time, as wine's menu loop starts only after the key that opens it.
    for key in F10 Right Return Down Return; do
        xdotool key "$key"
        sleep 0.7
    done
    shot menu-command
    echo "per-user file after the command: $(tr -d '\r' <"$USER_INI" 2>/dev/null | tr '\n' ' ')"
    check "the per-user file was made" test -f "$USER_INI"
    check "it holds the new mode" grep -q '^typemode=2' "$USER_INI"
    check "the old file's other keys were carried over" grep -q '^sakiyomi=4' "$USER_INI"
else
    echo "skipped: the game has no menu commands yet"
fi

# ---- 4. the default lesson through the open dialog --------------------------------------
step "File > lesson file: the open dialog, and the default lesson it proposes"
if [ -d "$GAME_DIR/lessons" ]; then
    box_area() { count_colour "$1" 0 0 1280 800 "${BOX}"; }
    plain_box=$(box_area restart)
    shot before-lesson # the mode command restarted: its start message may be up
    [ "$(pixel before-lesson 545 445)" = "$BOX" ] && xdotool key Return && sleep 1
    for key in F10 Return Down Down Return; do
        xdotool key "$key"
        sleep 0.7
    done
    DIALOG=""
    for _ in $(seq 1 40); do
        DIALOG=$(xdotool search --onlyvisible --classname 'lumeko-trainer.exe' 2>/dev/null | grep -vx "$WIN" | head -n 1)
        [ -n "$DIALOG" ] && break
        sleep 0.5
    done
    check "the open dialog came up" test -n "$DIALOG"
    sleep 1
    shot open-dialog
    xdotool key Return
    # Taken, the proposed file closes the dialog; a name the dialog refuses
    # leaves it up under a box of its own.
    for _ in $(seq 1 20); do
        sleep 0.5
        xdotool search --onlyvisible --classname 'lumeko-trainer.exe' 2>/dev/null | grep -qx "$DIALOG" || break
    done
    sleep 1
    shot lesson
    dialog_up=0
    xdotool search --onlyvisible --classname 'lumeko-trainer.exe' 2>/dev/null | grep -qx "$DIALOG" && dialog_up=1
    echo "start message box: $plain_box pixels; after the dialog: $(box_area lesson) pixels; dialog still up: $dialog_up"
    check "the dialog took the proposed lesson and closed" test "$dialog_up" -eq 0
    # (an error box over a dialog left up is big too: only a closed dialog counts)
    check "the lesson's introduction is in the start message (a bigger box)" test "$dialog_up" -eq 0 -a "$(box_area lesson)" -gt "$plain_box"
else
    echo "skipped: the zip has no lessons yet"
fi

# ---- 5. the help page in the desktop's browser ------------------------------------------
step "ヘルプ: the help page reaches the desktop's browser"
shot before-help # the lesson's start message may be up
[ "$(pixel before-help 545 445)" = "$BOX" ] && xdotool key Return && sleep 1
# F10 selects the first menu; six times Right reach the last, ヘルプ (Left would
# go to the window's system menu first, as on Windows), then its one item.
for key in F10 Right Right Right Right Right Right Return Return; do
    xdotool key "$key"
    sleep 0.7
done
for _ in $(seq 1 40); do
    [ -s "$WORK/opened.txt" ] && break
    sleep 0.5
done
opened=$(cat "$WORK/opened.txt" 2>/dev/null)
echo "the browser was given: $opened"
# A file:// URL is percent-encoded UTF-8; the page's own path, decoded.
opened_path=$(python3 -c 'import sys, urllib.parse as u; a = sys.argv[1]; print(u.unquote(a[7:]) if a.startswith("file://") else a)' "$opened")
check "the browser was given the help page beside the program" test "$opened_path" = "$GAME_DIR/最初にお読みください.html"
check "the game is still running" sh -c "xdotool getwindowname $WIN"
stop_game

# ---- 6. a profile folder the code page cannot name ---------------------------------------
PROFILE_USER='김café'
step "a user profile named $PROFILE_USER: the line's row in its %APPDATA%"
WIDE_RECORDS="$WINEPREFIX/drive_c/users/$PROFILE_USER/AppData/Roaming/LumekoTrainer/records.csv"
USER=$PROFILE_USER start_game wide-profile
xdotool key Return
sleep 1
# 記録 (the sixth menu), its fourth item: before the first line there is no
# file, and the message names the place in full (see the screenshot).
for key in F10 Right Right Right Right Right Return Down Down Down Return; do
    xdotool key "$key"
    sleep 0.7
done
sleep 1
shot wide-profile-no-records
check "記録ファイルを開く says in a box that there are no records yet" test "$(pixel wide-profile-no-records 545 445)" = "$BOX"
xdotool key Return
sleep 1
type_line
check "a line was completed" test -n "$done_line"
sleep 1
shot wide-profile-result
echo "records file: $(tail -n +2 "$WIDE_RECORDS" 2>/dev/null | tr -d '\r' | cut -c1-80 | tr '\n' '|')"
check "its row is in C:\\users\\$PROFILE_USER\\AppData\\Roaming\\LumekoTrainer\\records.csv" \
    sh -c "[ \"\$(grep -c ',0,random,[A-Y]\\{30\\},30,' '$WIDE_RECORDS')\" = 1 ]"
# The settings calls cannot name that folder: a mode chosen is kept for the
# session, the user is told so, and nothing is written anywhere.
xdotool key Return
sleep 1
cp "$WINDOWS_DIR/LumekoTrainer.ini" "$WORK/windows-ini-before" 2>/dev/null
for key in F10 Right Return Down Return; do
    xdotool key "$key"
    sleep 0.7
done
shot wide-profile-settings
# That box is wider than the start message that follows it (x 526 to 754).
check "a mode chosen there says in a box that settings cannot be saved" \
    test "$(pixel wide-profile-settings 505 420)" = "$BOX"
check "the Windows directory's file is not written" cmp -s "$WINDOWS_DIR/LumekoTrainer.ini" "$WORK/windows-ini-before"
check "no settings file is made under any user" \
    sh -c "! find '$WINEPREFIX/drive_c/users/$PROFILE_USER' -name 'LumekoTrainer.ini*' | grep -q ."
stop_game

echo "screenshots: $SHOTS (typing.png: the line being typed)"
finish "wine smoke"
