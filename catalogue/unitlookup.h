#pragma once

#include <QList>
#include <QString>

namespace quantaro {

class Rubric;
class UnitRecord;

/** What a typed unit word found in one category: one unit, several equally good candidates, or none. */
struct UnitLookup
{
    const UnitRecord* unit = nullptr;
    QList<const UnitRecord*> candidates; ///< set when the word is ambiguous; `unit` is then null

    bool ambiguous() const { return !candidates.isEmpty(); }
};

/** The symbol of a unit name: the text in the last parentheses that end the name ("km" of
 *  "kilometre (km)"), or empty. */
QString unitSymbol(const QString& name);

/** The name without its symbol: "kilometre" of "kilometre (km)", "mile (US survey)" of
 *  "mile (US survey) (mi)". */
QString nameWithoutSymbol(const QString& name);

/** Finds the unit a person means by a word, in this order, stopping at the first step that matches:
 *  the whole name (with or without its symbol, any case); the whole symbol (case as written, so "mm"
 *  and "Mm" differ; then any case when that names one unit); any text in parentheses; a beginning of a
 *  name that exactly one unit has. Several units at one step make the word ambiguous. Temperature
 *  symbols may be written without their degree sign ("C" for "°C"). */
UnitLookup lookupUnit(const Rubric& rubric, const QString& word);

} // namespace quantaro
