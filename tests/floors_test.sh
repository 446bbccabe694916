#!/usr/bin/env bash
# The floors of the README's layout table: every #include "folder/..." of a source folder names its own
# floor or one below it. The table is the one place the floors are written.
set -euo pipefail
root=${1:?usage: floors_test.sh SOURCE_DIR}
declare -A floor
while IFS='|' read -r _ level folders _; do
    level=${level// /}
    [[ $level =~ ^[0-9]+$ ]] || continue
    for folder in $(grep -o '`[a-z]*/`' <<<"$folders" | tr -d '`/'); do
        floor[$folder]=$level
    done
done <"$root/README.md"
[ ${#floor[@]} -gt 0 ] || { echo "no floors in the README's layout table"; exit 1; }

bad=0
for folder in "${!floor[@]}"; do
    while IFS= read -r hit; do
        file=${hit%%:*}
        target=$(sed -E 's/.*#include "([a-z]+)\/.*/\1/' <<<"$hit")
        target_floor=${floor[$target]:-}
        if [ -n "$target_floor" ] && [ "$target_floor" -gt "${floor[$folder]}" ]; then
            echo "$file includes $target/ (floor $target_floor) from floor ${floor[$folder]}"
            bad=1
        fi
    done < <(grep -H '#include "[a-z]*/' "$root/$folder"/*.cpp "$root/$folder"/*.h 2>/dev/null || true)
done
exit $bad
