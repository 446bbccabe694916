#pragma once

#include "app/settingsstore.h"
#include "catalogue/rubric.h"

#include <QStringList>
#include <initializer_list>
#include <optional>
#include <utility>

namespace quantaro::test {

/** A unit of a test catalogue: its name and whether it starts hidden. */
struct TestUnit
{
    const char* name;
    bool hidden = false;
};

/** A catalogue with every category named and coded, and the given units in the given categories. */
inline Catalogue makeCatalogue(std::initializer_list<std::pair<int, std::initializer_list<TestUnit>>> units)
{
    Catalogue catalogue;
    for (int i = 0; i < kRubricCount; ++i) {
        catalogue[static_cast<size_t>(i)].setCode(rubricCode(i));
        catalogue[static_cast<size_t>(i)].setName(QStringLiteral("Category %1").arg(i));
    }
    for (const auto& [index, list] : units) {
        for (const TestUnit& unit : list) {
            UnitRecord record;
            record.setName(QString::fromUtf8(unit.name));
            record.setHidden(unit.hidden);
            catalogue[static_cast<size_t>(index)].addUnit(record);
        }
    }
    return catalogue;
}

/** A category's stored hidden list: its names in order, or nothing when the key holds no value at all. */
inline std::optional<QStringList> storedList(const SettingsStore& settings, const QString& code)
{
    const QString section = settings::hiddenUnitsSection(code);
    if (!settings.contains(section, settings::kHiddenCount) &&
        !settings.contains(section, settings::hiddenItemName(0))) {
        return std::nullopt;
    }
    QStringList names;
    const int count = settings.getInt(section, settings::kHiddenCount, 0);
    for (int i = 0; i < count; ++i) {
        names << settings.getString(section, settings::hiddenItemName(i));
    }
    // A value past the count would be a leftover of an earlier list.
    if (settings.contains(section, settings::hiddenItemName(count))) {
        names << QStringLiteral("<leftover>");
    }
    return names;
}

/** Stores a hidden list as an earlier run would have. */
inline void storeList(SettingsStore& settings, const QString& code, const QStringList& names)
{
    const QString section = settings::hiddenUnitsSection(code);
    for (int i = 0; i < names.size(); ++i) {
        settings.putString(section, settings::hiddenItemName(i), names[i]);
    }
    settings.putInt(section, settings::kHiddenCount, static_cast<int32_t>(names.size()));
}

} // namespace quantaro::test
