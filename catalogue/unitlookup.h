#pragma once

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>
#include <utility>
#include <vector>

namespace quantaro {

class Lexicon;
class Rubric;
class UnitRecord;

/** How well a word named what it found, best first. */
enum class UnitMatch
{
    Named,     ///< the whole word as written: a name, a symbol, a word of the lexicon, a qualifier
    AnyCase,   ///< the whole word in another case ("KM", "ml" for "mL")
    Beginning, ///< the beginning of a word that only one unit has
    None
};

/** What a typed unit word found in one category: one unit, several equally good candidates, or none. */
struct UnitLookup
{
    const UnitRecord* unit = nullptr;
    QList<const UnitRecord*> candidates; ///< set when the word is ambiguous; `unit` is then null
    UnitMatch match = UnitMatch::None;

    bool ambiguous() const { return !candidates.isEmpty(); }
};

/** A word as lookups compare it without regard to case: case folded, with the Turkish dotted capital
 *  "İ" and dotless "ı" taken as "i" (simple case folding leaves "İ" alone, so "İNÇ" would miss "inç",
 *  and people without a Turkish keyboard type "i" for "ı"). */
QString foldedWord(QStringView word);

/** The symbol of a unit name: the text in the last parentheses that end the name ("km" of
 *  "kilometre (km)"), or empty. */
QString unitSymbol(const QString& name);

/** What stands beside a value of the unit: its symbol ("km"), or its whole name when it has none or
 *  when its last parentheses hold a qualifier rather than a symbol ("cup (US customary)", "knot
 *  (Admiralty)", "cup (metric)"): words of letters with a space, or one word of five letters or more
 *  in small letters, or six or more capitalised. */
QString unitShortName(const QString& name);

/** The name without its symbol: "kilometre" of "kilometre (km)", "mile (US survey)" of
 *  "mile (US survey) (mi)". */
QString nameWithoutSymbol(const QString& name);

/**
 * Every word that names a unit of one category, and the lookup over them. Steps, stopping at the
 * first that finds a unit:
 *  1. the whole word as written: a name with or without its symbol, a symbol (a temperature's also
 *     without its degree sign), a word of the lexicon; then a name without any parentheses
 *     ("mile" of "mile (US survey) (mi)");
 *  2. the same in any case, units whose first letter has the case typed first ("ml" is the
 *     millilitre, "Ml" the megalitre), then those with most letters in the typed case;
 *  3. a text in parentheses, any case ("US survey");
 *  4. the beginning (three letters or more) of a name or word that only one unit has.
 * Several units at one of the first three steps: the one whose territories hold the user's, else the one marked for
 * every other territory ("*"), else the plain unit whose symbol its qualified variants share ("mile (mi)" beside "mile
 * (US survey) (mi)"); otherwise the word is ambiguous and they are its candidates.
 */
class RubricWords
{
public:
    RubricWords() = default;
    RubricWords(const Rubric& rubric, const Lexicon* lexicon, const QString& region);

    UnitLookup lookup(const QString& word) const;
    /** Whether word may begin any word of the category (a quick refusal before a lookup). */
    bool mayName(const QString& folded) const;

private:
    void addWord(int unit, const QString& word, int step);
    QList<int> resolved(const QList<int>& units) const;
    UnitLookup outcome(const QList<int>& units, UnitMatch match) const;

    const Rubric* m_rubric = nullptr;
    QString m_region;
    QHash<QString, QList<std::pair<int, int>>> m_exact;       // word -> (unit, step 0 or 1)
    QHash<QString, QList<std::pair<int, QString>>> m_anyCase; // folded word -> (unit, word)
    QHash<QString, QList<int>> m_qualifiers;                  // folded text in parentheses -> units
    std::vector<std::pair<QString, int>> m_beginnings;        // folded words, sorted, with their unit
    std::vector<QStringList> m_regions;
};

/** lookupUnit without a lexicon and without a territory: names and symbols only. */
UnitLookup lookupUnit(const Rubric& rubric, const QString& word);

} // namespace quantaro
