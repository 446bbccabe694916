#!/usr/bin/env bash
# Runs every generator under lang/tools/ into a temporary folder and compares what it writes with the
# committed templates, pictures, word tables (lexicon.tsv), the territories' currencies and the currency
# tables (the currency rows of factors.tsv and unitnames.tsv, formernames.json) and the translated texts
# of the desktop entry and metadata, so a hand edit of one and a change of the other cannot drift apart.
set -euo pipefail
root=$1
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
# Every folder of lang/ with a language.json is a language.
languages=$(cd "$root/lang" && ls -d */language.json | sed 's|/language.json||')
status=0
for language in $languages; do
    resources=$out/$language
    mkdir -p "$resources"
    cp "$root/lang/$language/res/strings.json" "$resources/"
    for generator in "$root"/lang/tools/make_*templates.py; do
        /usr/bin/python3 "$generator" "$resources" --language "$language"
    done
    /usr/bin/python3 "$root/lang/tools/make_pictures.py" "$resources" --language "$language"
    while IFS= read -r file; do
        if ! cmp -s "$resources/$file" "$root/lang/$language/res/$file"; then
            echo "lang/$language/res/$file differs from what lang/tools/ writes (regenerate it: see README)"
            status=1
        fi
    done < <(cd "$resources" && find . -type f ! -name strings.json | sed 's|^\./||' | sort)
    if ! /usr/bin/python3 "$root/lang/tools/make_lexicon.py" "$out/lexicon-$language" --language "$language"; then
        echo "lang/tools/make_lexicon.py refuses the words of lang/$language"
        status=1
    elif ! cmp -s "$out/lexicon-$language/lexicon.tsv" "$root/lang/$language/lexicon.tsv"; then
        echo "lang/$language/lexicon.tsv differs from what lang/tools/make_lexicon.py writes (regenerate it: see README)"
        status=1
    fi
done
/usr/bin/python3 "$root/lang/tools/make_territory_currencies.py" "$out/territory_currencies.tsv"
if ! cmp -s "$out/territory_currencies.tsv" "$root/lang/units/territory_currencies.tsv"; then
    echo "lang/units/territory_currencies.tsv differs from what lang/tools/make_territory_currencies.py writes (regenerate it)"
    status=1
fi
if ! /usr/bin/python3 "$root/lang/tools/make_currencies.py" --out "$out/currencies" 2> "$out/currencies.log"; then
    cat "$out/currencies.log"
    echo "lang/tools/make_currencies.py fails"
    status=1
else
    for file in units/factors.tsv $(for language in $languages; do
        echo "$language/unitnames.tsv $language/res/formernames.json"
    done); do
        if ! cmp -s "$out/currencies/$file" "$root/lang/$file"; then
            echo "lang/$file differs from what lang/tools/make_currencies.py writes (regenerate it: see README)"
            status=1
        fi
    done
fi
/usr/bin/python3 "$root/lang/tools/make_desktop_texts.py" --out "$out/packaging"
for file in org.velmora.Quantaro.desktop.in org.velmora.Quantaro.metainfo.xml.in search/krunner.desktop.in; do
    if ! cmp -s "$out/packaging/$file" "$root/packaging/$file"; then
        echo "packaging/$file differs from what lang/tools/make_desktop_texts.py writes (regenerate it: see README)"
        status=1
    fi
done
exit $status
