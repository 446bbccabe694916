#!/bin/sh
# The time from the session bus starting quantaro-search to its first answer, against the warm
# service answering an empty query; each the median of RUNS gdbus calls on a private bus.
#   bench/search_activation.sh <program folder> [RUNS]
set -eu
program=$(cd "${1:?usage: search_activation.sh <program folder> [RUNS]}" && pwd)
runs=${2:-15}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/services" "$work/config/Velmora"
printf '[Settings]\nLanguageDLLName=quantaro_en.so\n' >"$work/config/Velmora/Quantaro.ini"
printf '[D-BUS Service]\nName=org.velmora.Quantaro.SearchProvider\nExec=%s/quantaro-search\n' "$program" \
    >"$work/services/search.service"
cat >"$work/bus.conf" <<CONF
<busconfig><type>session</type><listen>unix:tmpdir=$work</listen><servicedir>$work/services</servicedir>
<policy context="default"><allow send_destination="*" eavesdrop="true"/><allow eavesdrop="true"/><allow own="*"/></policy>
</busconfig>
CONF
XDG_CONFIG_HOME="$work/config" dbus-run-session --config-file="$work/bus.conf" -- sh -c '
    runs=$1
    cd "$2"
    call() {
        gdbus call --session -d org.velmora.Quantaro.SearchProvider -o /org/velmora/Quantaro/SearchProvider \
            -m org.gnome.Shell.SearchProvider2.GetInitialResultSet "$1" >/dev/null
    }
    ms() { echo $(( ($(date +%s%N) - $1) / 1000000 )); }
    median() { sort -n | awk "{ a[NR] = \$1 } END { print a[int((NR + 1) / 2)] }"; }
    stop() {
        pid=$(gdbus call --session -d org.freedesktop.DBus -o /org/freedesktop/DBus \
            -m org.freedesktop.DBus.GetConnectionUnixProcessID org.velmora.Quantaro.SearchProvider |
            sed -n "s/.*uint32 \([0-9]*\).*/\1/p")
        kill "$pid" 2>/dev/null || true
        while gdbus call --session -d org.freedesktop.DBus -o /org/freedesktop/DBus \
            -m org.freedesktop.DBus.NameHasOwner org.velmora.Quantaro.SearchProvider | grep -q true; do :; done
    }
    for query in "[]" "[\"5\", \"mi\", \"in\", \"km\"]"; do
        i=0; : >cold; : >warm
        while [ $i -lt "$runs" ]; do
            t=$(date +%s%N); call "$query"; ms "$t" >>cold
            t=$(date +%s%N); call "[]"; ms "$t" >>warm
            stop; i=$((i + 1))
        done
        echo "query $query: activation to answer $(median <cold) ms, warm empty query $(median <warm) ms"
    done
' sh "$runs" "$work"
