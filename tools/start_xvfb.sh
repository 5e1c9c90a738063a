# start_xvfb.sh -- sourced by the real-window tests and benchmarks.
#
# start_xvfb W H LOG: starts a private Xvfb of W x H, waits until it answers,
# and sets DISPLAY and XVFB_PID. The server picks the first free display
# itself (-displayfd) and holds its lock while it does, so tests started side
# by side never share or race for a display. -noreset: by default the server
# resets when its last client leaves (as the check below does), and a client
# connecting during the reset is refused. Exits the caller when no server can
# be started.
start_xvfb() {
    local numfile num=""
    numfile=$(mktemp "${TMPDIR:-/tmp}/xvfb-display.XXXXXX")
    Xvfb -displayfd 9 -screen 0 "$1x$2x24" -nolisten tcp -noreset 9>"$numfile" >"$3" 2>&1 &
    XVFB_PID=$!
    # The number is written once the server accepts connections.
    for _ in $(seq 1 200); do
        num=$(tr -dc '0-9' <"$numfile")
        [ -n "$num" ] && break
        kill -0 "$XVFB_PID" 2>/dev/null || break
        sleep 0.05
    done
    rm -f "$numfile"
    if [ -n "$num" ]; then
        export DISPLAY=":$num"
        xdotool getdisplaygeometry >/dev/null 2>&1 && return 0
    fi
    kill "$XVFB_PID" 2>/dev/null
    echo "could not start Xvfb (see $3)" >&2
    exit 1
}
