#pragma once

#include <QList>
#include <QString>
#include <optional>

namespace quantaro {

class FormerUnitNames;
class SettingsChanges;
class SettingsStore;

/** A source and a target unit, by their names. */
struct UnitPair
{
    QString from;
    QString to;

    bool operator==(const UnitPair&) const = default;
};

/**
 * The pairs of units a person converted between most recently in one category (and sub-category),
 * newest first, without repeats. Stored as two values beside the remembered units, "<code>.RecentFrom"
 * and "<code>.RecentTo" (with ".<n>" for sub-category n), each the names joined by '|'.
 */
class RecentPairs
{
public:
    static constexpr int kMaxPairs = 5;

    /** Reads the stored pairs; with former, a unit stored under a name it had before it was renamed
     *  comes back under its name of today. */
    void load(const SettingsStore& store, const QString& code, std::optional<int> sousRubric,
              const FormerUnitNames* former = nullptr);
    /** Adds the pairs to a write of the settings. */
    void addTo(SettingsChanges& changes, const QString& code, std::optional<int> sousRubric) const;

    /** Puts the pair first, dropping an older copy of it and the oldest beyond kMaxPairs; a pair
     *  with a missing unit is not a conversion and is ignored. Returns whether anything changed. */
    bool use(const UnitPair& pair);

    const QList<UnitPair>& pairs() const { return m_pairs; }

private:
    QList<UnitPair> m_pairs;
};

} // namespace quantaro
