# start_xvfb.sh -- sourced by the real-window tests and benchmarks.
#
# start_xvfb W H LOG: starts a private Xvfb of W x H on a free display, waits
# until it answers, and sets DISPLAY and XVFB_PID. Exits the caller when no
# server can be started.
start_xvfb() {
    local n num
    for n in $(seq 0 20); do
        num=$((120 + (RANDOM % 400)))
        [ -e "/tmp/.X11-unix/X$num" ] && continue
        Xvfb ":$num" -screen 0 "$1x$2x24" -nolisten tcp >"$3" 2>&1 &
        XVFB_PID=$!
        export DISPLAY=":$num"
        for _ in $(seq 1 100); do
            xdotool getdisplaygeometry >/dev/null 2>&1 && return 0
            kill -0 "$XVFB_PID" 2>/dev/null || break
            sleep 0.05
        done
    done
    echo "could not start Xvfb" >&2
    exit 1
}
