#!/usr/bin/python3
"""Writes lang/<language>/lexicon.tsv: every unit of lang/units/factors.tsv with the words people type for
it, so that "10 miles to km" or "3 pieds en cm" finds its units.

A unit's words are, without repeats and in this order:
 1. the unit names of CLDR (through Debian's python3-babel) for the units lang/units/cldr_units.tsv maps:
    the long forms of every plural category and the short forms, without their number;
 2. for a unit CLDR does not have, the plural of its catalogue name by the language's regular rule
    (below), when no other unit of its category bears the same name (the plural of a shared name is a
    shared word, which the hand table gives together with the regions that decide it);
 3. for English, the American spelling of every name and word in -metre or -litre ("gigameter");
 4. for a currency, instead of 1 to 3, the words of lang/tools/make_currencies.py: CLDR's names in each
    plural form, the bare noun ("naira", "dollars"), the names of the territories it is tender in and
    their local symbols ("$", "£"), with those territories as its regions;
 5. the hand words of lang/<language>/words.tsv, which also give the unit's regions. A hand word
    written "-word" is no word of the unit: it takes a CLDR word away from a unit whose users mean
    another unit by it (French "ch" is the metric horsepower, not CLDR's mechanical one).
The "@" rows of words.tsv (the words that join units in a query) are copied as they are.

The table is refused when a word names two units of one category without regions that decide between
them (see check()); a unit's catalogue symbol counts as one of its words there.

Run with Debian's /usr/bin/python3 (it has babel):
    /usr/bin/python3 lang/tools/make_lexicon.py lang/en --language en
"""

import argparse
import re
import sys
import unicodedata
from pathlib import Path

from babel import Locale

import languages
import make_currencies

ROOT = Path(__file__).resolve().parent.parent

# The CLDR locales whose unit names each language takes are its language.json's "cldr_locales": British
# spellings beside American ones for English, the Swiss "Fuss" beside "Fuß" for German. fr_CA adds nothing
# a French user types that fr lacks.

NO_BREAK_SPACES = {"\u00a0": " ", "\u202f": " ", "\u2009": " "}

SPECIAL_ROWS = ["@connect", "@and", "@square", "@cubic", "@per", "@end"]

# Spellings by rule: British ones in the catalogue's names, their American twins as words.
SPELLINGS = {"en": [("metre", "meter"), ("litre", "liter")]}


def read_rows(path):
    """The rows of a tab-separated table, without "#" comments and blank lines."""
    rows = []
    for line in path.read_text(encoding="utf-8").splitlines():
        if not line.strip() or line.startswith("#"):
            continue
        rows.append(line.split("\t"))
    return rows


def read_units():
    """(key, category code) of every unit of factors.tsv, in its order."""
    units = []
    for line in (ROOT / "units" / "factors.tsv").read_text(encoding="utf-8").splitlines():
        if not line.strip() or line[0] in "#*":
            continue
        fields = line.split("\t")
        units.append((fields[0], fields[1]))
    return units


def catalogue_symbol(name):
    """The text in the last parentheses that end a name ("gal" of "gallon (US) (gal)"), as the lookup
    reads it, or None."""
    match = re.search(r" \(([^()]*)\)$", name)
    return match.group(1) if match else None


def base_name(name):
    """The name before its first parenthesis: "gallon" of "gallon (US) (gal)"."""
    return name.split(" (", 1)[0]


def clean(pattern):
    """A CLDR pattern without its number and spacing: "{0} ft" -> "ft"; None when no letter is left."""
    text = pattern
    for space, plain in NO_BREAK_SPACES.items():
        text = text.replace(space, plain)
    text = text.replace("{0}", "").strip()
    text = re.sub(r"\s+", " ", text)
    if not any(c.isalpha() for c in text):
        return None
    return text


