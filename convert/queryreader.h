#pragma once

#include "catalogue/rubric.h"
#include "catalogue/unitlookup.h"

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
/** Longest unit a query cuts out of two units written together without spaces ("公里英里"); a
 *  longer run of such text is no pair of units, and is not cut. */
inline constexpr qsizetype kQueryMaxUnspacedUnit = 40;

class Lexicon;

/** One reading of a query: a value to convert from one unit to another of one category. */
struct QueryAnswer
{
    int rubric = -1;
    const UnitRecord* from = nullptr;
    const UnitRecord* to = nullptr;
    QString valueText; ///< the value as typed ("12*2.54", "1,5")
    double value = 0;  ///< what the evaluator makes of it
    double result = 0; ///< the converted value, always finite
    /** Set when the answer is asked for in two units ("in ft and in"): `result` is then the whole
     *  number of the first unit and `rest` what remains, in this one. */
    const UnitRecord* toRest = nullptr;
    double rest = 0;
};

/** What a query says: nothing (not a conversion), one answer, or several equally good ones. */
struct QueryReading
{
    QList<QueryAnswer> answers;

    bool isAnswer() const { return !answers.isEmpty(); }
    bool ambiguous() const { return answers.size() > 1; }
};

/**
 * The words of every category of one catalogue (names, symbols and the lexicon's words, read for the
 * user's territory) with the lookup over them, built once; and the lexicon's joining words.
 */
class QueryIndex
{
public:
    explicit QueryIndex(const Catalogue& catalogue, const Lexicon* lexicon = nullptr, const QString& region = {});
    /** Whether word may name a unit of category rubric. */
    bool mayName(int rubric, const QString& word) const;
    UnitLookup lookup(int rubric, const QString& word) const;
    /** The words that join the two units of an answer asked for in two units ("and", "+"). */
    const QStringList& joiningWords() const { return m_joining; }
    /** The words a question may end with ("eder", "ですか"); none without a lexicon. */
    const QStringList& endWords() const { return m_end; }

private:
    std::array<RubricWords, kRubricCount> m_words;
    QStringList m_joining;
    QStringList m_end;
};

/**
 * Reads a typed query such as "5 mi in km", "100 usd eur" or "-40 °C °F": a value (a number or a
 * small expression, decimal point or comma), a unit, an optional connecting word, a second unit.
 * Units are found by the index's lookup in every category; both must be found in one category and,
 * when it has sub-categories, in one sub-category, so a word of several categories takes the one
 * that makes the pair convertible ("500 ml in oz" is a volume). A reading through a connecting word
 * is preferred to one without ("5 in in cm" converts inches); then readings whose two words are whole
 * words as written, then in another case, then beginnings, then candidates of an ambiguous word.
 * The value may be a sum of several units ("5 ft 10 in in cm") and the answer may be asked for in
 * two units joined by a joining word ("180 cm in ft and in", "ft+in"). A query that ends with a connecting word is
 * still being typed ("5 mi in" is no answer; "5 mi in in" converts to inches). A question's end is dropped first:
 * trailing question marks and one of the lexicon's end words ("eder", "吗"). In scripts written without spaces
 * (Chinese, Japanese) the connecting, joining and end words are found inside the text ("10公里等于多少英里"), and
 * two units written together without one are cut apart ("10公里英里"). Anything else (too long, control
 * characters, no value, no unit, a value or result that is not finite) reads as no answer. Hidden units are to be taken
 * out of the catalogue first (visibleCatalogue). Without an index the catalogue's names and symbols alone are read.
 */
QueryReading readQuery(QStringView query, const Catalogue& catalogue, const QStringList& connectingWords,
                       const QueryIndex* index = nullptr);

/** Fills the answer's result (and rest) from its value text and units; false when a value is not finite. */
bool convertAnswer(QueryAnswer& answer);

/** The sub-category a unit is listed under, or -1 in a category without sub-categories. */
int sousRubricOf(const Rubric& rubric, const UnitRecord& unit);

/** A category as the windows offer it: without its hidden units. */
Rubric visibleRubric(const Rubric& rubric);
/** The catalogue as the windows offer it: each category without its hidden units. */
Catalogue visibleCatalogue(const Catalogue& catalogue);

/** The answer's short text: "8.04672 km" (the target's symbol, or its name when it has none), or
 *  "5 ft 10.866142 in" in two units. With inFull the units are named by their whole catalogue names
 *  ("3.7854118 litre (L)"), as the candidates of an ambiguous query are, so that variants differ. */
QString answerTitle(const QueryAnswer& answer, int notation, int precision, bool inFull);
/** The answer's line: "5 mile = 8.04672 kilometre · Length"; with inFull the whole catalogue names. */
QString answerDescription(const QueryAnswer& answer, const Rubric& rubric, int notation, int precision,
                          bool inFull = false);

} // namespace quantaro
