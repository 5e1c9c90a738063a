# x_session.sh -- sourced by the real-window benchmarks: the set-up they share.
#
# x_session NAME: exits 77 (skipped) when Xvfb, xdotool or python3 is missing;
# makes WORK, a private folder (mode 755, so that AS_USER can read it) that is
# removed at exit, or copied to $KEEP first; sources start_xvfb. At exit the
# game (APP_PID) and the server (XVFB_PID) are stopped. stop_app stops the game
# before that, for scripts that launch it more than once.
APP_PID=""
XVFB_PID=""

stop_app() {
    if [ -n "$APP_PID" ]; then
        kill "$APP_PID" 2>/dev/null
        wait "$APP_PID" 2>/dev/null
    fi
    APP_PID=""
}

x_session_end() {
    stop_app
    [ -n "$XVFB_PID" ] && kill "$XVFB_PID" 2>/dev/null && wait "$XVFB_PID" 2>/dev/null
    if [ -n "${KEEP:-}" ]; then
        mkdir -p "$KEEP" && cp -r "$WORK"/. "$KEEP"/
    fi
    rm -rf "$WORK"
}

x_session() {
    local tool
    for tool in Xvfb xdotool python3; do
        command -v "$tool" >/dev/null || { echo "missing $tool" >&2; exit 77; }
    done
    WORK=$(mktemp -d "${TMPDIR:-/tmp}/lumeko-$1.XXXXXX")
    chmod 755 "$WORK"
    trap x_session_end EXIT
    . "$(dirname "${BASH_SOURCE[0]}")/../tools/start_xvfb.sh"
}
