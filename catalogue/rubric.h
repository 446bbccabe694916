#pragma once

#include "catalogue/unitrecord.h"
#include "generated/ids/quantaro.h"

#include <QString>
#include <QStringList>
#include <QStringView>
#include <array>
#include <string_view>
#include <vector>

namespace quantaro {

/** Number of categories of the catalogue: one per code of kRubricCodes. */
inline constexpr int kRubricCount = static_cast<int>(kRubricCodes.size());

/** Index of the currency category. */
inline constexpr int kCurrencyRubric = 0;

/** The code of category index (0 <= index < kRubricCount). */
QString rubricCode(int index);
/** The index of the category whose code equals code without regard to case, or -1. */
int rubricIndexOf(QStringView code);

/**
 * One category of the catalogue: its display name, its fixed code, the names of its
 * sub-categories ("SousRubric") and its units in the order loading added them. A unit's position
 * in the list is its unit index.
 */
class Rubric
{
public:
    Rubric() = default;

    const QString& name() const { return m_name; }
    void setName(const QString& name) { m_name = name; }
    const QString& code() const { return m_code; }
    void setCode(const QString& code) { m_code = code; }

    /** Empties name, units and sub-categories; the code stays, so per-category settings keep their keys. */
    void clear();

    void addUnit(const UnitRecord& unit) { m_units.push_back(unit); }
    int unitCount() const { return static_cast<int>(m_units.size()); }
    const UnitRecord& unit(int index) const;
    UnitRecord& unit(int index);

    int sousRubricCount() const { return static_cast<int>(m_sousRubrics.size()); }
    const QString& sousRubric(int index) const;
    void addSousRubric(const QString& name) { m_sousRubrics.append(name); }
    bool hasSousRubrics() const { return !m_sousRubrics.isEmpty(); }

    friend bool operator==(const Rubric&, const Rubric&) = default;

private:
    QString m_name;
    QString m_code;
    QStringList m_sousRubrics;
    std::vector<UnitRecord> m_units;
};

/** The whole catalogue: one record per category, at the index of its code. */
using Catalogue = std::array<Rubric, kRubricCount>;

} // namespace quantaro
