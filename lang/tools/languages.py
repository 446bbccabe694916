"""The languages of the modules: every folder of lang/ with a language.json, which holds what the
generators need of the language besides its tables (unit names, words, strings): its own name, the CLDR
locales its names come from, the texts of its window templates, where its picture names break and the
texts of the desktop entry and the software-centre metadata.

    language("fr")["templates"]["convert_title"] == "Conversion"
"""

import json
from functools import cache
from pathlib import Path

LANG = Path(__file__).resolve().parent.parent
FILE_NAME = "language.json"


@cache
def codes():
    """The language codes, in alphabetical order."""
    return sorted(path.parent.name for path in LANG.glob(f"*/{FILE_NAME}"))


@cache
def language(code):
    """The language's language.json."""
    path = LANG / code / FILE_NAME
    if not path.is_file():
        raise SystemExit(f"lang/{code}/{FILE_NAME} is missing: no such language")
    return json.loads(path.read_text(encoding="utf-8"))


def section(code, name):
    """One section of the language's language.json ("templates", "desktop", ...)."""
    data = language(code)
    if name not in data:
        raise SystemExit(f"lang/{code}/{FILE_NAME} lacks \"{name}\"")
    return data[name]
