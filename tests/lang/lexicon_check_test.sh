#!/usr/bin/env bash
# The build refuses a lexicon in which a word names two units of one category that no territory tells
# apart: here "meter", the metre's, is given to the kilometre too. The unchanged table passes, and the
# words a question may end with ("@end") reach the module's lexicon as the connecting words do.
set -euo pipefail
compiler=$1
root=$2
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
"$compiler" "$root/lang/units/factors.tsv" "$root/lang/en/unitnames.tsv" "$root/lang/en/lexicon.tsv" "$out/good.txt"
grep -q $'^@connect\t\t\t' "$out/good.txt" || { echo "the connecting words are missing"; exit 1; }
{ cat "$root/lang/en/lexicon.tsv"; printf '@end\t\t?|吗|ですか|eder\n'; } > "$out/end.tsv"
"$compiler" "$root/lang/units/factors.tsv" "$root/lang/en/unitnames.tsv" "$out/end.tsv" "$out/end.txt"
grep -qxF $'@end\t\t\t?|吗|ですか|eder' "$out/end.txt" || { echo "the end words did not reach the lexicon"; exit 1; }
sed 's/^\(len\.kilometre\t[^\t]*\t\)/\1meter|/' "$root/lang/en/lexicon.tsv" > "$out/bad.tsv"
if "$compiler" "$root/lang/units/factors.tsv" "$root/lang/en/unitnames.tsv" "$out/bad.tsv" "$out/bad.txt" 2> "$out/err"; then
    echo "a word given to two units of one category was accepted"
    exit 1
fi
grep -q '"meter" names several units of LEN' "$out/err" || { cat "$out/err"; exit 1; }
test ! -e "$out/bad.txt"
