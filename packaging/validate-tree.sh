#!/bin/sh
# Validates the desktop entries, AppStream metainfo and manual pages of an installed tree (a DESTDIR or an unpacked
# package) as desktops and software centres read them. Warnings and infos fail as errors do; pedantic hints do not.
#   packaging/validate-tree.sh <root>
set -eu
root=${1:?usage: validate-tree.sh <root>}
status=0
found=0
for entry in "$root"/usr/share/applications/*.desktop; do
    [ -e "$entry" ] || continue
    found=1
    output=$(desktop-file-validate "$entry" 2>&1) || status=1
    # desktop-file-validate exits 0 on warnings and hints: any output is a finding.
    if [ -n "$output" ]; then
        printf '%s\n' "$output"
        status=1
    fi
done
if [ "$found" -eq 0 ]; then
    echo "validate-tree: no desktop entry under $root/usr/share/applications" >&2
    status=1
fi
appstreamcli validate-tree --no-net --strict "$root" || status=1
# Manual pages: groff's warnings (all of them) are findings too; a tree without pages is one.
pages=0
for page in "$root"/usr/share/man/man1/*.1*; do
    [ -e "$page" ] || continue
    pages=$((pages + 1))
    output=$(zcat -f "$page" | groff -ww -z -man 2>&1) || status=1
    if [ -n "$output" ]; then
        printf '%s: %s\n' "$page" "$output"
        status=1
    fi
done
if [ "$pages" -eq 0 ]; then
    echo "validate-tree: no manual page under $root/usr/share/man/man1" >&2
    status=1
fi
exit "$status"