def cldr_words(language, cldr_id):
    """The long forms of every plural category, then the short forms, of one CLDR unit."""
    words = []
    for width in ("long", "short"):
        for loc in languages.section(language, "cldr_locales"):
            patterns = Locale.parse(loc)._data["unit_patterns"].get(cldr_id)
            if patterns is None:
                sys.exit(f"CLDR ({loc}) has no unit {cldr_id}")
            if width not in patterns:
                continue
            forms = patterns[width]
            for count in forms.keys():
                if count == "per" or count.startswith("_"):
                    continue
                word = clean(forms[count])
                if word:
                    words.append(word)
    return words


# --- Regular plurals of the catalogue names, for units CLDR lacks -------------------------------------

ENGLISH_IRREGULAR = {"foot": "feet", "millennium": "millennia", "radius": "radii", "Mach": "Mach"}


def english_word_plural(word):
    if word in ENGLISH_IRREGULAR:
        return ENGLISH_IRREGULAR[word]
    if re.search(r"(s|x|z|ch|sh)$", word):
        return word + "es"
    if re.search(r"[^aeiou]y$", word):
        return word[:-1] + "ies"
    return word + "s"


def english_plural(name):
    """By rule: "X per Y" and "X of Y" pluralise X, "degree X" -> "degrees X", otherwise the last word."""
    for joint in (" per ", " of "):
        if joint in name:
            head, tail = name.split(joint, 1)
            return english_plural(head) + joint + tail
    if name.startswith("degree "):
        return "degrees " + name[len("degree "):]
    words = name.split(" ")
    last = words[-1]
    # "light-year" -> "light-years", "kilowatt-hour" -> "kilowatt-hours": the last part takes it.
    parts = last.split("-")
    parts[-1] = english_word_plural(parts[-1])
    words[-1] = "-".join(parts)
    return " ".join(words)


FRENCH_ADJECTIVES = {"carré", "carrée", "cube", "marin", "marine", "solaire", "terrestre", "longue",
                     "courte", "long", "court", "métrique", "circulaire", "astronomique", "synodique",
                     "bissextile", "tropique", "sidérale", "sidéral", "scandinave"}


def french_word_plural(word):
    if re.search(r"[sxz]$", word):
        return word
    if word.endswith("al"):
        return word[:-2] + "aux"
    if word.endswith("eau") or word.endswith("eu"):
        return word + "x"
    return word + "s"


def french_plural(name):
    """By rule: the first word takes the plural ("mètre par seconde" -> "mètres par seconde",
    "tonne de TNT" -> "tonnes de TNT"); an adjective after it agrees ("mille marin" -> "milles marins");
    a hyphenated compound pluralises its first part ("année-lumière" -> "années-lumière")."""
    words = name.split(" ")
    first = words[0]
    if "-" in first:
        head, rest = first.split("-", 1)
        words[0] = french_word_plural(head) + "-" + rest
    else:
        words[0] = french_word_plural(first)
    if len(words) > 1 and words[1] in FRENCH_ADJECTIVES:
        words[1] = french_word_plural(words[1])
    return " ".join(words)


# German measure nouns mostly keep their singular after a number ("5 Meter", "3 Liter"); the feminine
# nouns in -e take -n by rule (Meile -> Meilen, Sekunde -> Sekunden, Tonne -> Tonnen). These few take
# another ending, found in any compound they end:
GERMAN_IRREGULAR = {"Tag": "Tage", "Jahr": "Jahre", "Monat": "Monate", "Jahrzehnt": "Jahrzehnte",
                    "Jahrhundert": "Jahrhunderte", "Jahrtausend": "Jahrtausende", "Woche": "Wochen"}


# Measure nouns in -e that are not feminine (mostly English loans) keep their singular:
GERMAN_UNCHANGED = ("joule", "shake", "hartree", "stone", "league", "force", "momme", "line")


