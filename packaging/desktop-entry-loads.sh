#!/bin/sh
# Installs the build under a prefix whose bin is not on PATH (and whose name needs quoting) and loads
# the desktop entry with GLib's loader, as GNOME Shell does before it shows the launcher or asks the
# search provider: an entry whose program GLib cannot find is dropped, and the provider with it.
#   packaging/desktop-entry-loads.sh <cmake> <build dir> <desktop id>
set -eu
cmake=$1 build=$2 id=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
prefix="$work/a prefix"
mkdir -p "$work/home"
"$cmake" --install "$build" --prefix "$prefix" >/dev/null
XDG_DATA_DIRS="$prefix/share" XDG_DATA_HOME="$work/home" PATH=/usr/bin:/bin \
    /usr/bin/python3 - "$prefix" "$id" <<'PYTHON'
import sys
import gi
gi.require_version("Gio", "2.0")
from gi.repository import Gio, GLib

prefix, desktop_id = sys.argv[1], sys.argv[2]
try:
    info = Gio.DesktopAppInfo.new(desktop_id)
except TypeError:  # the binding's answer to the loader's NULL
    info = None
if info is None:
    sys.exit(f"GLib refuses the installed {desktop_id} (is its program found without PATH?)")
expected = f"{prefix}/lib/quantaro/quantaro"
program = GLib.shell_parse_argv(info.get_string("Exec"))[1][0]
if program != expected:
    sys.exit(f"{desktop_id} starts {program!r}, not {expected!r}")
with open(f"{prefix}/share/gnome-shell/search-providers/{desktop_id[:-len('.desktop')]}.search-provider.ini") as ini:
    if f"DesktopId={desktop_id}\n" not in ini.read():
        sys.exit("the search provider names another desktop entry")
PYTHON
