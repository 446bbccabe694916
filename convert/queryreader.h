#pragma once

#include "catalogue/rubric.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>
#include <array>

namespace quantaro {

class UnitRecord;

/** A query longer than this is no conversion a person typed: it is refused before any reading. */
inline constexpr qsizetype kQueryMaxLength = 200;
/** Most words after the value; a unit name has a handful, the connecting word one. */
inline constexpr int kQueryMaxWords = 12;
/** Most answers a query gives; more equally good readings are cut to this many. */
inline constexpr int kQueryMaxAnswers = 3;

/** The words that join the two units in every language: "to", "in", "as", "->", "=". */
QStringList englishConnectingWords();
/** The connecting words of a language module's language (its own name, "Français", "Deutsch"),
 *  added to the English ones; an unknown language adds none. */
QStringList connectingWordsOf(const QString& language);

/** One reading of a query: a value to convert from one unit to another of one category. */
struct QueryAnswer
{
    int rubric = -1;
    const UnitRecord* from = nullptr;
    const UnitRecord* to = nullptr;
    QString valueText; ///< the value as typed ("12*2.54", "1,5")
    double value = 0;  ///< what the evaluator makes of it
    double result = 0; ///< the converted value, always finite
};

/** What a query says: nothing (not a conversion), one answer, or several equally good ones. */
struct QueryReading
{
    QList<QueryAnswer> answers;

    bool isAnswer() const { return !answers.isEmpty(); }
    bool ambiguous() const { return answers.size() > 1; }
};

/**
 * What lets a reader over one catalogue skip the categories a word cannot name: per category, every
 * unit's name, symbol (also without a degree sign) and text in parentheses, case-folded and sorted.
 * A word that begins none of them finds no unit there (lookupUnit matches nothing else).
 */
class QueryIndex
{
public:
    explicit QueryIndex(const Catalogue& catalogue);
    /** Whether word may name a unit of category rubric. */
    bool mayName(int rubric, const QString& word) const;

private:
    std::array<QStringList, kRubricCount> m_keys;
};

/**
 * Reads a typed query such as "5 mi in km", "100 usd eur" or "-40 °C °F": a value (a number or a
 * small expression, decimal point or comma), a unit, an optional connecting word, a second unit.
 * Units are found by lookupUnit in every category; both must be found in one category and, when it
 * has sub-categories, in one sub-category. A reading through a connecting word is preferred to one
 * without ("5 in in cm" converts inches), and units named without doubt to candidates of an
 * ambiguous word. A query that ends with a connecting word is still being typed ("5 mi in" is no
 * answer; "5 mi in in" converts to inches). Anything else (too long, control characters, no value, no unit, a value or
 * result that is not finite) reads as no answer. Hidden units are to be taken out of the catalogue first
 * (visibleCatalogue). An index of the catalogue (built once) makes the reading quicker, never different.
 */
QueryReading readQuery(QStringView query, const Catalogue& catalogue, const QStringList& connectingWords,
                       const QueryIndex* index = nullptr);

/** The sub-category a unit is listed under, or -1 in a category without sub-categories. */
int sousRubricOf(const Rubric& rubric, const UnitRecord& unit);

/** The catalogue as the windows offer it: each category without its hidden units. */
Catalogue visibleCatalogue(const Catalogue& catalogue);

/** The answer's short text: "8.04672 km" (the target's symbol, or its name when it has none). With
 *  inFull the target unit is named in full ("8.04672 kilometre"), as the candidates of an ambiguous
 *  query are. */
QString answerTitle(const QueryAnswer& answer, int notation, int precision, bool inFull);
/** The answer's line: "5 mile = 8.04672 kilometre · Length". */
QString answerDescription(const QueryAnswer& answer, const Rubric& rubric, int notation, int precision);

} // namespace quantaro
