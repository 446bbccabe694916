#!/usr/bin/env bash
# The table of window ids is read twice, by the build (C++ headers) and by the resource generators
# (lang/tools/ids.py): both must take the same rows and refuse the same malformed ones, and the real
# table must give the same values to both.
set -euo pipefail
cmake=$1
root=$2
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
tab=$'\t'
status=0

# name | table row | what the C++ header then holds ("" when both readers must refuse the row)
cases=(
    "number|w${tab}kInput${tab}int${tab}1003|inline constexpr int kInput = 1003;"
    "note with a semicolon|w${tab}kPair${tab}int${tab}1080${tab}A pair; spelled out.|/** A pair; spelled out. */"
    "characters|w${tab}kKeys${tab}chars${tab}0.-\"e|inline constexpr char16_t kKeys[] = u\"0.-\\\"e\";"
    "codes|quantaro${tab}kCodes${tab}codes${tab}CNY LEN|std::array<std::u16string_view, 2> kCodes = {u\"CNY\", u\"LEN\"};"
    "no number|w${tab}kInput${tab}int${tab}10a3|"
    "negative number|w${tab}kInput${tab}int${tab}-1|"
    "unknown kind|w${tab}kInput${tab}float${tab}1.5|"
    "missing value|w${tab}kInput${tab}int|"
    "twice|w${tab}kInput${tab}int${tab}1${tab}\nw${tab}kInput${tab}int${tab}2|"
)
for entry in "${cases[@]}"; do
    IFS='|' read -r name row expected <<< "$entry"
    printf '# a comment\n%b\n' "$row" > "$out/table.tsv"
    rm -rf "$out/ids"
    built=0
    "$cmake" -DTABLE="$out/table.tsv" -DOUTPUT="$out/ids" -P "$root/cmake/WindowIds.cmake" > "$out/log" 2>&1 && built=1
    read_ok=0
    /usr/bin/python3 -c 'import sys; sys.path.insert(0, sys.argv[1]); import ids; ids.ids(sys.argv[2])' \
        "$root/lang/tools" "$out/table.tsv" 2>> "$out/log" && read_ok=1
    if [ -z "$expected" ]; then
        [ $built = 0 ] || { echo "$name: the build took the row"; status=1; }
        [ $read_ok = 0 ] || { echo "$name: the generators took the row"; status=1; }
    elif [ $built = 0 ] || [ $read_ok = 0 ]; then
        echo "$name: refused (build $built, generators $read_ok)"; cat "$out/log"; status=1
    elif ! grep -qF -- "$expected" "$out"/ids/*.h; then
        echo "$name: the header lacks: $expected"; cat "$out"/ids/*.h; status=1
    fi
done

# The real table: every number the generators read is the one the program's header holds.
"$cmake" -DTABLE="$root/lang/ids/windows.tsv" -DOUTPUT="$out/real" -P "$root/cmake/WindowIds.cmake"
rows=$(/usr/bin/python3 -c '
import sys; sys.path.insert(0, sys.argv[1]); import ids
for space, values in ids.ids().items():
    for name, value in vars(values).items():
        if isinstance(value, int):
            print(space, name, value)' "$root/lang/tools")
[ -n "$rows" ] || { echo "the generators read no numbers"; status=1; }
while read -r space name value; do
    grep -qF "inline constexpr int $name = $value;" "$out/real/$space.h" ||
        { echo "$space $name: the program's header does not hold $value"; status=1; }
done <<< "$rows"
exit $status
