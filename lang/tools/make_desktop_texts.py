#!/usr/bin/python3
"""Writes the translated texts of the desktop entry, the software-centre metadata and the KRunner plug-in
under packaging/ from the "desktop" section of every language's language.json: Name, GenericName,
Comment and Keywords of the desktop entry, the metadata's summary and keywords, the plug-in's Comment.
English is the untranslated text; the other languages follow in the order of their codes, each under
its "desktop_locale" (pt_BR, zh_CN) or else its code.

Usage: make_desktop_texts.py [--out FOLDER]   (default: the files in place)
"""

import argparse
import sys
from pathlib import Path
from xml.sax.saxutils import escape

import languages

PACKAGING = Path(__file__).resolve().parent.parent.parent / "packaging"
DESKTOP = "org.velmora.Quantaro.desktop.in"
METAINFO = "org.velmora.Quantaro.metainfo.xml.in"
KRUNNER = "search/krunner.desktop.in"
SOURCE = "en"
PROGRAM_NAME = "Quantaro"


def translations():
    """(locale or None for the source, desktop section) of every language, the source first."""
    others = [code for code in languages.codes() if code != SOURCE]
    result = [(None, languages.section(SOURCE, "desktop"))]
    for code in others:
        result.append((languages.language(code).get("desktop_locale", code), languages.section(code, "desktop")))
    return result


def keyed(key, locale):
    return key if locale is None else f"{key}[{locale}]"


def replace_lines(lines, belongs, new_lines, anchor):
    """The lines without those that belong(), with new_lines where the first of them stood (or after
    the line anchor() picks when there is none)."""
    at = next((i for i, line in enumerate(lines) if belongs(line)), None)
    kept = [line for line in lines if not belongs(line)]
    if at is None:
        at = next(i for i, line in enumerate(kept) if anchor(line)) + 1
    else:
        at = sum(1 for line in lines[:at] if not belongs(line))
    return kept[:at] + new_lines + kept[at:]


def desktop_entry(text):
    lines = text.split("\n")
    for key in ("Name", "GenericName", "Comment", "Keywords"):
        new = []
        for locale, desktop in translations():
            if key == "Name":
                value = PROGRAM_NAME
            elif key == "Keywords":
                value = ";".join(desktop["Keywords"]) + ";"
            else:
                value = desktop[key]
            new.append(f"{keyed(key, locale)}={value}")
        lines = replace_lines(lines, lambda line, key=key: line.split("=", 1)[0].split("[", 1)[0] == key, new,
                              lambda line: False)
    return "\n".join(lines)


def krunner(text):
    lines = text.split("\n")
    new = [f"{keyed('Comment', locale)}={desktop['KRunnerComment']}" for locale, desktop in translations()]
    return "\n".join(replace_lines(lines, lambda line: line.split("=", 1)[0].split("[", 1)[0] == "Comment", new,
                                   lambda line: False))


def metainfo(text):
    lines = text.split("\n")
    summaries = [f"  <summary{lang_attribute(locale)}>{escape(desktop['Summary'])}</summary>"
                 for locale, desktop in translations()]
    lines = replace_lines(lines, lambda line: line.startswith("  <summary"), summaries, lambda line: False)
    keywords = [f"    <keyword{lang_attribute(locale)}>{escape(word)}</keyword>"
                for locale, desktop in translations() for word in desktop["MetainfoKeywords"]]
    return "\n".join(replace_lines(lines, lambda line: line.startswith("    <keyword"), keywords,
                                   lambda line: line.strip() == "<keywords>"))


def lang_attribute(locale):
    return "" if locale is None else f' xml:lang="{locale}"'


def main(argv):
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--out", type=Path, help="write the files under this folder, not in place")
    args = parser.parse_args(argv)
    for name, rewrite in ((DESKTOP, desktop_entry), (METAINFO, metainfo), (KRUNNER, krunner)):
        text = rewrite((PACKAGING / name).read_text(encoding="utf-8"))
        target = (args.out or PACKAGING) / name
        target.parent.mkdir(parents=True, exist_ok=True)
        target.write_text(text, encoding="utf-8")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
