#!/usr/bin/env bash
# realwindow.sh -- the game's real window under Xvfb, measured from outside.
#
# Starts a private X server (1920x1080 unless told) and runs the given
# executable (it builds nothing) with a settings file for typing mode 1, then 3,
# look-ahead 5, and the present trace on (LUMEKO_TRACE_PRESENT). Each mode has a cache directory of
# its own, kept across its launches, as a user's would be. Prints, per mode:
#   first frame   exec -> first present, and exec -> the start screen with its
#                 message box presented (LAUNCHES launches, median), and the
#                 ratio of the latter to SDL2 alone (bare_frame beside the
#                 executable), launched in turn with the game in the same loop;
#                 and SDL2 alone's key latency, a square drawn per key
#   rss           VmRSS RSS_S (3) s after exec (RUNS runs, median)
#   idle cpu      CPU over IDLE_S (10) s with the start box up, and with a line
#                 running and nobody typing (RUNS runs, median)
#   key latency   XTEST key press sent -> end of the present that shows it, and
#                 the game's own share: key event taken from SDL -> end of
#                 present (KEYS accepted keys per run, median over all of them),
#                 and the present itself: pixels handed to the display server
# AS_USER=name runs the programs as that user (bench/as_user.sh), with a home
# folder of its own.
# XFT_DPI=n loads "Xft.dpi: n" into the server's resources (xrdb) before
# anything starts: the desktop scale the game reads (192 is 200 %).
# QUICK=1 runs every step once, briefly (mode 1 only, one launch, a few keys,
# no warm-up): what the test suite runs to see that the script and the
# programs still work.
# Usage: bench/realwindow.sh <lumeko-trainer>
#        (RUNS, KEYS, LAUNCHES, MODES, IDLE_S, RSS_S, SCREEN_W, SCREEN_H,
#        AS_USER and XFT_DPI override the defaults; KEEP=dir keeps raw data)
# Needs Xvfb, xdotool and python3 with libX11/libXtst; exits 77 without them.
set -u
[ $# -ge 1 ] || { echo "usage: $0 <lumeko-trainer>" >&2; exit 2; }
EXE=$(readlink -f "$1")
[ -x "$EXE" ] || { echo "not an executable: $1" >&2; exit 2; }
HELPER="$(cd "$(dirname "$0")" && pwd)/realwindow_helper.py"
WARM_UP=1
if [ -n "${QUICK:-}" ]; then
    RUNS=${RUNS:-1} KEYS=${KEYS:-3} LAUNCHES=${LAUNCHES:-1} MODES=${MODES:-1} IDLE_S=${IDLE_S:-0.5} RSS_S=${RSS_S:-0.5}
    WARM_UP=0
fi
RUNS=${RUNS:-3}
KEYS=${KEYS:-50}
LAUNCHES=${LAUNCHES:-10}
MODES=${MODES:-"1 3"}
IDLE_S=${IDLE_S:-10}
RSS_S=${RSS_S:-3}
SCREEN_W=${SCREEN_W:-1920}
SCREEN_H=${SCREEN_H:-1080}
LOOKAHEAD=5

. "$(dirname "$0")/x_session.sh"
x_session bench
. "$(dirname "$0")/as_user.sh"
if [ -n "${AS_USER:-}" ]; then
    mkdir -p "$WORK/home"
    AS+=(env HOME="$WORK/home")
fi

start_x() {
    start_xvfb "$SCREEN_W" "$SCREEN_H" "$WORK/xvfb.log"
    if [ -n "${XFT_DPI:-}" ]; then
        echo "Xft.dpi: $XFT_DPI" | xrdb -nocpp -merge || { echo "xrdb failed" >&2; exit 1; }
    fi
}

# launch MODE TAG: starts the game with its own settings and trace; sets
# APP_PID, TRACE and T0 (the file holding the exec time).
launch() {
    local dir="$WORK/$2"
    mkdir -p "$dir/config"
    printf '[set]\r\ntypemode=%s\r\nsakiyomi=%s\r\n' "$1" "$LOOKAHEAD" >"$dir/config/LumekoTrainer.ini"
    TRACE="$dir/trace.txt"
    T0="$dir/t0.txt"
    mkdir -p "$WORK/cache-mode$1"
    [ -n "${AS_USER:-}" ] && chown -R "$AS_USER" "$dir" "$WORK/cache-mode$1" "$WORK/home"
    (cd "$(dirname "$EXE")" && XDG_CONFIG_HOME="$dir/config" XDG_CACHE_HOME="$WORK/cache-mode$1" XDG_DATA_HOME="$dir/data" \
        LUMEKO_TRACE_PRESENT="$TRACE" \
        exec "${AS[@]}" python3 "$HELPER" launch "$T0" "${PROG:-$EXE}") 2>"$dir/stderr.txt" &
    APP_PID=$!
}

client_size_ok() {
    local win geom
    win=$(timeout 10 xdotool search --sync --onlyvisible --pid "$APP_PID" 2>/dev/null | head -n 1)
    [ -n "$win" ] || { echo "no window" >&2; return 1; }
    WIN=$win
    geom=$(xdotool getwindowgeometry "$win" | sed -n 's/.*Geometry: //p')
    [ "$geom" = "${SCREEN_W}x${SCREEN_H}" ] || { echo "window is $geom, not ${SCREEN_W}x${SCREEN_H}" >&2; return 1; }
}

start_x
echo "# $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2-), display $DISPLAY ${SCREEN_W}x${SCREEN_H}"
echo "# executable $EXE, run as ${AS_USER:-$(id -un)}, Xft.dpi ${XFT_DPI:-not set}"
echo "# load average at start: $(cut -d" " -f1-3 /proc/loadavg)"

# First frames: each launch of the loop starts every mode and SDL2 alone in
# turn, so that the machine's load falls on all of them alike. One launch of
# each mode before the loop fills its caches and is not counted.
BARE="$(dirname "$EXE")/bare_frame"
[ -x "$BARE" ] || { echo "missing $BARE (SDL2 alone)" >&2; exit 1; }
mkdir -p "$WORK/bare"
for mode in $MODES; do
    mkdir -p "$WORK/mode$mode"
    [ "$WARM_UP" = 1 ] || continue
    launch "$mode" "m$mode-warmup"
    python3 "$HELPER" first "$TRACE" "$T0" 20 >/dev/null || { echo "warm-up: no start screen" >&2; exit 1; }
    stop_app
done
for i in $(seq 1 "$LAUNCHES"); do
    for mode in $MODES bare; do
        if [ "$mode" = bare ]; then
            PROG="$BARE" launch 3 "bare-launch$i"
            R="$WORK/bare"
        else
            launch "$mode" "m$mode-launch$i"
            R="$WORK/mode$mode"
        fi
        python3 "$HELPER" first "$TRACE" "$T0" 20 >>"$R/first.txt" || { echo "$mode launch $i: no start screen" >&2; exit 1; }
        stop_app
        sleep 0.3
    done
done
read -r bf_med bf_p90 bf_n < <(python3 "$HELPER" stats "$WORK/bare/first.txt" 0)
echo "SDL2 alone:  first frame          median $bf_med ms (p90 $bf_p90, $bf_n launches)"

# The floor under a key: SDL2 alone answering each key with one small square.
R="$WORK/bare"
PROG="$BARE" launch 3 "bare-keys"
python3 "$HELPER" first "$TRACE" "$T0" 20 >/dev/null || { echo "SDL2 alone: no first frame" >&2; exit 1; }
client_size_ok || exit 1
xdotool windowfocus --sync "$WIN"
xdotool key Return
sleep 0.3
python3 "$HELPER" keys "$TRACE" "$KEYS" "$R/keys.txt" || exit 1
stop_app
{ read -r kl_med kl_p90 kl_n; read -r ka_med ka_p90 _; } < <(python3 "$HELPER" stats_many "$R/keys.txt:0:1000" "$R/keys.txt:1:1000")
echo "SDL2 alone:  key -> present       median $kl_med ms (p90 $kl_p90, $kl_n keys)"
echo "SDL2 alone:  SDL poll -> present  median $ka_med ms (p90 $ka_p90)"

for mode in $MODES; do
    R="$WORK/mode$mode"
    for run in $(seq 1 "$RUNS"); do
        launch "$mode" "m$mode-run$run"
        python3 "$HELPER" first "$TRACE" "$T0" 20 >/dev/null || { echo "run $run: no start screen" >&2; exit 1; }
        client_size_ok || exit 1
        python3 "$HELPER" wait_until "$T0" "$RSS_S"
        python3 "$HELPER" rss "$APP_PID" >>"$R/rss.txt" || exit 1
        python3 "$HELPER" cpu "$APP_PID" "$IDLE_S" >>"$R/cpu_box.txt" || exit 1
        xdotool windowfocus --sync "$WIN"
        xdotool key Return
        sleep 1
        python3 "$HELPER" cpu "$APP_PID" "$IDLE_S" >>"$R/cpu_line.txt" || exit 1
        python3 "$HELPER" keys "$TRACE" "$KEYS" "$R/keys$run.txt" || exit 1
        cat "$R/keys$run.txt" >>"$R/keys.txt"
        python3 "$HELPER" stats "$R/keys$run.txt" 0 1000 | awk -v r="$run" '{print "# run " r ": key->present median " $1 " ms"}'
        kill -0 "$APP_PID" 2>/dev/null || { echo "the game exited" >&2; exit 1; }
        stop_app
    done

    {
        read -r ff_med ff_p90 ff_n
        read -r ss_med ss_p90 _
        read -r rss_med _ rss_n
        read -r cbt_med _ cb_n
        read -r cbs_med _ _
        read -r clt_med _ _
        read -r cls_med _ _
        read -r kl_med kl_p90 kl_n
        read -r ka_med ka_p90 _
        read -r kt_med kt_p90 _
        read -r kp_med _ _
        read -r ks_med ks_p90 _
    } < <(python3 "$HELPER" stats_many "$R/first.txt:0" "$R/first.txt:1" "$R/rss.txt:0:1024" "$R/cpu_box.txt:1" \
        "$R/cpu_box.txt:2" "$R/cpu_line.txt:1" "$R/cpu_line.txt:2" "$R/keys.txt:0:1000" "$R/keys.txt:1:1000" \
        "$R/keys.txt:2" "$R/keys.txt:3" "$R/keys.txt:4:1000")
    [ -n "$ks_med" ] || { echo "mode $mode: figures missing" >&2; exit 1; }
    echo "mode $mode: first frame          median $ff_med ms (p90 $ff_p90, $ff_n launches)"
    echo "mode $mode: start screen shown   median $ss_med ms (p90 $ss_p90); $(awk -v a="$ss_med" -v b="$bf_med" 'BEGIN { printf "%.2f", a / b }') times SDL2 alone"
    echo "mode $mode: resident at $RSS_S s      median $rss_med MiB ($rss_n runs; all: $(tr '\n' ' ' <"$R/rss.txt")KiB)"
    echo "mode $mode: idle cpu, start box  median $cbt_med % of a core by ticks, $cbs_med % by schedstat ($cb_n runs of $IDLE_S s)"
    echo "mode $mode: idle cpu, line runs  median $clt_med % by ticks, $cls_med % by schedstat"
    echo "mode $mode: key -> present       median $kl_med ms (p90 $kl_p90, $kl_n keys)"
    echo "mode $mode: SDL poll -> present  median $ka_med ms (p90 $ka_p90); SDL ticks: median $kt_med ms; $kp_med px per key"
    echo "mode $mode: the present itself   median $ks_med ms (p90 $ks_p90)"
done
echo "# load average at end: $(cut -d" " -f1-3 /proc/loadavg)"
