#!/usr/bin/python3
"""Writes lang/units/territory_currencies.tsv: the currencies in legal tender in each territory on the
reference date of the currency snapshot (make_currencies.REFERENCE_DATE), from CLDR through Debian's
python3-babel. The conversion window opens its currencies on the currency of the user's territory
when the catalogue has that currency (see lang/units/firstpairs.tsv); make_currencies.py takes the
territories each currency is tender in, and so its words by territory, from the same table.

For a territory with several legal tenders in use, CLDR lists the main one first: it is the second
column, the one the first pairs take; the others follow in a third column, separated by spaces.

Run with Debian's /usr/bin/python3 (it has babel):
    /usr/bin/python3 lang/tools/make_territory_currencies.py lang/units/territory_currencies.tsv
"""

import argparse
import sys
from pathlib import Path

from babel import Locale, numbers

from make_currencies import REFERENCE_DATE

HEADER = """# The currencies in legal tender in each territory: ISO 3166 territory, tab, the main ISO 4217 currency
# code, and where there are more, tab and the others separated by spaces.
# Written by lang/tools/make_territory_currencies.py from CLDR (python3-babel); do not edit by hand.
"""


def table():
    rows = []
    for territory in sorted(Locale("en").territories):
        if len(territory) != 2 or not territory.isalpha():
            continue  # the numeric regions of the world and its continents have no currency of their own
        tender = numbers.get_territory_currencies(territory, REFERENCE_DATE, tender=True, non_tender=False)
        if tender:
            others = f"\t{' '.join(tender[1:])}" if len(tender) > 1 else ""
            rows.append(f"{territory}\t{tender[0]}{others}\n")
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
