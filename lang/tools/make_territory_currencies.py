#!/usr/bin/python3
"""Writes lang/units/territory_currencies.tsv: the currency in use in each territory, from CLDR through
Debian's python3-babel. The conversion window opens its currencies on the currency of the user's
territory when the catalogue has that currency (see lang/units/firstpairs.tsv).

For a territory with several legal tenders in use, CLDR lists the main one first; that one is taken.

Run with Debian's /usr/bin/python3 (it has babel):
    /usr/bin/python3 lang/tools/make_territory_currencies.py lang/units/territory_currencies.tsv
"""

import argparse
import sys
from pathlib import Path

from babel import numbers
from babel.core import get_global

HEADER = """# The currency in use in each territory: ISO 3166 territory, tab, ISO 4217 currency code.
# Written by lang/tools/make_territory_currencies.py from CLDR (python3-babel); do not edit by hand.
"""


def table():
    rows = []
    for territory in sorted(get_global("territory_currencies")):
        if len(territory) != 2 or not territory.isalpha():
            continue  # the numeric regions of the world and its continents have no currency of their own
        current = numbers.get_territory_currencies(territory)
        if current:
            rows.append(f"{territory}\t{current[0]}\n")
    return HEADER + "".join(rows)


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("output", type=Path)
    args = parser.parse_args()
    text = table()
    temporary = args.output.with_name(args.output.name + ".new")
    try:
        temporary.write_text(text, encoding="utf-8")
        temporary.replace(args.output)
    except OSError as error:
        temporary.unlink(missing_ok=True)
        print(f"{args.output}: {error}", file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
