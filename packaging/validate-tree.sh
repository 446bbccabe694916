#!/bin/sh
# Validates the desktop entries and AppStream metainfo of an installed tree (a DESTDIR or an unpacked
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
exit "$status"
