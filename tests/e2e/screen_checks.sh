# screen_checks.sh -- screenshots and what the real-window tests read from
# them, on a screen of SCREEN_W x SCREEN_H (1280 x 800 unless a test asks for
# another). Sourced, not run; SHOTS is the folder the screenshots go to.

fail() { # with the end of what the game wrote to stderr, if anything
    echo "FAIL: $*" >&2
    [ -s "$SHOTS/stderr.txt" ] && tail -n 20 "$SHOTS/stderr.txt" >&2
    exit 1
}

# The window of the process $APP_PID, once it is mapped. Asked again and
# again rather than with --sync: a window that goes away while xdotool walks
# the tree makes it give up at once.
find_window() {
    local w
    for _ in $(seq 1 100); do
        w=$(xdotool search --onlyvisible --pid "$APP_PID" 2>/dev/null | head -n 1)
        [ -n "$w" ] && { echo "$w"; return 0; }
        sleep 0.1
    done
}

shot() { import -window root "$SHOTS/$1.png"; }

# The colour of one pixel of a screenshot, as rrggbb.
pixel() {
    convert "$SHOTS/$1.png" -format "%[hex:p{$2,$3}]" info: | cut -c1-6 | tr 'A-F' 'a-f'
}

# How many pixels of one colour a region of a screenshot holds.
count_colour() { # shot x y w h rrggbb
    convert "$SHOTS/$1.png" -crop "$4x$5+$2+$3" +repage -fill black +opaque "#$6" -fill white -opaque "#$6" \
        -format "%[fx:round(mean*w*h)]" info:
}

# Waits (up to about 6 s) until a region of the screen holds more than n pixels of a colour.
wait_colour() { # name x y w h colour n
    local i
    for i in $(seq 1 60); do
        shot "$1"
        [ "$(count_colour "$1" "$2" "$3" "$4" "$5" "$6")" -gt "$7" ] && return 0
        sleep 0.1
    done
    return 1
}

# A message box: its grey face in the middle of the screen, a little below
# the centre (at 1280 x 800, 640 412).
BOX=f2f2f2
BOX_X=$((${SCREEN_W:-1280} / 2))
BOX_Y=$((${SCREEN_H:-800} / 2 + 12))
wait_box() { # name: waits until a message box is up, in the shot of that name
    for _ in $(seq 1 100); do
        shot "$1"
        [ "$(pixel "$1" "$BOX_X" "$BOX_Y")" = "$BOX" ] && return 0
        sleep 0.1
    done
    fail "no message box ($1)"
}
close_box() { # closes the box with Return and waits until it is gone
    xdotool key Return
    for _ in $(seq 1 100); do
        shot gone
        [ "$(pixel gone "$BOX_X" "$BOX_Y")" != "$BOX" ] && return 0
        sleep 0.05
    done
    fail "the message box did not close"
}
