#pragma once

#include "convert/recentpairs.h"

#include <QString>
#include <optional>

namespace quantaro {

class FormerUnitNames;
class Rubric;
class SettingsChanges;
class SettingsStore;

/**
 * What the conversion window remembers of one category between openings: the notation, the
 * precision, the sub-category shown, the units chosen in each sub-category and the recent pairs.
 * It reads them from and writes them to the settings; the window holds the lists themselves.
 *
 * The rubric must outlive it.
 */
class ConvertChoices
{
public:
    explicit ConvertChoices(const Rubric& rubric);

    int notation() const { return m_notation; }
    int precision() const { return m_precision; }
    int sousRubric() const { return m_sousRubric; }
    void setNotation(int notation) { m_notation = notation; }
    void setPrecision(int precision) { m_precision = precision; }
    /** Shows another sub-category; its recent pairs are read by loadRecentPairs. */
    void setSousRubric(int sousRubric) { m_sousRubric = sousRubric; }
    /** The sub-category the settings keys carry: none for a category without sub-categories. */
    std::optional<int> sousRubricSuffix() const;

    /** Reads notation, precision, the sub-category shown and its recent pairs; a value out of range
     *  (only an edited file holds one) falls back to one the menus can mark. */
    void read(const SettingsStore& settings, const FormerUnitNames* formerNames);
    /** Reads the recent pairs of the category, or of the sub-category shown. */
    void loadRecentPairs(const SettingsStore& settings, const FormerUnitNames* formerNames);

    /** The names of the units remembered as chosen in the sub-category shown; empty when none. */
    QString rememberedFrom(const SettingsStore& settings) const;
    QString rememberedTo(const SettingsStore& settings) const;

    /** Adds the chosen units' names and the recent pairs, under the sub-category given. */
    void addSelections(SettingsChanges& changes, std::optional<int> sousRubric, const QString& from,
                       const QString& to) const;
    /** Adds everything the window keeps when it closes: the selections in the sub-category shown,
     *  the recent pairs, the notation, the precision and the sub-category. */
    void addAll(SettingsChanges& changes, const QString& from, const QString& to) const;

    RecentPairs& recentPairs() { return m_recent; }
    const RecentPairs& recentPairs() const { return m_recent; }

private:
    const Rubric& m_rubric;
    int m_notation;
    int m_precision;
    int m_sousRubric = 0;
    RecentPairs m_recent;
};

} // namespace quantaro
