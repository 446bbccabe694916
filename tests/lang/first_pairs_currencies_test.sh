#!/usr/bin/env bash
# The first pairs take each territory's main currency from the territories' currencies, whether the
# territory has one currency in tender or several, and the build refuses a malformed row.
set -euo pipefail
cmake=$1
root=$2
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
tab=$'\t'
status=0

# name | row of the territories' currencies | the row of the first pairs it gives ("" when refused)
cases=(
    "one currency|DE${tab}EUR|@${tab}DE${tab}EUR"
    "several currencies|PA${tab}PAB${tab}USD|@${tab}PA${tab}PAB"
    "three currencies|ZW${tab}USD${tab}ZWG ZAR|@${tab}ZW${tab}USD"
    "lower case code|PA${tab}pab|"
    "empty third column|PA${tab}PAB${tab}|"
    "three-letter territory|PAN${tab}PAB|"
    "two spaces between codes|ZW${tab}USD${tab}ZWG  ZAR|"
)
for entry in "${cases[@]}"; do
    IFS='|' read -r name row expected <<< "$entry"
    printf '# a comment\n%s\n' "$row" > "$out/currencies.tsv"
    rm -f "$out/pairs.txt"
    if "$cmake" -DFACTORS="$root/lang/units/factors.tsv" -DNAMES="$root/lang/en/unitnames.tsv" \
        -DPAIRS="$root/lang/units/firstpairs.tsv" -DCURRENCIES="$out/currencies.tsv" -DOUTPUT="$out/pairs.txt" \
        -P "$root/lang/units/generate_first_pairs.cmake" > "$out/log" 2>&1; then
        if [ -z "$expected" ]; then
            echo "$name: the row was taken"; status=1
        elif ! grep -qxF "$expected" "$out/pairs.txt"; then
            echo "$name: no row \"$expected\""; grep '^@' "$out/pairs.txt"; status=1
        fi
    elif [ -n "$expected" ]; then
        echo "$name: refused"; cat "$out/log"; status=1
    fi
done
exit $status