def german_word_plural(word):
    for singular, plural in GERMAN_IRREGULAR.items():
        if word == singular:
            return plural
        if word.endswith(singular.lower()):
            return word[: len(word) - len(singular)] + plural.lower()
    if word.lower().endswith(GERMAN_UNCHANGED):
        return word
    if word.endswith("e"):
        return word + "n"
    return word


def german_plural(name):
    """By rule: the head noun before "pro" or the last word ("Meile pro Stunde" -> "Meilen pro Stunde",
    "synodischer Monat" -> "synodische Monate" is left out: an adjective would need its own rule)."""
    if " pro " in name:
        head, tail = name.split(" pro ", 1)
        return german_plural(head) + " pro " + tail
    words = name.split(" ")
    # "Grad Celsius": the scale's name stays; a lower-case first word is an adjective or a number.
    if len(words) > 1 and (words[0][0].islower() or words[0] == "Grad"):
        return name
    words[-1] = german_word_plural(words[-1])
    return " ".join(words)


# A language without a rule here takes the plurals of the units CLDR lacks from its words.tsv.
PLURALS = {"en": english_plural, "fr": french_plural, "de": german_plural}


# --- The table ---------------------------------------------------------------------------------------

def read_hand_words(language, known_keys):
    """key -> (regions, words) of words.tsv."""
    hand = {}
    for fields in read_rows(ROOT / language / "words.tsv"):
        if len(fields) != 3:
            sys.exit(f"lang/{language}/words.tsv: not key, regions, words: {fields}")
        key, regions, words = fields
        if key not in known_keys and key not in SPECIAL_ROWS:
            sys.exit(f"lang/{language}/words.tsv: {key} is no unit of lang/units/factors.tsv")
        if key in hand:
            sys.exit(f"lang/{language}/words.tsv: {key} twice")
        hand[key] = (regions.split(), [w.strip() for w in words.split("|") if w.strip()])
    return hand


def build(language):
    units = read_units()
    keys = {key for key, _ in units}
    names = dict((row[0], row[1]) for row in read_rows(ROOT / language / "unitnames.tsv"))
    cldr = {}
    for key, cldr_id in read_rows(ROOT / "units" / "cldr_units.tsv"):
        if key not in keys:
            sys.exit(f"lang/units/cldr_units.tsv: {key} is no unit of lang/units/factors.tsv")
        cldr[key] = cldr_id
    hand = read_hand_words(language, keys)
    currencies = make_currencies.currency_words(language)
    base_count = {}
    for key, code in units:
        base = base_name(names[key])
        base_count[(code, base)] = base_count.get((code, base), 0) + 1

    rows = []
    for key, code in units:
        words = []
        if key in currencies:
            regions, words = currencies[key]
            hand_regions, extra = hand.get(key, ([], []))
            removed = {word[1:] for word in extra if word.startswith("-")}
            words = words + [word for word in extra if not word.startswith("-")]
            unique = [word for word in dict.fromkeys(words) if word not in removed]
            rows.append((key, code, hand_regions or regions, unique))
            continue
        if key in cldr:
            words += cldr_words(language, cldr[key])
        else:
            base = base_name(names[key])
            if base_count[(code, base)] == 1 and "," not in base:
                plural = PLURALS.get(language, lambda name: name)(base)
                if plural != base:
                    words.append(plural)
        base = base_name(names[key])
        if base_count[(code, base)] == 1:
            # American spellings of every name in -metre and -litre, which CLDR gives only for some.
            for word in [base] + words:
                for british, american in SPELLINGS.get(language, []):
                    if british in word:
                        words.append(word.replace(british, american))
        regions, extra = hand.get(key, ([], []))
        removed = {word[1:] for word in extra if word.startswith("-")}
        words += [word for word in extra if not word.startswith("-")]
        unique = [word for word in dict.fromkeys(words) if word not in removed]
        rows.append((key, code, regions, unique))
    specials = [(key, hand[key][1]) for key in SPECIAL_ROWS if key in hand]
    return rows, specials, names


