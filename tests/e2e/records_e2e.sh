#!/usr/bin/env bash
# The records in a real window under Xvfb: chooses lines of 10 letters, types
# three lines, finds their three rows in the records file, opens 成績グラフ
# with the mouse and キー別の速さ with the keyboard and checks both on
# screenshots, leaves each (Esc, a click) for the practice, starts the
# weak-key practice, and opens the records file with xdg-open replaced on PATH
# by a script that records its argument.
# Usage: records_e2e.sh <lumeko-trainer>     (KEEP_SHOTS=dir keeps the screenshots)
set -u
EXE=$(readlink -f "$1")
. "$(dirname "$0")/xvfb_session.sh"
start_x

export XDG_CONFIG_HOME="$WORK/config" # no settings file: the defaults (Beginner 1)
export SDL_AUDIODRIVER=dummy
RECORDS="$XDG_DATA_HOME/lumeko-trainer/records.csv"
mkdir -p "$WORK/bin"
printf '#!/bin/sh\nprintf "%%s" "$1" > "%s/opened.part" && mv "%s/opened.part" "%s/opened.txt"\n' \
    "$WORK" "$WORK" "$WORK" >"$WORK/bin/xdg-open"
chmod +x "$WORK/bin/xdg-open"
export PATH="$WORK/bin:$PATH"
unset LUMEKO_OPENER

# The menu bar: 24 pixels high; 記録 is the sixth entry, its items 24 pixels
# high below a 2-pixel frame.
BAR_Y=12 RECORDS_X=366
item_y() { echo $((24 + 2 + 24 * $1 + 12)); }
click() { xdotool mousemove "$1" "$2" click 1; sleep 0.2; }
MODE1=00c8ff TODAY=00ff00 NO_DATA=303030
SPEED_COLOURS="009650 3caa00 96a000 c88200 d24600 c80028"

# A message box of any size: much of its grey face around the middle of the screen.
box_up() { [ "$(count_colour "$1" 540 330 200 140 "$BOX")" -gt 8000 ]; }
wait_any_box() {
    for _ in $(seq 1 100); do
        shot "$1"
        box_up "$1" && return 0
        sleep 0.1
    done
    fail "no message box ($1)"
}
close_any_box() {
    xdotool key Return
    for _ in $(seq 1 100); do
        shot gone
        box_up gone || return 0
        sleep 0.05
    done
    fail "the message box did not close"
}
rows() { grep -c '^[0-9]\{4\}-' "$RECORDS" 2>/dev/null || echo 0; }
title() { xdotool getwindowname "$WIN"; }

launch
wait_any_box start
close_any_box
# ファイル → 初期設定から → １０文字, by keys; its start message.
xdotool key F10 Down Down Right Return
wait_any_box ten
close_any_box

for line in 1 2 3; do
    done_line=""
    for pass in $(seq 1 60); do
        xdotool type --delay 1 "ABCDEFGHIJKLMNOPQRSTUVWXY"
        sleep 0.05
        if [ "$(title)" = "ルメコトレーナー　10タイプ目" ]; then
            done_line=yes
            break
        fi
    done
    [ -n "$done_line" ] || fail "line $line was not completed; title '$(title)'"
    wait_any_box "result$line"
    close_any_box
    [ "$(rows)" -eq "$line" ] || fail "after line $line the records file holds $(rows) rows"
done
echo "records after three lines: $(rows) rows; the last: $(tail -n 1 "$RECORDS" | tr -d '\r')"
head -c 3 "$RECORDS" | od -An -tx1 | grep -q 'ef bb bf' || fail "the file does not begin with the UTF-8 byte order mark"
head -n 1 "$RECORDS" | grep -q 'finished_at,mode,game,source,text,chars,seconds,chars_per_second,misses,per_char' ||
    fail "no header row"
# Letters typed after a line's last one wait for the next line; let them go.
sleep 0.5
shot practice

# 成績グラフ by the mouse: three points of Beginner 1, today's bar.
click $RECORDS_X $BAR_Y
click $((RECORDS_X + 20)) "$(item_y 0)"
wait_colour chart 0 24 1280 776 "$MODE1" 20 || fail "no Beginner 1 points on the chart"
[ "$(count_colour chart 0 400 1280 400 "$TODAY")" -gt 100 ] || fail "no bar for today on the chart"
[ "$(count_colour chart 0 24 1280 776 ffffff)" -gt 1000 ] || fail "no titles or labels on the chart"
xdotool key Escape
wait_colour back1 0 50 1280 480 00ff00 50 || fail "the practice did not come back after Esc"
[ "$(count_colour back1 0 24 1280 776 "$MODE1")" -eq 0 ] || fail "chart points left on the practice"

# キー別の速さ by the keyboard: F10, Left twice (past ヘルプ), Down, Down, Enter.
xdotool key F10 Left Left Down Down Return
wait_colour keys 0 520 1280 280 "$NO_DATA" 5000 || fail "no keys without records on the key screen"
measured=0
for c in $SPEED_COLOURS; do
    measured=$((measured + $(count_colour keys 0 520 1280 280 "$c")))
done
[ "$measured" -gt 3000 ] || fail "no key coloured by its speed ($measured pixels)"
click 640 300
wait_colour back2 0 50 1280 480 00ff00 50 || fail "the practice did not come back after a click"

# 苦手キー練習: its own start message, then a line.
click $RECORDS_X $BAR_Y
click $((RECORDS_X + 20)) "$(item_y 2)"
wait_any_box weak
close_any_box
wait_colour weakline 0 50 1280 480 00ff00 50 || fail "no weak-key line after its start message"

# 記録ファイルを開く: the file goes to the desktop's opener.
click $RECORDS_X $BAR_Y
click $((RECORDS_X + 20)) "$(item_y 3)"
for _ in $(seq 1 100); do
    [ -s "$WORK/opened.txt" ] && break
    sleep 0.05
done
[ "$(cat "$WORK/opened.txt" 2>/dev/null)" = "$RECORDS" ] || fail "the opener got '$(cat "$WORK/opened.txt" 2>/dev/null)'"
[ "$(rows)" -eq 3 ] || fail "the records file holds $(rows) rows at the end"
kill -0 "$APP_PID" 2>/dev/null || fail "the game exited"
echo "records e2e: passed ($measured pixels of speed colours on the keys)"
