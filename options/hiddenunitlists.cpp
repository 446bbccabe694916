#include "options/hiddenunitlists.h"

#include "app/settingsstore.h"

#include <algorithm>

namespace quantaro {

bool writeHiddenUnitLists(const Catalogue& catalogue, SettingsStore& store)
{
    const bool anyUnit =
        std::any_of(catalogue.begin(), catalogue.end(), [](const Rubric& rubric) { return rubric.unitCount() > 0; });
    if (!anyUnit) {
        return true;
    }
    // One write for all the lists: a list is never left deleted and not yet written again.
    SettingsChanges changes;
    for (int i = 0; i < kRubricCount; ++i) {
        const Rubric& rubric = catalogue[static_cast<size_t>(i)];
        // The code by index, not the record's: a record that was never loaded has an empty code,
        // and "NonAffichage\" alone would delete every category's list.
        const QString section = settings::hiddenUnitsSection(rubricCode(i));
        changes.deleteKey(section);
        if (rubric.unitCount() == 0) {
            continue;
        }
        int count = 0;
        for (int u = 0; u < rubric.unitCount(); ++u) {
            const UnitRecord& unit = rubric.unit(u);
            if (unit.hidden()) {
                changes.putString(section, settings::hiddenItemName(count), unit.name());
                ++count;
            }
        }
        changes.putInt(section, settings::kHiddenCount, count);
    }
    return store.write(changes);
}

} // namespace quantaro
