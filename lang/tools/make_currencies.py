#!/usr/bin/python3
"""Writes the currencies of the catalogue: their rows of lang/units/factors.tsv (tag, built-in rate)
and of every language's unitnames.tsv, and keeps the former names of renamed currencies in
lang/<language>/res/formernames.json; lang/tools/make_lexicon.py takes the currencies' words from
currency_words() below.

The currencies are those that CLDR (through Debian's python3-babel) gives as legal tender of some
territory on REFERENCE_DATE, CLDR's supplemental currency data following ISO 4217, less those the rate
snapshot has no rate for (a currency without a rate cannot convert). Funds, precious metals, the
testing and no-currency codes are no tender anywhere and so never listed. The names, plural forms,
territory names and local symbols come from CLDR, the territories each currency is tender in from
lang/units/territory_currencies.tsv (make_territory_currencies.py); the rates from lang/units/currency_rates.tsv.

The currencies of the first release come first, in their order (stored choices and the base currency
at the top rely on it); the others follow sorted by code, which mostly begins like the country's name.

Run with Debian's /usr/bin/python3 (it has babel), from anywhere:
    /usr/bin/python3 lang/tools/make_currencies.py            # rewrites the tables in place
    /usr/bin/python3 lang/tools/make_currencies.py --out DIR  # writes them under DIR instead
"""

import argparse
import datetime
import functools
import json
import re
import sys
import unicodedata
from decimal import Decimal, getcontext
from pathlib import Path

import babel
import languages
from babel import Locale, numbers
from babel.localedata import locale_identifiers

ROOT = Path(__file__).resolve().parent.parent

# The locales that write the symbols that need no territory ("$" for USD, "€"): every language's words
# take them, so that adding a language leaves the others' words as they are.
SYMBOL_LOCALES = ["en", "fr", "de"]

# The day on which "in current use" is judged.
REFERENCE_DATE = datetime.date(2026, 12, 10)

# The catalogue's currencies before the long list, in their order: EUR first is the base.
FIRST_CURRENCIES = ["EUR", "USD", "JPY", "BGN", "CZK", "DKK", "GBP", "HUF", "PLN", "RON", "SEK", "CHF",
                    "ISK", "NOK", "TRY", "AUD", "BRL", "CAD", "CNY", "HKD", "IDR", "ILS", "INR", "KRW",
                    "MXN", "MYR", "NZD", "PHP", "SGD", "THB", "ZAR"]

BASE_CURRENCY = "EUR"

# Significant digits of a built-in rate: the reciprocal of a snapshot value of six to ten digits.
RATE_DIGITS = 15

# Longest unit name the unit file takes.
NAME_MAX_LENGTH = 63

BEGIN_MARK = "# --- Currencies: written by lang/tools/make_currencies.py, do not edit by hand ---"
END_MARK = "# --- End of the currencies ---"

RATES = ROOT / "units" / "currency_rates.tsv"
TERRITORY_CURRENCIES = ROOT / "units" / "territory_currencies.tsv"


def read_rates():
    """(source lines, date, {code: units per euro}) of the snapshot table."""
    source, date, rates = [], None, {}
    for line in RATES.read_text(encoding="utf-8").splitlines():
        if line.startswith("# source:"):
            source.append(line[len("# source:"):].strip())
        elif line.startswith("# date:"):
            date = line[len("# date:"):].strip()
        elif line.strip() and not line.startswith("#"):
            fields = line.split("\t")
            if len(fields) != 2 or not re.fullmatch(r"[A-Z]{3}", fields[0]) or \
                    not re.fullmatch(r"[0-9]+(\.[0-9]+)?", fields[1]) or Decimal(fields[1]) == 0:
                sys.exit(f"{RATES}: not a code, a tab and a rate above zero: {line!r}")
            rates[fields[0]] = Decimal(fields[1])
    if date is None or not source:
        sys.exit(f"{RATES}: no '# date:' or '# source:' line")
    return source, date, rates


@functools.cache
def territory_tenders():
    """{territory: [currency codes in legal tender there on REFERENCE_DATE, the main one first]}, read
    from TERRITORY_CURRENCIES, which make_territory_currencies.py writes from CLDR."""
    result = {}
    for line in TERRITORY_CURRENCIES.read_text(encoding="utf-8").splitlines():
        if not line or line.startswith("#"):
            continue
        fields = line.split("\t")
        result[fields[0]] = [fields[1]] + (fields[2].split(" ") if len(fields) > 2 else [])
    return result


def tender_territories():
    """{currency code: [territories where it is legal tender on REFERENCE_DATE]}, territories sorted."""
    result = {}
    for territory, codes in sorted(territory_tenders().items()):
        for code in codes:
            result.setdefault(code, []).append(territory)
    return result


