#!/usr/bin/env bash
# Starts the game with no display to open. It must say so and exit with a
# non-zero status at once, not run on invisibly on SDL's offscreen driver.
# A driver asked for by name in SDL_VIDEODRIVER is still honoured.
# Usage: no_display.sh <lumeko-trainer>
set -u
EXE=$1
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

export XDG_CONFIG_HOME="$WORK/config" XDG_CACHE_HOME="$WORK/cache"
env -u DISPLAY -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER SDL_AUDIODRIVER=dummy \
    timeout 20 "$EXE" 2>"$WORK/stderr.txt"
status=$?
cat "$WORK/stderr.txt" >&2
[ "$status" -ne 124 ] || fail "still running after 20 s with no display"
[ "$status" -ne 0 ] || fail "exit status 0 with no display"
grep -q "cannot open a display" "$WORK/stderr.txt" || fail "no message on stderr"

# Asked for by name, the offscreen driver runs the game (until the timeout).
env -u DISPLAY -u WAYLAND_DISPLAY SDL_VIDEODRIVER=offscreen SDL_AUDIODRIVER=dummy \
    timeout 3 "$EXE" 2>"$WORK/stderr2.txt"
status=$?
[ "$status" -eq 124 ] || { cat "$WORK/stderr2.txt" >&2; fail "SDL_VIDEODRIVER=offscreen was refused (status $status)"; }
echo "ok"
