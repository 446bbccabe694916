#!/bin/sh
# Starts the real program on real X screens of handheld and desktop sizes (no emulation) in every
# language and lets it walk its own windows and popups (quantaro-walk, the program with the walk in
# it): each must lie inside the screen and show its texts uncut. The reports and screenshots go to
# $2/<size>-<language>/.
# Every module of the program folder is walked on the three screens that differ most (the smallest
# portrait, a phone in both orientations); English, French and German, or every language with "all",
# on every size. QUANTARO_WALK_LANGUAGES and QUANTARO_WALK_SIZES narrow the walk to some languages
# and sizes.
# Usage: realscreens_test.sh <program folder> <screenshot folder> [all]
set -u
program="$1/quantaro-walk"
shots="$2"
every_size_languages=$([ "${3:-}" = all ] && echo "*" || echo "en fr de")
few_sizes="240x320 360x640 640x360"
languages=${QUANTARO_WALK_LANGUAGES:-$(cd "$1" && ls quantaro_*.so | sed 's/^quantaro_\(.*\)\.so$/\1/')}
sizes=${QUANTARO_WALK_SIZES:-240x320 320x240 360x640 640x360 480x480 1920x1080}
# Whether a language is walked at a size.
walked() {
    case " $few_sizes " in *" $2 "*) return 0 ;; esac
    [ "$every_size_languages" = "*" ] && return 0
    case " $every_size_languages " in *" $1 "*) return 0 ;; esac
    return 1
}
command -v Xvfb >/dev/null || { echo "Xvfb missing"; exit 77; }
mkdir -p "$shots"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
for size in $sizes; do
    Xvfb -displayfd 3 -screen 0 "${size}x24" -nolisten tcp 3>"$work/display" 2>/dev/null &
    server=$!
    tries=0
    while [ ! -s "$work/display" ] && [ $tries -lt 50 ]; do sleep 0.1; tries=$((tries + 1)); done
    display=":$(cat "$work/display")"
    # A first start in German shows the language window, from a copy of the program folder, since
    # the first start removes the languages that were not chosen.
    rm -rf "$work/program" "$work/first"
    cp -r "$1" "$work/program"
    mkdir -p "$work/first"
    out="$shots/$size-language"
    rm -rf "$out"
    DISPLAY=$display LANG=de_DE.UTF-8 XDG_CONFIG_HOME="$work/first" XDG_RUNTIME_DIR="$work/first" \
        QUANTARO_PEER=absent timeout 60 "$work/program/quantaro-walk" "$out" >/dev/null 2>&1
    if ! grep -q '^SEEN language' "$out/report.txt" 2>/dev/null; then
        echo "$size: the language window was not seen"
        failures=$((failures + 1))
    fi
    findings=$(grep -E '^(OUTSIDE|CUT)' "$out/report.txt" 2>/dev/null)
    if [ -n "$findings" ]; then
        printf '%s\n' "$findings" | sed "s/^/$size language: /"
        failures=$((failures + $(printf '%s\n' "$findings" | wc -l)))
    fi
    for language in $languages; do
        walked "$language" "$size" || continue
        config="$work/$size-$language"
        out="$shots/$size-$language"
        rm -rf "$out"
        mkdir -p "$config/Velmora"
        # The version check asks a closed loopback port, so it fails at once.
        printf '[Settings]\nNewInstall=0\nLanguageDLLName=quantaro_%s.so\nUpdateServer=http://127.0.0.1:9\n' \
            "$language" >"$config/Velmora/Quantaro.ini"
        DISPLAY=$display XDG_CONFIG_HOME="$config" XDG_RUNTIME_DIR="$config" QUANTARO_PEER=absent \
            timeout 120 "$program" "$out" >/dev/null 2>&1
        if ! grep -q '^END' "$out/report.txt" 2>/dev/null; then
            echo "$size $language: the walk did not end"
            failures=$((failures + 1))
            continue
        fi
        if grep -q '^STUCK' "$out/report.txt"; then
            sed -n "s/^/$size $language: /p" "$out/report.txt" | grep 'STUCK'
            failures=$((failures + 1))
        fi
        findings=$(grep -E '^(OUTSIDE|CUT)' "$out/report.txt")
        if [ -n "$findings" ]; then
            printf '%s\n' "$findings" | sed "s/^/$size $language: /"
            failures=$((failures + $(printf '%s\n' "$findings" | wc -l)))
        fi
        windows=$(grep -c '^SEEN' "$out/report.txt")
        echo "$size $language: $windows windows and popups seen"
    done
    kill "$server"
    wait "$server" 2>/dev/null
    rm -f "$work/display"
done
[ $failures -eq 0 ] && echo "every window and popup inside its screen, no text cut"
exit $((failures > 0))