def catalogue():
    """[(code, territories)] of the catalogue's currencies in their order, and the codes left out."""
    _, _, rates = read_rates()
    tender = tender_territories()
    missing = [code for code in FIRST_CURRENCIES if code not in tender or code not in rates]
    if missing:
        sys.exit(f"the first currencies {missing} are no tender currencies with a rate any more")
    others = sorted(code for code in tender if code not in FIRST_CURRENCIES and code in rates)
    left_out = sorted(code for code in tender if code not in rates)
    return [(code, tender[code]) for code in FIRST_CURRENCIES + others], left_out


def unit_key(code):
    return "cny." + code.lower()


def display_name(code, language):
    """The catalogue name: CLDR's name as written inside a sentence, then the code as the symbol.
    English display names are title case ("Nigerian Naira"); its count forms are not."""
    if language == "en":
        name = numbers.get_currency_name(code, count=1, locale=language)
    else:
        name = numbers.get_currency_name(code, locale=language)
    if name == code:
        sys.exit(f"CLDR has no {language} name for {code}")
    full = f"{name} ({code})"
    if len(full) > NAME_MAX_LENGTH or ";" in full:
        sys.exit(f"the {language} name of {code} does not fit the unit file: {full}")
    return full


def rate_text(units_per_euro):
    """The euro value of one unit, in plain decimal notation with RATE_DIGITS significant digits."""
    getcontext().prec = RATE_DIGITS
    value = Decimal(1) / units_per_euro
    text = format(value, "f")
    if "." in text:
        text = text.rstrip("0").rstrip(".")
    return text


# --- The tables -----------------------------------------------------------------------------------------

def replace_block(path, block, out):
    """Writes path (under out, if given) with the lines between BEGIN_MARK and END_MARK replaced."""
    lines = path.read_text(encoding="utf-8").splitlines()
    try:
        begin, end = lines.index(BEGIN_MARK), lines.index(END_MARK)
    except ValueError:
        sys.exit(f"{path} lacks the lines {BEGIN_MARK!r} and {END_MARK!r}")
    old = lines[begin + 1:end]
    new = lines[:begin + 1] + block + lines[end:]
    write(path, "\n".join(new) + "\n", out)
    return old


def write(path, text, out):
    target = path if out is None else out / path.relative_to(ROOT)
    target.parent.mkdir(parents=True, exist_ok=True)
    temporary = target.with_name(target.name + ".part")
    temporary.write_text(text, encoding="utf-8")
    temporary.replace(target)


def factor_block(currencies, left_out, rates, source, date):
    block = [
        "* Base: euro. Rates are the euro value of one unit (toBase $*rate, fromBase $/rate), as rebuilt "
        "from stored rates.",
        f"* Built-in rates of every currency: one snapshot of {date} (units per euro, inverted), from",
    ]
    block += [f"* {line}" for line in source]
    block += [
        f"* The currencies are those in legal tender on {REFERENCE_DATE.isoformat()} by CLDR (python3-babel "
        f"{babel.__version__}) that the snapshot has a rate for; left out for want of a rate: {' '.join(left_out)}.",
    ]
    for code, _ in currencies:
        key = unit_key(code)
        if code == BASE_CURRENCY:
            block.append(f"{key}\tCNY\t$\t$\t{code}")
            continue
        rate = rate_text(rates[code])
        block.append(f"{key}\tCNY\t$/{rate}\t$*{rate}\t{code}")
    return block


def update_former_names(language, old_rows, new_rows, out):
    """Adds "old name": "new name" for each renamed currency, so that a stored choice still finds it."""
    path = ROOT / language / "res" / "formernames.json"
    former = json.loads(path.read_text(encoding="utf-8")) if path.exists() else {}
    old_names = dict(row.split("\t", 1) for row in old_rows if "\t" in row)
    new_names = dict(row.split("\t", 1) for row in new_rows)
    for key, new in new_names.items():
        old = old_names.get(key)
        if old is None or old == new:
            continue
        for earlier, current in list(former.items()):
            if current == old:
                former[earlier] = new
        former[old] = new
    text = json.dumps(former, ensure_ascii=False, indent=2) + "\n"
    write(path, text, out)


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--out", type=Path, help="write the tables under this folder, not in place")
    args = parser.parse_args()
    source, date, rates = read_rates()
    currencies, left_out = catalogue()
    replace_block(ROOT / "units" / "factors.tsv", factor_block(currencies, left_out, rates, source, date), args.out)
    for language in languages.codes():
        rows = [f"{unit_key(code)}\t{display_name(code, language)}" for code, _ in currencies]
        old = replace_block(ROOT / language / "unitnames.tsv", rows, args.out)
        update_former_names(language, old, rows, args.out)
    print(f"{len(currencies)} currencies; tender but without a rate: {' '.join(left_out)}", file=sys.stderr)


# --- Words for the lexicon ------------------------------------------------------------------------------

# The names of each language come from the CLDR locales of its language.json ("cldr_locales"), as
# lang/tools/make_lexicon.py takes them for units. Where the noun stands in a currency's name is its
# "noun_first": last in English and German ("Nigerian naira", "US-Dollar"), first in French ("naira
# nigérian").

