#!/bin/sh
# Starts the real program on real X screens of handheld and desktop sizes (no emulation) in every
# language and checks that every window it shows lies inside the screen. Screenshots go to $2.
# Usage: realscreens_test.sh <program folder> <screenshot folder>
set -u
program="$1/quantaro"
shots="$2"
command -v Xvfb >/dev/null && command -v xdotool >/dev/null || { echo "Xvfb or xdotool missing"; exit 77; }
mkdir -p "$shots"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
for size in 240x320 320x240 360x640 640x360 480x480 1920x1080; do
    width=${size%x*}
    height=${size#*x}
    Xvfb -displayfd 3 -screen 0 "${size}x24" -nolisten tcp 3>"$work/display" 2>/dev/null &
    server=$!
    tries=0
    while [ ! -s "$work/display" ] && [ $tries -lt 50 ]; do sleep 0.1; tries=$((tries + 1)); done
    display=":$(cat "$work/display")"
    for language in en fr de; do
        mkdir -p "$work/$language/Velmora"
        printf '[Settings]\nNewInstall=0\nLanguageDLLName=quantaro_%s.so\n' "$language" >"$work/$language/Velmora/Quantaro.ini"
        DISPLAY=$display XDG_CONFIG_HOME="$work/$language" QUANTARO_PEER=absent "$program" >/dev/null 2>&1 &
        client=$!
        windows=""
        tries=0
        while [ -z "$windows" ] && [ $tries -lt 100 ]; do
            sleep 0.1
            tries=$((tries + 1))
            windows=$(DISPLAY=$display xdotool search --onlyvisible --pid "$client" 2>/dev/null)
        done
        sleep 1
        [ -n "$windows" ] || { echo "$size $language: no window"; failures=$((failures + 1)); }
        for window in $windows; do
            eval "$(DISPLAY=$display xdotool getwindowgeometry --shell "$window")"
            if [ "$X" -lt 0 ] || [ "$Y" -lt 0 ] || [ $((X + WIDTH)) -gt "$width" ] || [ $((Y + HEIGHT)) -gt "$height" ]; then
                echo "$size $language: window ${WIDTH}x${HEIGHT}+$X+$Y leaves the screen"
                failures=$((failures + 1))
            fi
        done
        DISPLAY=$display import -window root "$shots/home-$size-$language.png" 2>/dev/null
        kill "$client" 2>/dev/null
        wait "$client" 2>/dev/null
    done
    kill "$server"
    wait "$server" 2>/dev/null
    rm -f "$work/display"
done
[ $failures -eq 0 ] && echo "every window inside its screen"
exit $((failures > 0))
