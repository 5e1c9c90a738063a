#!/usr/bin/env bash
# first_frames.sh -- the start screen of several builds, launched in turn.
#
# Starts a private X server (1920x1080 unless told) and launches each given
# executable (it builds nothing) and then SDL2 alone (bare_frame beside the
# first), in turn, LAUNCHES times, after one uncounted launch of each that fills
# its cache directory. Prints per program the median and 90th percentile of
# exec -> the start screen presented (ms), and every launch. Interleaving puts
# the machine's load on all of them alike, so two builds can be compared.
# AS_USER=name runs every program as that user (bench/as_user.sh), with a
# home folder of its own per program. QUICK=1 launches each program once,
# without the uncounted launch: what the test suite runs.
# Usage: bench/first_frames.sh <lumeko-trainer>...
#        (LAUNCHES, MODE, SCREEN_W, SCREEN_H and AS_USER override the defaults)
# Needs Xvfb, xdotool and python3; exits 77 without them.
set -u
[ $# -ge 1 ] || { echo "usage: $0 <lumeko-trainer>..." >&2; exit 2; }
HELPER="$(cd "$(dirname "$0")" && pwd)/realwindow_helper.py"
WARM_UP=1
if [ -n "${QUICK:-}" ]; then
    LAUNCHES=${LAUNCHES:-1} WARM_UP=0
fi
LAUNCHES=${LAUNCHES:-15}
MODE=${MODE:-1}
SCREEN_W=${SCREEN_W:-1920}
SCREEN_H=${SCREEN_H:-1080}
EXES=()
for e in "$@"; do
    x=$(readlink -f "$e")
    [ -x "$x" ] || { echo "not an executable: $e" >&2; exit 2; }
    EXES+=("$x")
done
BARE="$(dirname "${EXES[0]}")/bare_frame"
[ -x "$BARE" ] || { echo "missing $BARE (SDL2 alone)" >&2; exit 1; }
EXES+=("$BARE")

. "$(dirname "$0")/as_user.sh"

. "$(dirname "$0")/x_session.sh"
x_session first
start_xvfb "$SCREEN_W" "$SCREEN_H" "$WORK/xvfb.log"
echo "# load average at start: $(cut -d" " -f1-3 /proc/loadavg); mode $MODE, ${SCREEN_W}x${SCREEN_H}, as ${AS_USER:-$(id -un)}"

# launch N OUT: starts program N with its own settings and cache and appends
# its start-screen time to OUT; fails when it shows no start screen.
launch() {
    local exe=${EXES[$1]} dir="$WORK/p$1"
    mkdir -p "$dir/config"
    printf '[set]\r\ntypemode=%s\r\nsakiyomi=5\r\n' "$MODE" >"$dir/config/LumekoTrainer.ini"
    rm -f "$dir/trace.txt"
    [ -n "${AS_USER:-}" ] && chown -R "$AS_USER" "$dir"
    (cd "$(dirname "$exe")" && exec "${AS[@]}" env HOME="$dir" XDG_CONFIG_HOME="$dir/config" XDG_CACHE_HOME="$dir/cache" \
        LUMEKO_TRACE_PRESENT="$dir/trace.txt" python3 "$HELPER" launch "$dir/t0" "$exe") 2>/dev/null &
    local pid=$! times
    times=$(python3 "$HELPER" first "$dir/trace.txt" "$dir/t0" 20)
    kill "$pid" 2>/dev/null
    wait "$pid" 2>/dev/null
    [ -n "$times" ] || { echo "${EXES[$1]}: no start screen" >&2; return 1; }
    echo "$times" | awk '{print $2}' >>"$2"
    sleep 0.3
}

if [ "$WARM_UP" = 1 ]; then
    for n in "${!EXES[@]}"; do
        launch "$n" /dev/null || exit 1
    done
fi
for _ in $(seq 1 "$LAUNCHES"); do
    for n in "${!EXES[@]}"; do
        launch "$n" "$WORK/p$n.txt" || exit 1
    done
done
for n in "${!EXES[@]}"; do
    read -r med p90 count < <(python3 "$HELPER" stats "$WORK/p$n.txt" 0)
    echo "${EXES[$n]}: median $med ms (p90 $p90, $count launches): $(tr '\n' ' ' <"$WORK/p$n.txt")"
done
echo "# load average at end: $(cut -d" " -f1-3 /proc/loadavg)"