# Numbers that between them fall in every plural category of a language, tried in this order: the
# forms come in the order of the first number of each category (one, other, many in French; one,
# few, many, other in Russian).
PLURAL_SAMPLES = [1, 2, 1000000, 5, 1.5]

# Adjectives that stand before the noun where the noun comes first ("nouveau dollar taïwanais").
LEADING_ADJECTIVES = {"nouveau", "nouveaux", "nouvelle", "nouvelles"}

_SYMBOLS = None


def local_symbols():
    """{(currency, territory): {symbols}}: the symbol each locale of a territory writes for a currency,
    in any language ("$" for CAD under en_CA and fr_CA, "¥" for CNY under zh_Hans_CN). Only symbols
    a person can type on a Latin keyboard or with a currency sign are kept."""
    global _SYMBOLS
    if _SYMBOLS is None:
        _SYMBOLS = {}
        for identifier in locale_identifiers():
            locale = Locale.parse(identifier)
            if not locale.territory:
                continue
            for code in territory_tenders().get(locale.territory, []):
                symbol = locale.currency_symbols.get(code)
                if symbol and symbol != code and typeable(symbol):
                    _SYMBOLS.setdefault((code, locale.territory), set()).add(symbol)
        # The language's own locale writes the symbols that need no territory ("$" for USD, "€").
        for language in SYMBOL_LOCALES:
            locale = Locale.parse(language)
            for code, territories in tender_territories().items():
                symbol = locale.currency_symbols.get(code)
                if symbol and symbol != code and typeable(symbol):
                    for territory in territories:
                        _SYMBOLS.setdefault((code, territory), set()).add(symbol)
    return _SYMBOLS


def typeable(symbol):
    """Whether people type the symbol: currency signs and Latin letters, but no lone letter ("K",
    "R"), which names units of other categories (kelvin) more often than money."""
    if len(symbol) == 1 and symbol.isascii() and symbol.isalpha():
        return False
    return all(c.isascii() and (c.isalpha() or c in "$./") or unicodedata.category(c) == "Sc"
               for c in symbol) and any(not c.isascii() or c.isalpha() or c == "$" for c in symbol)


def noun(name, language):
    """The currency's own noun in one of its names: "naira" of "Nigerian naira", "Dollar" of
    "US-Dollar", "franc" of "franc CFA (BCEAO)"."""
    bare = re.sub(r"\s*\([^)]*\)", "", name).strip()
    words = [word for word in bare.split(" ") if word not in LEADING_ADJECTIVES]
    # A German name may end in its country ("Konvertible Mark Bosnien und Herzegowina"): the noun
    # stands before the country's first word.
    if language == "de" and "und" in words:
        words = words[:max(1, words.index("und") - 1)]
    word = words[0] if languages.section(language, "noun_first") else words[-1]
    return word.split("-")[-1] if language == "de" else word


def plural_samples(locale):
    """One number of each plural category of the locale, from PLURAL_SAMPLES."""
    rule = Locale.parse(locale).plural_form
    samples = {}
    for number in PLURAL_SAMPLES:
        samples.setdefault(rule(number), number)
    return list(samples.values())


def currency_words(language):
    """{key: (regions, words)} of every currency: CLDR's names in each plural form, the bare noun
    in each form ("naira", "nairas", "dollar"), the names of the territories it is tender in and the
    symbols their locales write. The regions are those territories, so that a shared word ("dollar",
    "$") means the territory's own currency. A word that still names two currencies in one territory
    is left to neither (the lookup then lists both)."""
    currencies, _ = catalogue()
    codes = {code for code, _ in currencies}
    territory_names = Locale.parse(language).territories
    symbols = local_symbols()
    result = {}
    for code, territories in currencies:
        words = []
        for locale in languages.section(language, "cldr_locales"):
            forms = [numbers.get_currency_name(code, count=count, locale=locale)
                     for count in plural_samples(locale)]
            forms.append(numbers.get_currency_name(code, locale=locale))
            words += forms
            words += [noun(form, language) for form in forms]
        for territory in territories:
            if territory in territory_names:
                words.append(territory_names[territory])
            words += sorted(symbols.get((code, territory), ()))
        folded = {}
        for word in words:
            if word != code and word not in codes:
                folded.setdefault(word.casefold(), word)
        result[unit_key(code)] = (territories, list(folded.values()))
    # Words that two currencies of one territory share decide nothing there: they are dropped.
    owners = {}
    for key, (regions, words) in result.items():
        for word in words:
            owners.setdefault(word.casefold(), []).append(key)
    undecided = set()
    for word, keys in owners.items():
        seen = set()
        for key in keys:
            regions = set(result[key][0])
            if regions & seen:
                undecided.add(word)
            seen |= regions
    return {key: (regions, [w for w in words if w.casefold() not in undecided])
            for key, (regions, words) in result.items()}


if __name__ == "__main__":
    main()
