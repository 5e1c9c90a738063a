#!/usr/bin/env bash
# The menu bar in a real window under Xvfb.
#   play: opens a menu with the mouse and one with the keyboard, chooses
#         "中上者　モード" (the keyboard goes) and "初心者１モード" (it comes back
#         with the next key lit), changes the size, quits through "終了" and
#         starts again: the new run has the chosen mode and size.
#   help: chooses "ヘルプ" with xdg-open replaced on PATH by a script that
#         records its argument, the game run from a copy in a folder named
#         "prod-café" (Shift-JIS has no "é"); the path must be the page
#         beside that copy, and exist.
# Usage: menus_e2e.sh <lumeko-trainer> play|help   (KEEP_SHOTS=dir keeps screenshots)
set -u
EXE=$(readlink -f "$1")
WHAT=$2
. "$(dirname "$0")/xvfb_session.sh"
start_x

export XDG_CONFIG_HOME="$WORK/config"
export SDL_AUDIODRIVER=dummy
unset LUMEKO_OPENER

# Where the menus are on the screen: the bar is 24 pixels high, its entries
# 10 pixels of margin either side of 8-pixel half-width cells; the items of a
# drop-down menu are 24 pixels high below a 2-pixel frame.
BAR_Y=12
FILE_X=40 MODE_X=118 SIZE_X=246 HELP_X=426
item_y() { echo $((24 + 2 + 24 * $1 + 12)); }
PINK=ff80ff HILITE=3060c0

start_game() {
    launch
    close_start_box
}
close_start_box() {
    wait_box box
    close_box
}

click() { xdotool mousemove "$1" "$2" click 1; sleep 0.2; }

keyboard_frames() { count_colour "$1" 0 540 1280 260 ffffff; }

if [ "$WHAT" = help ]; then
    mkdir -p "$WORK/bin"
    printf '#!/bin/sh\nprintf "%%s" "$1" > "%s/opened.part" && mv "%s/opened.part" "%s/opened.txt"\n' \
        "$WORK" "$WORK" "$WORK" >"$WORK/bin/xdg-open"
    chmod +x "$WORK/bin/xdg-open"
    export PATH="$WORK/bin:$PATH"
    COPY="$WORK/prod-café"
    mkdir -p "$COPY"
    cp -r "$EXE" "$(dirname "$EXE")/tap.wav" "$(dirname "$EXE")/最初にお読みください.html" \
        "$(dirname "$EXE")/lessons" "$COPY/"
    EXE="$COPY/$(basename "$EXE")"
    start_game
    click $HELP_X $BAR_Y
    wait_colour help_open $((HELP_X - 34)) 0 68 24 "$HILITE" 100 || fail "the help menu did not open"
    click $((HELP_X + 10)) "$(item_y 0)"
    for _ in $(seq 1 100); do
        [ -s "$WORK/opened.txt" ] && break
        sleep 0.05
    done
    opened=$(cat "$WORK/opened.txt" 2>/dev/null)
    [ "$opened" = "$(dirname "$EXE")/最初にお読みください.html" ] || fail "the opener got '$opened'"
    [ -f "$opened" ] || fail "the page $opened does not exist"
    kill -0 "$APP_PID" 2>/dev/null || fail "the game exited"
    echo "menus e2e (help): passed"
    exit 0
fi

start_game
shot first
[ "$(keyboard_frames first)" -gt 1000 ] || fail "no keyboard in Beginner 1 at the first start"
green_medium=$(count_colour first 0 50 1280 480 00ff00)

# The mouse: "モード", then "中上者　モード"; the keyboard goes.
click $MODE_X $BAR_Y
wait_colour dropdown 84 0 68 24 "$HILITE" 100 || fail "the mode entry is not lit"
[ "$(count_colour dropdown 84 26 180 74 f8f8f8)" -gt 2000 ] || fail "the mode menu did not open"
click $((MODE_X + 20)) "$(item_y 2)"
close_start_box
shot advanced
[ "$(keyboard_frames advanced)" -lt 50 ] || fail "the keyboard is still there in the advanced mode"

# The keyboard: a sub-menu opened and closed again, then F10 Right Down Enter
# chooses "初心者１モード".
xdotool key F10 Down Down Right
wait_colour submenu 200 50 116 24 "$HILITE" 1000 || fail "the sub-menu's first item is not lit"
[ "$(count_colour submenu 150 40 200 110 f8f8f8)" -gt 2000 ] || fail "the line-length sub-menu did not open"
xdotool key Escape Escape Escape
sleep 0.3
xdotool key F10 Right Down Return
close_start_box
wait_colour beginner 0 540 1280 260 "$PINK" 100 || fail "no key lit pink after choosing Beginner 1"
[ "$(keyboard_frames beginner)" -gt 1000 ] || fail "the keyboard did not come back"

# The size: "文字", then "大".
click $SIZE_X $BAR_Y
click $((SIZE_X + 10)) "$(item_y 2)"
close_start_box

# "終了" ends the program; the settings stay.
click $FILE_X $BAR_Y
click $((FILE_X + 20)) "$(item_y 6)"
for _ in $(seq 1 100); do
    kill -0 "$APP_PID" 2>/dev/null || break
    sleep 0.05
done
kill -0 "$APP_PID" 2>/dev/null && fail "the game did not end after 終了"
wait "$APP_PID"
status=$?
[ "$status" -eq 1 ] || fail "exit status $status after 終了"
ini=$(cat "$XDG_CONFIG_HOME/LumekoTrainer.ini")
grep -q '^typemode=1' <<<"$ini" && grep -q '^sizeflag=3' <<<"$ini" || fail "settings written: $ini"

# The next run starts in Beginner 1 with large characters.
start_game
wait_colour again 0 540 1280 260 "$PINK" 100 || fail "no key lit pink after the restart"
green_large=$(count_colour again 0 50 1280 480 00ff00)
[ "$green_large" -gt $((green_medium * 2)) ] ||
    fail "the character is no larger after the restart ($green_medium then $green_large green pixels)"
echo "menus e2e (play): passed (green pixels $green_medium at size 2, $green_large at size 3)"
