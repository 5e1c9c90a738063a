#!/usr/bin/env bash
# menu_realwindow.sh -- a menu opened and closed in the real window under Xvfb.
#
# Starts a private 1920x1080 X server and the given executable in typing mode
# 1, look-ahead 5, with the present trace on (LUMEKO_TRACE_PRESENT); closes the
# start box and runs CYCLES times F10, Down, Escape, Escape through XTEST
# (bench/menu_keys.py). Prints, for the key that opens the menu (Down) and the
# one that closes it (the first Escape): XTEST key sent -> end of the present
# that shows it (median and p90) and the pixels presented for it (median).
# QUICK=1 runs 2 cycles: what the test suite runs.
# Usage: bench/menu_realwindow.sh <lumeko-trainer>   (CYCLES, KEEP=dir)
# Needs Xvfb, xdotool and python3 with libX11/libXtst; exits 77 without them.
set -u
[ $# -ge 1 ] || { echo "usage: $0 <lumeko-trainer>" >&2; exit 2; }
EXE=$(readlink -f "$1")
HERE="$(cd "$(dirname "$0")" && pwd)"
[ -n "${QUICK:-}" ] && CYCLES=${CYCLES:-2}
CYCLES=${CYCLES:-40}
. "$HERE/x_session.sh"
x_session menu-bench
start_xvfb 1920 1080 "$WORK/xvfb.log"
echo "# load average at start: $(cut -d" " -f1-3 /proc/loadavg)"

mkdir -p "$WORK/config"
printf '[set]\r\ntypemode=1\r\nsakiyomi=5\r\n' >"$WORK/config/LumekoTrainer.ini"
TRACE="$WORK/trace.txt"
(cd "$(dirname "$EXE")" && XDG_CONFIG_HOME="$WORK/config" XDG_DATA_HOME="$WORK/data" LUMEKO_TRACE_PRESENT="$TRACE" SDL_AUDIODRIVER=dummy \
    exec "$EXE") 2>"$WORK/stderr.txt" &
APP_PID=$!
WIN=$(timeout 10 xdotool search --sync --onlyvisible --pid "$APP_PID" 2>/dev/null | head -n 1)
[ -n "$WIN" ] || { echo "no window" >&2; exit 1; }
sleep 1
xdotool windowfocus --sync "$WIN"
xdotool key Return # the start box
sleep 1
python3 "$HERE/menu_keys.py" "$TRACE" "$CYCLES" "$WORK/menu.txt" || exit 1
kill -0 "$APP_PID" 2>/dev/null || { echo "the game exited" >&2; exit 1; }

# The Down of each cycle opens; the first Escape after it closes.
awk '$2 == "Down" {print $3, $4}' "$WORK/menu.txt" >"$WORK/open.txt"
awk '$2 == "Escape" && !seen[$1]++ {print $3, $4}' "$WORK/menu.txt" >"$WORK/close.txt"
for what in open close; do
    read -r t_med t_p90 n < <(python3 "$HERE/realwindow_helper.py" stats "$WORK/$what.txt" 0 1000)
    read -r px_med _ _ < <(python3 "$HERE/realwindow_helper.py" stats "$WORK/$what.txt" 1)
    echo "menu $what: key -> present median $t_med ms (p90 $t_p90, $n keys); $px_med px presented"
done
echo "# load average at end: $(cut -d" " -f1-3 /proc/loadavg)"
