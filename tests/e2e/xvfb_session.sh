# xvfb_session.sh -- shared by the real-window tests: a private X server,
# waiting helpers and pixel reads. Sourced, not run.

for tool in Xvfb xdotool convert; do
    command -v "$tool" >/dev/null || { echo "missing $tool: run the README's test command, which installs it" >&2; exit 1; }
done

SCREEN_W=${SCREEN_W:-1280} # a test may ask for another screen before sourcing this
SCREEN_H=${SCREEN_H:-800}
WORK=$(mktemp -d "${TMPDIR:-/tmp}/lumeko-e2e.XXXXXX")
export XDG_DATA_HOME="$WORK/data" # the records the lines played here write

. "$(dirname "${BASH_SOURCE[0]}")/../../tools/start_xvfb.sh"
start_x() { start_xvfb "$SCREEN_W" "$SCREEN_H" "$WORK/xvfb.log"; }

stop_all() {
    [ -n "${APP_PID:-}" ] && kill "$APP_PID" 2>/dev/null
    [ -n "${XVFB_PID:-}" ] && kill "$XVFB_PID" 2>/dev/null
    wait 2>/dev/null
    if [ -n "${KEEP_SHOTS:-}" ]; then
        mkdir -p "$KEEP_SHOTS" && cp "$WORK"/*.png "$KEEP_SHOTS"/ 2>/dev/null
    fi
    rm -rf "$WORK"
}
trap stop_all EXIT

SHOTS=$WORK
. "$(dirname "${BASH_SOURCE[0]}")/screen_checks.sh"

wait_for_title() { # window expected-title
    local t
    for _ in $(seq 1 100); do
        t=$(xdotool getwindowname "$1" 2>/dev/null)
        [ "$t" = "$2" ] && return 0
        sleep 0.05
    done
    fail "title is '$t', expected '$2'"
}

# Starts the game from its own folder and waits for its window: sets APP_PID and WIN.
launch() {
    (cd "$(dirname "$EXE")" && exec "$EXE") 2>>"$WORK/stderr.txt" &
    APP_PID=$!
    WIN=$(find_window)
    [ -n "$WIN" ] || fail "no window appeared"
    xdotool windowfocus --sync "$WIN"
}

