#!/usr/bin/env bash
# A real input method in the real window under Xvfb: ibus with mozc, started in
# hiragana. A lesson whose line is "感じ" is chosen in the desktop's chooser;
# romaji typed into the game shows in the composition box above the typed line
# (and nothing is judged), Space converts it; a menu opened then ends the
# composition and takes the arrow keys; once it closes the conversion is
# committed, and the title then counts the four bytes of "感じ" as typed.
# Usage: ime_e2e.sh <lumeko-trainer>   (KEEP_SHOTS=dir keeps screenshots)
# Exits 77 (skipped) with the reason when ibus or mozc cannot be run here.
#
# mozc will not run as root, so when the test runs as root the game, ibus and
# the tools that drive them run as nobody, with a private home, in a D-Bus
# session of their own. The script runs itself again for that part (--inner).
set -u
SKIP=77

# ---- the part that runs as the unprivileged user ---------------------------------
if [ "${1:-}" = "--inner" ]; then
    DIR=$2 # writable: home, screenshots, the game's copy in $DIR/app
    SHOTS=$DIR
    . "$(dirname "$0")/screen_checks.sh"
    # mozc's server detaches from the engine that starts it: it is found by
    # its name and this run's private home, and ended by its id.
    stop_mozc_server() {
        local env p
        for env in /proc/[0-9]*/environ; do
            p=${env#/proc/}
            p=${p%/environ}
            [ "$(cat "/proc/$p/comm" 2>/dev/null)" = mozc_server ] || continue
            grep -qzx "HOME=$HOME" "$env" 2>/dev/null && kill "$p" 2>/dev/null
        done
    }
    cleanup() {
        [ -n "${APP_PID:-}" ] && kill "$APP_PID" 2>/dev/null
        [ -n "${IBUS_PID:-}" ] && { ibus exit 2>/dev/null; kill "$IBUS_PID" 2>/dev/null; }
        stop_mozc_server
        wait 2>/dev/null
    }
    trap cleanup EXIT

    mkdir -p "$XDG_CONFIG_HOME/mozc"
    printf 'engines {\n  name : "mozc-jp"\n  longname : "Mozc"\n  layout : "default"\n  rank : 80\n}\nactive_on_launch: True\n' \
        >"$XDG_CONFIG_HOME/mozc/ibus_config.textproto"
    setsid ibus-daemon -rx --panel=disable >"$DIR/ibus.log" 2>&1 &
    IBUS_PID=$!
    addr=""
    for _ in $(seq 1 100); do
        addr=$(ls "$XDG_CONFIG_HOME"/ibus/bus/* 2>/dev/null | head -n 1)
        [ -n "$addr" ] && ibus engine mozc-jp 2>/dev/null && break
        sleep 0.1
    done
    [ -n "$addr" ] || fail "ibus-daemon wrote no address file under $XDG_CONFIG_HOME/ibus/bus"
    [ "$(ibus engine 2>/dev/null)" = mozc-jp ] || fail "ibus did not take the mozc-jp engine"
    # SDL reads this variable as the path of the address file.
    export IBUS_ADDRESS="$addr" SDL_IM_MODULE=ibus GTK_IM_MODULE=gtk-im-context-simple

    cd "$DIR/app" || fail "no copy of the game"
    ./lumeko-trainer 2>>"$DIR/stderr.txt" &
    APP_PID=$!
    WIN=$(find_window)
    [ -n "$WIN" ] || fail "no window appeared"
    xdotool windowfocus --sync "$WIN"
    wait_box start
    close_box

    # The lesson, chosen as a user does: "ファイル" in the menu, the path typed.
    xdotool mousemove 40 12 click 1
    sleep 0.3
    xdotool mousemove 60 $((24 + 2 + 24 * 2 + 12)) click 1
    CHOOSER=$(timeout 40 xdotool search --sync --onlyvisible --name '^開く$' 2>/dev/null | head -n 1)
    [ -n "$CHOOSER" ] || fail "zenity's chooser titled 開く did not appear within 40 s"
    sleep 0.5
    xdotool windowfocus --sync "$CHOOSER"
    xdotool key ctrl+l
    sleep 0.3
    xdotool type --delay 40 "$DIR/app/ime.txt"
    sleep 0.3
    xdotool key Return
    wait_box intro
    close_box
    xdotool windowfocus --sync "$WIN"
    sleep 0.3
    TITLE0=$(xdotool getwindowname "$WIN")

    # Composing: the box shows over the practice screen, nothing is judged.
    # The box stands on the typed line, at the bottom without the keyboard.
    xdotool type --delay 150 "ka"
    xdotool type --delay 150 "nji"
    sleep 0.5
    shot composing
    CH=$((800 - 24))
    BOX_Y1=$((24 + CH - 1280 / 40 - 4))
    frame=$(count_colour composing 4 $((BOX_Y1 - 36)) 300 36 404040)
    face=$(count_colour composing 4 $((BOX_Y1 - 36)) 300 36 ffffff)
    [ "$frame" -gt 100 ] || fail "no composition box frame above the typed line ($frame pixels)"
    [ "$face" -gt 1000 ] || fail "no composition box face ($face pixels)"
    [ "$(xdotool getwindowname "$WIN")" = "$TITLE0" ] || fail "a composing key was judged"
    xdotool key space
    sleep 0.5
    shot converted
    [ "$(count_colour converted 4 $((BOX_Y1 - 36)) 300 36 404040)" -gt 100 ] || fail "the box went on conversion"

    # A menu opened by the mouse mid-composition ends it: the arrow keys then
    # work the menu, not the candidate list. mozc commits what it was
    # composing once the menu has closed; an input method that drops it
    # instead would have it typed again here.
    xdotool mousemove 40 12 click 1
    sleep 0.3
    xdotool key Down Down
    wait_colour menu_keys 4 $((24 + 2 + 24)) 150 24 3060c0 500 ||
        fail "the arrow keys did not reach the menu opened mid-composition"
    [ "$(count_colour menu_keys 4 $((BOX_Y1 - 36)) 300 36 404040)" -eq 0 ] || fail "the composition stayed under the menu"
    [ "$(xdotool getwindowname "$WIN")" = "$TITLE0" ] || fail "a key was judged while the menu was open"
    xdotool key Escape Escape
    sleep 0.5
    if [ "$(xdotool getwindowname "$WIN")" = "$TITLE0" ]; then
        xdotool type --delay 150 "kanji"
        sleep 0.5
        xdotool key space
        sleep 0.5
        xdotool key Return
    fi
    for _ in $(seq 1 100); do
        [ "$(xdotool getwindowname "$WIN")" = "ルメコトレーナー　4タイプ目" ] && break
        sleep 0.05
    done
    title=$(xdotool getwindowname "$WIN")
    [ "$title" = "ルメコトレーナー　4タイプ目" ] || fail "title '$title' after committing 感じ (was '$TITLE0')"
    wait_box committed # the line is done: its result
    [ "$(count_colour committed 4 $((BOX_Y1 - 36)) 300 36 404040)" -eq 0 ] || fail "the box stayed after the commit"
    echo "ime e2e: passed"
    exit 0
fi

# ---- the part that runs as whoever runs the test -----------------------------------
EXE=$(readlink -f "$1")
for tool in ibus-daemon ibus dbus-run-session zenity; do
    command -v "$tool" >/dev/null || {
        echo "SKIP: $tool is not installed (Debian packages ibus, ibus-mozc, dbus, zenity: tools/install-deps.sh --test)"
        exit $SKIP
    }
done
[ -x /usr/lib/ibus-mozc/ibus-engine-mozc ] || {
    echo "SKIP: mozc's ibus engine is not installed (Debian package ibus-mozc: tools/install-deps.sh --test)"
    exit $SKIP
}
AS_USER=()
if [ "$(id -u)" -eq 0 ]; then
    command -v setpriv >/dev/null || {
        echo "SKIP: running as root, and setpriv (util-linux) is missing to run mozc as another user"
        exit $SKIP
    }
    AS_USER=(setpriv --reuid=nobody --regid=nogroup --clear-groups)
fi

. "$(dirname "$0")/xvfb_session.sh"
start_x
# Everything the unprivileged user needs is copied where it may read and write.
U="$WORK/u"
mkdir -p "$U/app" "$U/home/.config"
cp "$EXE" "$U/app/"
for f in "$(dirname "$EXE")"/*; do
    [ "$f" = "$EXE" ] || [ ! -e "$f" ] || case "$f" in *.txt | *.wav | *.html | */lessons) cp -r "$f" "$U/app/" ;; esac
done
printf '感じ{かんじ\r\n\r\n' | iconv -f UTF-8 -t CP932 >"$U/app/ime.txt"
printf '[set]\r\ntypemode=3\r\n' >"$U/home/.config/LumekoTrainer.ini" # no key lighting for kanji
chmod 755 "$WORK"
[ "$(id -u)" -eq 0 ] && chown -R nobody:nogroup "$U"

"${AS_USER[@]}" env -i PATH="$PATH" DISPLAY="$DISPLAY" HOME="$U/home" XDG_CONFIG_HOME="$U/home/.config" \
    XDG_CACHE_HOME="$U/home/.cache" SDL_AUDIODRIVER=dummy LANG=C.UTF-8 \
    dbus-run-session -- bash "$(readlink -f "$0")" --inner "$U"
rc=$?
cp "$U"/*.png "$WORK"/ 2>/dev/null
[ $rc -eq 0 ] || { cat "$U/stderr.txt" "$U/ibus.log" 2>/dev/null | tail -n 20 >&2; }
exit $rc
