#!/usr/bin/env bash
# Runs the drawing demo in a real window under Xvfb and checks its screenshot
# where the demo draws: the framed box, the lines (end points left out) and
# the Japanese text row.   Usage: demo_e2e.sh <draw-demo>
set -u
EXE=$(readlink -f "$1")
. "$(dirname "$0")/xvfb_session.sh"
start_x
"$EXE" 5 2>"$WORK/stderr.txt" &
APP_PID=$!
WIN=$(find_window)
[ -n "$WIN" ] || fail "no window appeared"
sleep 0.3
shot demo
[ "$(pixel demo 20 20)" = "ffffff" ] || fail "box frame not white at (20,20)"
[ "$(pixel demo 219 119)" = "ffffff" ] || fail "box frame not white at its last pixel (219,119)"
[ "$(pixel demo 220 120)" = "000000" ] || fail "the box painted its exclusive corner (220,120)"
[ "$(pixel demo 100 60)" = "0000ff" ] || fail "box face not blue"
[ "$(pixel demo 260 60)" = "00ff00" ] || fail "vertical line missing at x=260"
[ "$(pixel demo 260 120)" = "000000" ] || fail "a line painted its end point (260,120)"
# The text row: green glyph pixels inside the cells, none below them.
[ "$(count_colour demo 20 140 640 40 00ff00)" -gt 2000 ] || fail "too little text in the text row"
[ "$(count_colour demo 20 181 640 15 00ff00)" -eq 0 ] || fail "text drawn below its cells"
echo "demo e2e: passed"
