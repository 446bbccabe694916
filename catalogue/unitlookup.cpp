#include "catalogue/unitlookup.h"

#include "catalogue/rubric.h"
#include "catalogue/unitrecord.h"

#include <algorithm>
#include <functional>

namespace quantaro {

namespace {

const QString kTemperatureCode = QStringLiteral("TMP");
const QChar kDegreeSign(0x00B0);

/** Every text in parentheses of a name: "US survey" and "mi" of "mile (US survey) (mi)". */
QStringList parenthesisedTexts(const QString& name)
{
    // Each "(" followed by text without parentheses up to a ")"; a lookup runs this on every unit of
    // a category, which a regular expression makes the slowest step of the desktop's search box.
    QStringList texts;
    qsizetype open = -1;
    for (qsizetype i = 0; i < name.size(); ++i) {
        if (name[i] == QLatin1Char('(')) {
            open = i;
        } else if (name[i] == QLatin1Char(')') && open >= 0) {
            texts.append(name.mid(open + 1, i - open - 1));
            open = -1;
        }
    }
    return texts;
}

using Matches = std::function<bool(const UnitRecord&)>;

QList<const UnitRecord*> unitsWhere(const Rubric& rubric, const Matches& matches)
{
    QList<const UnitRecord*> found;
    for (int i = 0; i < rubric.unitCount(); ++i) {
        if (matches(rubric.unit(i))) {
            found.append(&rubric.unit(i));
        }
    }
    return found;
}

/** Among units sharing a symbol, the plain one ("mile (mi)") is meant rather than its qualified
 *  variants ("mile (US survey) (mi)"): the variants say so in their names. Units that are all
 *  qualified ("gallon (US) (gal)", "gallon (imperial) (gal)") stay ambiguous. */
QList<const UnitRecord*> preferPlain(const QList<const UnitRecord*>& found)
{
    if (found.size() < 2) {
        return found;
    }
    QList<const UnitRecord*> plain;
    for (const UnitRecord* unit : found) {
        if (parenthesisedTexts(unit->name()).size() == 1) {
            plain.append(unit);
        }
    }
    return plain.size() == 1 ? plain : found;
}

/** The name before its first parenthesis: "gallon" of "gallon (US) (gal)" and of "gallon (US dry)". */
QString baseName(const QString& name)
{
    const qsizetype open = name.indexOf(QStringLiteral(" ("));
    return open < 0 ? name : name.left(open);
}

/** A word that names several variants of one unit ("gallon": US, imperial, US dry) means none of them
 *  on its own, unless one variant is the plain unit whose symbol the qualified ones share ("mile (mi)"
 *  beside "mile (US survey) (mi)"). A last parenthesis can be a qualifier ("US dry") as well as a
 *  symbol, so a name that drops it is only trusted when no other variant bears the same base name. */
QList<const UnitRecord*> variantsOf(const Rubric& rubric, const QString& word, const QList<const UnitRecord*>& found)
{
    const QList<const UnitRecord*> variants = unitsWhere(
        rubric, [&](const UnitRecord& unit) { return baseName(unit.name()).compare(word, Qt::CaseInsensitive) == 0; });
    if (variants.size() < 2) {
        return found;
    }
    QList<const UnitRecord*> plain;
    for (const UnitRecord* unit : variants) {
        const QString symbol = unitSymbol(unit->name());
        const bool shared = std::any_of(variants.begin(), variants.end(), [&](const UnitRecord* other) {
            return other != unit && unitSymbol(other->name()) == symbol;
        });
        if (parenthesisedTexts(unit->name()).size() == 1 && shared) {
            plain.append(unit);
        }
    }
    return plain.size() == 1 ? plain : variants;
}

UnitLookup outcome(const QList<const UnitRecord*>& found)
{
    UnitLookup lookup;
    if (found.size() == 1) {
        lookup.unit = found.front();
    } else if (found.size() > 1) {
        lookup.candidates = found;
    }
    return lookup;
}

QList<const UnitRecord*> bySymbol(const Rubric& rubric, const QString& symbol)
{
    QList<const UnitRecord*> found =
        unitsWhere(rubric, [&](const UnitRecord& unit) { return unitSymbol(unit.name()) == symbol; });
    if (found.isEmpty()) {
        const QList<const UnitRecord*> anyCase = unitsWhere(rubric, [&](const UnitRecord& unit) {
            return unitSymbol(unit.name()).compare(symbol, Qt::CaseInsensitive) == 0;
        });
        if (anyCase.size() == 1) {
            found = anyCase;
        }
    }
    return preferPlain(found);
}

} // namespace

QString nameWithoutSymbol(const QString& name)
{
    const QString symbol = unitSymbol(name);
    if (symbol.isEmpty()) {
        return name;
    }
    // " (" + symbol + ")" ends the name.
    constexpr int kSymbolDecoration = 3;
    return name.left(name.size() - symbol.size() - kSymbolDecoration);
}

QString unitSymbol(const QString& name)
{
    if (!name.endsWith(QLatin1Char(')'))) {
        return {};
    }
    const qsizetype open = name.lastIndexOf(QStringLiteral(" ("));
    if (open < 0) {
        return {};
    }
    const qsizetype start = open + 2;
    const QString symbol = name.mid(start, name.size() - 1 - start);
    return symbol.contains(QLatin1Char('(')) ? QString() : symbol;
}

UnitLookup lookupUnit(const Rubric& rubric, const QString& word)
{
    const QString text = word.trimmed();
    if (text.isEmpty()) {
        return {};
    }
    QList<const UnitRecord*> found = unitsWhere(rubric, [&](const UnitRecord& unit) {
        return unit.name().compare(text, Qt::CaseInsensitive) == 0 ||
               nameWithoutSymbol(unit.name()).compare(text, Qt::CaseInsensitive) == 0;
    });
    if (found.size() == 1 && found.front()->name().compare(text, Qt::CaseInsensitive) != 0) {
        found = variantsOf(rubric, text, found);
    }
    if (found.isEmpty()) {
        found = bySymbol(rubric, text);
    }
    if (found.isEmpty() && rubric.code() == kTemperatureCode && !text.startsWith(kDegreeSign)) {
        found = bySymbol(rubric, kDegreeSign + text);
    }
    if (found.isEmpty()) {
        found = preferPlain(unitsWhere(rubric, [&](const UnitRecord& unit) {
            return parenthesisedTexts(unit.name()).contains(text, Qt::CaseInsensitive);
        }));
    }
    if (found.isEmpty()) {
        found = unitsWhere(rubric,
                           [&](const UnitRecord& unit) { return unit.name().startsWith(text, Qt::CaseInsensitive); });
    }
    return outcome(found);
}

} // namespace quantaro
