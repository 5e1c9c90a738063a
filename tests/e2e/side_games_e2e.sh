#!/usr/bin/env bash
# The side games in a real window under Xvfb, worked with the mouse as a user
# would: the maze game from the "ゲーム" menu, the right button for the next
# maze, "元に戻す" back to the line in progress, then one round of each
# counting game. The letter to type in a counting game is found as a player
# who cannot count would find it: by typing the letters A to Y one at a time.
# A wrong letter changes nothing (checked on the screen); the right one grows
# the progress bar and brings a new scatter. The screenshots kept with
# KEEP_SHOTS show which letter that was and how often each letter is shown.
# Usage: side_games_e2e.sh <lumeko-trainer>     (KEEP_SHOTS=dir keeps the screenshots)
set -u
EXE=$(readlink -f "$1")
. "$(dirname "$0")/xvfb_session.sh"
start_x

export XDG_CONFIG_HOME="$WORK/config" # no settings file: the defaults
launch
sleep 0.3

# Menu places, window coordinates: the bar entry "ゲーム", its items, and the
# items of its sub-menu "迷路モード".
GAME_MENU="186 12"
COUNT_MOST="230 38"
COUNT_FEWEST="230 62"
MAZE_MENU="230 86"
MAZE_OFF="380 86"
MAZE_6="380 110"
CLIENT="0 24 1280 776"      # below the menu bar
BELOW_BAR="0 43 1280 757"   # below the progress bar too

click() { # x y [button]
    xdotool mousemove --window "$WIN" $1 $2 click "${3:-1}"
    sleep 0.25
}
menu() { # the places to click in turn: x1 y1 x2 y2 ...
    while [ $# -ge 2 ]; do
        click "$1" "$2"
        shift 2
    done
    sleep 0.3
}
title() { xdotool getwindowname "$WIN"; }
count_of() { # the number of keys in a title
    local t=${1#ルメコトレーナー　}
    echo "${t%タイプ目}"
}
# How many pixels differ between two screenshots in the client area.
differ() {
    compare -metric AE "$WORK/$1.png[1280x776+0+24]" "$WORK/$2.png[1280x776+0+24]" null: 2>&1 | cut -d' ' -f1
}
# The same below the progress bar (client_h / 40 = 19 pixels): a repaint
# draws the bar from the index of the next byte, the drill from the one just
# typed, so a repaint shows it one letter further.
differ_below_bar() {
    compare -metric AE "$WORK/$1.png[1280x757+0+43]" "$WORK/$2.png[1280x757+0+43]" null: 2>&1 | cut -d' ' -f1
}
# A message box: its grey face fills much of the middle of the screen.
box_up() { [ "$(count_colour "$1" 440 300 400 200 f2f2f2)" -gt 20000 ]; }

# The green part of the progress bar, in pixels: it grows with every
# accepted key. Reads one row of the screen, which is quicker than a shot.
bar_green() { import -window root -crop 1280x1+0+33 +repage -depth 8 txt:- | grep -ci '#00FF00'; }

# Types A, B, C ... one at a time until one is accepted (the progress bar
# grows; the title cannot tell, since the first key after a restart leaves it
# at 1) and prints that letter. The first wrong letter must leave the screen
# exactly as the shot given shows it.
type_until_accepted() { # shot-of-the-screen-before
    local before=$1 letter bar0 checked=""
    bar0=$(bar_green)
    for letter in A B C D E F G H I J K L M N O P Q R S T U V W X Y; do
        xdotool type --delay 1 "$letter"
        for _ in 1 2 3 4; do
            sleep 0.15
            [ "$(bar_green)" != "$bar0" ] && { echo "$letter"; return 0; }
        done
        if [ -z "$checked" ]; then
            shot wrong
            [ "$(differ "$before" wrong)" = "0" ] || fail "the wrong letter $letter changed the screen"
            checked=yes
        fi
    done
    fail "no letter A..Y was accepted"
}

# Types passes of A..Y until the title counts at least n keys, then waits
# until letters typed ahead are used up.
type_until_count() { # n
    local t
    for _ in $(seq 1 40); do
        xdotool type --delay 1 ABCDEFGHIJKLMNOPQRSTUVWXY
        sleep 0.1
        [ "$(count_of "$(title)")" -ge "$1" ] && break
    done
    t=$(title)
    for _ in $(seq 1 20); do
        sleep 0.3
        [ "$(title)" = "$t" ] && break
        t=$(title)
    done
    [ "$(count_of "$(title)")" -ge "$1" ] || fail "typing did not reach $1 keys; title '$(title)'"
}

# --- a line in progress --------------------------------------------------------
xdotool key Return # the start message
wait_for_title "$WIN" "ルメコトレーナー　0タイプ目"
type_until_count 3
sleep 0.3
TYPED=$(count_of "$(title)")
shot practice
[ "$(count_colour practice $CLIENT 00ff00)" -gt 50 ] || fail "no practice line on screen"

# --- the maze game -------------------------------------------------------------
menu $GAME_MENU $MAZE_MENU $MAZE_6
shot hint
box_up hint || fail "no hint box after choosing the 6 x 6 maze"
xdotool key Return
sleep 0.5
shot maze1
box_up maze1 && fail "the hint box stayed up"
[ "$(count_colour maze1 $CLIENT 00ff00)" -gt 2000 ] || fail "no green maze after the hint box"
[ "$(count_colour maze1 $CLIENT ffffff)" -eq 0 ] || fail "the keyboard is still shown under the maze"
click 640 400 3
sleep 0.3
shot maze2
[ "$(count_colour maze2 $CLIENT 00ff00)" -gt 2000 ] || fail "no maze after the right button"
[ "$(differ maze1 maze2)" -gt 0 ] || fail "the right button did not change the maze"
click 640 400 1 # the left button does nothing in the maze
shot maze3
[ "$(differ maze2 maze3)" = "0" ] || fail "the left button changed the maze"

menu $GAME_MENU $MAZE_MENU $MAZE_OFF
shot back
[ "$(count_of "$(title)")" = "$TYPED" ] || fail "back from the maze the title is '$(title)', not $TYPED keys"
[ "$(differ_below_bar practice back)" = "0" ] || fail "back from the maze the screen differs from the practice before it"
type_until_count $((TYPED + 1)) # the same line goes on: no start message, no new count

# --- one round of each counting game -------------------------------------------
play_round() { # menu-place name
    menu $GAME_MENU $1
    shot "$2-start"
    box_up "$2-start" || fail "$2: no start message"
    xdotool key Return
    sleep 0.5
    shot "$2"
    box_up "$2" && fail "$2: the start message stayed up"
    [ "$(count_colour "$2" $CLIENT 00ff00)" -gt 2000 ] || fail "$2: no letters scattered"
    [ "$(count_colour "$2" $BELOW_BAR ffffff)" -eq 0 ] || fail "$2: the keyboard is still shown"
    local letter
    letter=$(type_until_accepted "$2") || exit 1
    sleep 0.3
    shot "$2-next"
    [ "$(count_of "$(title)")" = 1 ] || fail "$2: one letter typed, the title is '$(title)'"
    [ "$(differ "$2" "$2-next")" -gt 0 ] || fail "$2: no new scatter after the right letter"
    echo "$2: the letter to type was $letter"
}
play_round "$COUNT_MOST" most
play_round "$COUNT_FEWEST" fewest

kill -0 "$APP_PID" 2>/dev/null || fail "the game exited"
echo "side games e2e: passed"
