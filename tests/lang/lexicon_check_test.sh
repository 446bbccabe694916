#!/usr/bin/env bash
# The build refuses a lexicon in which a word names two units of one category that no territory tells
# apart: here "meter", the metre's, is given to the kilometre too. The unchanged table passes.
set -euo pipefail
compiler=$1
root=$2
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
"$compiler" "$root/lang/units/factors.tsv" "$root/lang/en/unitnames.tsv" "$root/lang/en/lexicon.tsv" "$out/good.txt"
sed 's/^\(len\.kilometre\t[^\t]*\t\)/\1meter|/' "$root/lang/en/lexicon.tsv" > "$out/bad.tsv"
if "$compiler" "$root/lang/units/factors.tsv" "$root/lang/en/unitnames.tsv" "$out/bad.tsv" "$out/bad.txt" 2> "$out/err"; then
    echo "a word given to two units of one category was accepted"
    exit 1
fi
grep -q '"meter" names several units of LEN' "$out/err" || { cat "$out/err"; exit 1; }
test ! -e "$out/bad.txt"
