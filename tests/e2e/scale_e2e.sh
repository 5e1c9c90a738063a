#!/usr/bin/env bash
# The desktop's scale in a real window: a 3840 x 2160 screen whose X resources
# say "Xft.dpi: 192" (a 200 % desktop, set with xrdb). The menu bar is twice
# as tall; the start box is closed with a click on its doubled OK button, near
# a corner that a 1x button would not reach; "モード" is opened with the mouse
# at its place on the doubled bar and "中上者　モード" chosen at its doubled
# place (the keyboard goes, and a new start box is closed the same way). Started
# again after the setting changed to 144 dpi, the bar is 1.5 times as tall.
# Usage: scale_e2e.sh <lumeko-trainer>   (KEEP_SHOTS=dir keeps screenshots)
set -u
EXE=$(readlink -f "$1")
SCREEN_W=3840
SCREEN_H=2160
. "$(dirname "$0")/xvfb_session.sh"
command -v xrdb >/dev/null || { echo "missing xrdb: run tools/install-deps.sh --test" >&2; exit 1; }
start_x

export XDG_CONFIG_HOME="$WORK/config"
export SDL_AUDIODRIVER=dummy
set_dpi() { echo "Xft.dpi: $1" | xrdb -nocpp -merge; }
click() { xdotool mousemove "$1" "$2" click 1; sleep 0.3; }
BUTTON=2f5fb0 HILITE=3060c0 BAR_FACE=f0f0f0 BAR_LINE=c0c0c0

# The bar's height, read down a column right of its entries: face, then its line.
bar_height() { # shot
    echo $(($(count_colour "$1" 3000 0 1 120 "$BAR_FACE") + $(count_colour "$1" 3000 0 1 120 "$BAR_LINE")))
}

# Closes the box that is up with a click on its OK button, 4 pixels inside the
# button's top-left corner, after checking the button is 192 x 64 (96 x 32 at 1x).
click_ok() { # name
    wait_box "$1"
    local found
    found=$(convert "$SHOTS/$1.png" -crop 1600x900+1120+640 +repage -fill black +opaque "#$BUTTON" -format "%@" info:)
    [[ $found =~ ^192x64\+([0-9]+)\+([0-9]+)$ ]] || fail "OK button of $1: $found, not 192x64"
    click $((1120 + BASH_REMATCH[1] + 4)) $((640 + BASH_REMATCH[2] + 4))
    for _ in $(seq 1 50); do
        shot "$1-closed"
        [ "$(pixel "$1-closed" "$BOX_X" "$BOX_Y")" != "$BOX" ] && return 0
        sleep 0.1
    done
    fail "a click on the OK button did not close the box ($1)"
}

set_dpi 192
launch
click_ok start
[ "$(bar_height start-closed)" -eq 48 ] || fail "the bar is $(bar_height start-closed) pixels high at 192 dpi, not 48"
[ "$(count_colour start-closed 0 1460 3840 700 ffffff)" -gt 3000 ] || fail "no keyboard in Beginner 1"

# "モード" is the second entry: 20 pixels either side of 16-pixel cells.
click 236 24
wait_colour mode_open 160 0 160 48 "$HILITE" 4000 || fail "the mode entry is not lit across the doubled bar"
# Its third item, below a 4-pixel border, items 48 pixels high.
click 276 $((48 + 4 + 48 * 2 + 24))
click_ok advanced
[ "$(count_colour advanced-closed 0 1460 3840 700 ffffff)" -lt 100 ] || fail "the keyboard is still there"
kill "$APP_PID"
wait "$APP_PID" 2>/dev/null

set_dpi 144
launch
wait_box again
[ "$(bar_height again)" -eq 36 ] || fail "the bar is $(bar_height again) pixels high after 144 dpi, not 36"
echo "scale e2e: passed"
