#!/usr/bin/env bash
# wakeups.sh -- how often the game wakes while typing and when left alone, and
# how soon a key's click reaches the sound device.
#
# Starts a private X server (1920x1080) and the given executable (it builds
# nothing) in typing mode 1, look-ahead 5, the key click on, with SDL's dummy
# audio driver unless SDL_AUDIODRIVER says otherwise, the present trace and
# the sound trace on (LUMEKO_TRACE_PRESENT, LUMEKO_TRACE_SOUND). Closes the
# start box, then:
#   typing   letters through XTEST until KEYS of them were accepted, GAP_MS
#            after each letter's release (the helper tries a to y in turn, so
#            about one letter in twelve is the one expected and clicks); the
#            wake-ups over the first TYPING_S seconds of it
#   idle     IDLE_AFTER_S seconds after the last key, the wake-ups over IDLE_S
#   clicks   PAUSED_KEYS keys, each PAUSE_S seconds after the one before (the
#            sound device closed again in between)
# A wake-up is a context switch (voluntary + involuntary) of any of the
# process's threads, counted from /proc/PID/task/*/status; the figures are
# per second, all threads first, then by thread name. The click delay is from
# the moment the game took the key event from SDL to the moment the device's
# callback handed the click's first samples to the driver, split by whether
# the device had to be opened for it (median and p90, ms).
# Usage: bench/wakeups.sh <lumeko-trainer>
#        (KEYS, GAP_MS, TYPING_S, IDLE_AFTER_S, IDLE_S, PAUSED_KEYS, PAUSE_S;
#        QUICK=1 for one short pass; KEEP=dir keeps raw data)
# Needs Xvfb, xdotool and python3 with libX11/libXtst.
set -u
[ $# -ge 1 ] || { echo "usage: $0 <lumeko-trainer>" >&2; exit 2; }
EXE=$(readlink -f "$1")
[ -x "$EXE" ] || { echo "not an executable: $1" >&2; exit 2; }
HERE="$(cd "$(dirname "$0")" && pwd)"
HELPER="$HERE/realwindow_helper.py"
if [ -n "${QUICK:-}" ]; then
    KEYS=${KEYS:-3} TYPING_S=${TYPING_S:-0.5} IDLE_AFTER_S=${IDLE_AFTER_S:-1.2} IDLE_S=${IDLE_S:-0.5}
    PAUSED_KEYS=${PAUSED_KEYS:-1}
fi
KEYS=${KEYS:-40}
GAP_MS=${GAP_MS:-10}
TYPING_S=${TYPING_S:-4}
IDLE_AFTER_S=${IDLE_AFTER_S:-3}
IDLE_S=${IDLE_S:-10}
PAUSED_KEYS=${PAUSED_KEYS:-10}
PAUSE_S=${PAUSE_S:-1.6}
export SDL_AUDIODRIVER=${SDL_AUDIODRIVER:-dummy}

. "$HERE/x_session.sh"
x_session wakeups
start_xvfb 1920 1080 "$WORK/xvfb.log"
echo "# load average at start: $(cut -d" " -f1-3 /proc/loadavg); audio driver $SDL_AUDIODRIVER"

mkdir -p "$WORK/config"
printf '[set]\r\ntypemode=1\r\nsakiyomi=5\r\noto=1\r\n' >"$WORK/config/LumekoTrainer.ini"
TRACE="$WORK/trace.txt"
SOUNDS="$WORK/sounds.txt"
(cd "$(dirname "$EXE")" && XDG_CONFIG_HOME="$WORK/config" XDG_CACHE_HOME="$WORK/cache" \
    LUMEKO_TRACE_PRESENT="$TRACE" LUMEKO_TRACE_SOUND="$SOUNDS" exec "$EXE") 2>"$WORK/stderr.txt" &
APP_PID=$!
WIN=$(timeout 10 xdotool search --sync --onlyvisible --pid "$APP_PID" 2>/dev/null | head -n 1)
[ -n "$WIN" ] || { echo "no window" >&2; exit 1; }
sleep 1
xdotool windowfocus --sync "$WIN"
xdotool key Return # the start box
sleep 1

python3 "$HELPER" wakeups "$APP_PID" "$TYPING_S" >"$WORK/typing.txt" &
WATCH=$!
python3 "$HELPER" keys "$TRACE" "$KEYS" "$WORK/keys.txt" "$GAP_MS" || exit 1
wait "$WATCH" || exit 1
echo "typing:  $(cat "$WORK/typing.txt") wake-ups/s (until $KEYS keys were accepted, ${GAP_MS} ms between letters)"
sleep "$IDLE_AFTER_S"
python3 "$HELPER" wakeups "$APP_PID" "$IDLE_S" >"$WORK/idle.txt" || exit 1
echo "idle:    $(cat "$WORK/idle.txt") wake-ups/s (${IDLE_S} s from ${IDLE_AFTER_S} s after the last key)"

for _ in $(seq 1 "$PAUSED_KEYS"); do
    sleep "$PAUSE_S"
    python3 "$HELPER" keys "$TRACE" 1 "$WORK/key1.txt" || exit 1
done
kill -0 "$APP_PID" 2>/dev/null || { echo "the game exited" >&2; exit 1; }
sleep 0.2

# The sound trace: "sound input_us play_us open_us samples_us" per click,
# "close us" per closing of the device.
[ -s "$SOUNDS" ] || { echo "no click reached the sound device (sound trace empty)" >&2; exit 1; }
for state in closed open; do
    awk -v want="$state" '$1 == "sound" && $2 > 0 && ($4 > 0) == (want == "closed") { print ($5 - $2) / 1000, $4 / 1000 }' \
        "$SOUNDS" >"$WORK/click-$state.txt"
    if [ -s "$WORK/click-$state.txt" ]; then
        read -r d_med d_p90 d_n < <(python3 "$HELPER" stats "$WORK/click-$state.txt" 0)
        read -r o_med _ _ < <(python3 "$HELPER" stats "$WORK/click-$state.txt" 1)
        echo "click, device $state: key event taken -> first samples median $d_med ms (p90 $d_p90, $d_n clicks); opening $o_med ms"
    else
        echo "click, device $state: none"
    fi
done
awk '$1 == "close" { print $2 / 1000 }' "$SOUNDS" >"$WORK/close.txt"
[ -s "$WORK/close.txt" ] || { echo "the sound device was never closed" >&2; exit 1; }
read -r c_med c_p90 c_n < <(python3 "$HELPER" stats "$WORK/close.txt" 0)
echo "device closed after silence: median $c_med ms (p90 $c_p90, $c_n times)"
echo "# load average at end: $(cut -d" " -f1-3 /proc/loadavg)"
