#include "convert/recentpairs.h"

#include "app/settingsstore.h"
#include "catalogue/formernames.h"

namespace quantaro {

namespace {
const QString kRecentFromSuffix = QStringLiteral(".RecentFrom");
const QString kRecentToSuffix = QStringLiteral(".RecentTo");
const QChar kSeparator(u'|');

QString valueName(const QString& code, const QString& suffix, std::optional<int> sousRubric)
{
    return sousRubric ? QStringLiteral("%1%2.%3").arg(code, suffix).arg(*sousRubric) : code + suffix;
}
} // namespace

void RecentPairs::load(const SettingsStore& store, const QString& code, std::optional<int> sousRubric,
                       const FormerUnitNames* former)
{
    m_pairs.clear();
    const QStringList from =
        store.getString(settings::kSettings, valueName(code, kRecentFromSuffix, sousRubric)).split(kSeparator);
    const QStringList to =
        store.getString(settings::kSettings, valueName(code, kRecentToSuffix, sousRubric)).split(kSeparator);
    // A hand-edited file may hold lists of different lengths or repeats: only whole pairs count,
    // taken oldest first so that the newest copy of a repeat wins.
    const qsizetype count = std::min({from.size(), to.size(), qsizetype(kMaxPairs)});
    for (qsizetype i = count - 1; i >= 0; --i) {
        use(former ? UnitPair{former->current(from.at(i)), former->current(to.at(i))} : UnitPair{from.at(i), to.at(i)});
    }
}

void RecentPairs::addTo(SettingsChanges& changes, const QString& code, std::optional<int> sousRubric) const
{
    // A category never converted in leaves no trace in the settings.
    if (m_pairs.isEmpty()) {
        return;
    }
    QStringList from;
    QStringList to;
    for (const UnitPair& pair : m_pairs) {
        from << pair.from;
        to << pair.to;
    }
    changes.putString(settings::kSettings, valueName(code, kRecentFromSuffix, sousRubric), from.join(kSeparator));
    changes.putString(settings::kSettings, valueName(code, kRecentToSuffix, sousRubric), to.join(kSeparator));
}

bool RecentPairs::use(const UnitPair& pair)
{
    if (pair.from.isEmpty() || pair.to.isEmpty() || pair.from.contains(kSeparator) || pair.to.contains(kSeparator)) {
        return false;
    }
    if (!m_pairs.isEmpty() && m_pairs.front() == pair) {
        return false;
    }
    m_pairs.removeAll(pair);
    m_pairs.prepend(pair);
    while (m_pairs.size() > kMaxPairs) {
        m_pairs.removeLast();
    }
    return true;
}

} // namespace quantaro
