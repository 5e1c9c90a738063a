#!/usr/bin/env bash
# Plays the game in a real window under Xvfb: closes the start message with
# Return, types until a line of 30 letters is complete, and checks the title,
# the result box and the key click on screenshots and on the sound output.
# Usage: game_e2e.sh <lumeko-trainer>     (KEEP_SHOTS=dir keeps the screenshots)
set -u
EXE=$(readlink -f "$1")
. "$(dirname "$0")/xvfb_session.sh"
start_x

export XDG_CONFIG_HOME="$WORK/config"   # no settings file: the defaults
export SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE="$WORK/audio.raw"
launch
sleep 0.3
shot start
# The start message box sits in the middle of the screen; the keyboard below.
# The menu bar and the progress bar take the top 43 rows.
[ "$(pixel start 640 360)" = "f2f2f2" ] || fail "no start message box in the middle of the screen"
[ "$(count_colour start 0 520 1280 280 ffffff)" -gt 1000 ] || fail "no keyboard frames at the bottom"

xdotool key Return
TITLE0="ルメコトレーナー　0タイプ目"
wait_for_title "$WIN" "$TITLE0"
sleep 0.2
shot line
[ "$(pixel line 640 360)" != "f2f2f2" ] || fail "the start box is still up after Return"
[ "$(count_colour line 0 50 1280 460 00ff00)" -gt 50 ] || fail "no green character to type"

# Every pass over A..Y accepts at least the letter expected next.
done_line=""
for pass in $(seq 1 80); do
    xdotool type --delay 1 "ABCDEFGHIJKLMNOPQRSTUVWXY"
    sleep 0.05
    if [ "$(xdotool getwindowname "$WIN")" = "ルメコトレーナー　30タイプ目" ]; then
        done_line=yes
        break
    fi
done
[ -n "$done_line" ] || fail "the line was not completed; title '$(xdotool getwindowname "$WIN")'"
sleep 0.3
shot result
[ "$(pixel result 640 360)" = "f2f2f2" ] || fail "no result box after the 30th letter"
[ "$(count_colour result 0 50 1280 460 00ff00)" -eq 0 ] || fail "practice characters left on screen behind the result"

# Letters typed after the 30th waited in the queue and are judged against the
# next line once the box is closed, so its count may already be above 0.
xdotool key Return
for _ in $(seq 1 100); do
    title=$(xdotool getwindowname "$WIN")
    [ "$title" != "ルメコトレーナー　30タイプ目" ] && break
    sleep 0.05
done
[[ "$title" =~ ^ルメコトレーナー　[0-9]タイプ目$ ]] || fail "after the result box the title is '$title'"
sleep 0.2
shot next
[ "$(count_colour next 0 50 1280 460 00ff00)" -gt 50 ] || fail "the next line did not start"

# Every accepted letter started the click: the disk audio driver wrote it.
[ -s "$WORK/audio.raw" ] && [ "$(od -An -tx1 -v "$WORK/audio.raw" | tr -d ' \n0' | head -c 1)" ] \
    || fail "no key click reached the audio device"
kill -0 "$APP_PID" 2>/dev/null || fail "the game exited"
echo "game e2e: passed ($pass passes of A..Y)"
