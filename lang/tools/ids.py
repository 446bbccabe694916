"""Reads lang/ids/windows.tsv, the one table of the template numbers, control ids, category codes and
keypad characters that the program shares with the generators of the window templates and pictures.

ids()["convertdlg"].kInput is the conversion window's value field, ids()["quantaro"].kRubricCodes
the categories' codes in index order; the names are the program's own.
"""

from functools import cache
from pathlib import Path
from types import SimpleNamespace

TABLE = Path(__file__).resolve().parent.parent / "ids" / "windows.tsv"


def parse_value(kind, text, where):
    if kind == "int":
        if not text.isdigit():
            raise ValueError(f"{where}: {text!r} is no number")
        return int(text)
    if kind == "chars":
        return text
    if kind == "codes":
        return text.split(" ")
    raise ValueError(f"{where}: unknown kind {kind!r}")


@cache
def ids(table=TABLE):
    """The table's values by namespace, each a namespace of its names."""
    spaces = {}
    for number, line in enumerate(Path(table).read_text(encoding="utf-8").splitlines(), 1):
        if not line or line.startswith("#"):
            continue
        fields = line.split("\t")
        if len(fields) < 4:
            raise ValueError(f"{table}:{number}: a row needs a namespace, a name, a kind and a value")
        namespace, name, kind, text = fields[:4]
        space = spaces.setdefault(namespace, SimpleNamespace())
        if hasattr(space, name):
            raise ValueError(f"{table}:{number}: {namespace} {name} appears twice")
        setattr(space, name, parse_value(kind, text, f"{table}:{number}"))
    return spaces
