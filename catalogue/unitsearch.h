#pragma once

#include <QString>
#include <QStringView>
#include <vector>

namespace quantaro {

class Lexicon;
class Rubric;

/** The form in which a unit search compares texts: accents dropped and case folded, so that
 *  "angstrom" finds "ångström (Å)" and "KM" finds "kilometre (km)". */
QString searchKey(QStringView text);

/** Whether a unit's name (its symbol in parentheses included) holds the searched text; key is the
 *  searchKey of what the person typed, and an empty key matches every unit. */
bool matchesSearch(const QString& nameKey, const QString& key);

/**
 * What a search finds the units of one category by: each unit's name (its symbol included) and,
 * once addWords() has run, every word of the lexicon the unit is known by ("meter", "feet", "naira",
 * "Nigeria"), each matched on its own. The windows read the lexicon only at their first search.
 */
class UnitSearchIndex
{
public:
    UnitSearchIndex() = default;
    explicit UnitSearchIndex(const Rubric& rubric);

    void addWords(const Rubric& rubric, const Lexicon& lexicon);
    bool hasWords() const { return m_wordsAdded; }
    /** Whether unit (an index of the category) is found by key, the searchKey of the typed text. */
    bool matches(int unit, const QString& key) const;

private:
    std::vector<QString> m_keys;
    bool m_wordsAdded = false;
};

} // namespace quantaro