# Parenthesised texts that end a name but qualify it rather than abbreviate it ("US", "angle"): the
# lookup reads them as symbols too, but nobody types them for one unit.
def is_qualifier(text):
    # Chinese, Japanese and Korean names write their qualifiers in their own script ("尺 (日本)").
    if any(unicodedata.name(c, "").startswith(("CJK", "HIRAGANA", "KATAKANA", "HANGUL")) for c in text):
        return True
    if text == "US" or any(c in text for c in " ,'"):
        return True
    return text.isalpha() and len(text) >= 4 and text[1:].islower()


def check(rows, names):
    """The rule the build enforces: in one category a word (case as written) may name two or more units
    only when each has regions and no region (nor "*") appears in two of them. A catalogue symbol is no
    word of another unit, and a symbol that several units share needs a word of the table to decide it,
    unless one of them is the plain unit that the lookup already prefers ("mile (mi)" beside
    "mile (US survey) (mi)"). Returns the faults."""
    region_of = {key: regions for key, _, regions, _ in rows}
    owners = {}
    for key, code, regions, words in rows:
        for word in words:
            owners.setdefault((code, word), set()).add(key)
    symbol_owners = {}
    for key, code, _, _ in rows:
        symbol = catalogue_symbol(names[key])
        if symbol and not is_qualifier(symbol):
            symbol_owners.setdefault((code, symbol), set()).add(key)
    faults = []
    for (code, word), keys in sorted(owners.items()):
        if len(keys) < 2:
            continue
        seen = []
        fault = any(not region_of[k] for k in keys)
        for k in keys:
            for region in region_of[k]:
                fault = fault or region in seen
                seen.append(region)
        if fault:
            faults.append(f"{code} \"{word}\": " + ", ".join(
                f"{k} [{' '.join(region_of[k])}]" for k in sorted(keys)))
    for (code, symbol), keys in sorted(symbol_owners.items()):
        word_keys = owners.get((code, symbol), set())
        if word_keys and not word_keys & keys:
            faults.append(f"{code} \"{symbol}\" is the symbol of " + ", ".join(sorted(keys)) +
                          " but a word of " + ", ".join(sorted(word_keys)))
        if len(keys) < 2 or word_keys:
            continue
        plain = [k for k in keys if names[k].count("(") == 1]
        if len(plain) != 1:
            faults.append(f"{code} symbol \"{symbol}\" of " + ", ".join(sorted(keys)) +
                          ": no word of the table says which is meant")
    return faults


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("out", type=Path, help="folder to write lexicon.tsv into")
    parser.add_argument("--language", required=True, choices=languages.codes())
    args = parser.parse_args()
    rows, specials, names = build(args.language)
    faults = check(rows, names)
    if faults:
        sys.exit(f"lang/{args.language}: words naming several units of one category with no region "
                 "to decide:\n  " + "\n  ".join(faults))
    lines = [
        f"# Generated by lang/tools/make_lexicon.py (/usr/bin/python3 lang/tools/make_lexicon.py "
        f"lang/{args.language} --language {args.language}): do not edit, edit its sources.",
        f"# From lang/units/factors.tsv, lang/{args.language}/unitnames.tsv, the CLDR unit names of "
        f"lang/units/cldr_units.tsv (locales {' '.join(languages.section(args.language, 'cldr_locales'))}) and "
        f"lang/{args.language}/words.tsv.",
        "# key, tab, regions (where the unit is what words it shares mean), tab, words separated by \"|\".",
    ]
    for key, words in specials:
        lines.append(f"{key}\t\t{'|'.join(words)}")
    for key, _, regions, words in rows:
        lines.append(f"{key}\t{' '.join(regions)}\t{'|'.join(words)}")
    args.out.mkdir(parents=True, exist_ok=True)
    (args.out / "lexicon.tsv").write_text("\n".join(lines) + "\n", encoding="utf-8")


if __name__ == "__main__":
    main()
