#pragma once

#include "app/resourcesource.h"
#include "app/settingsstore.h"
#include "catalogue/catalogueloader.h"
#include "catalogue/rubric.h"
#include "support/fakes.h"
#include "testpaths.h"

#include <QTemporaryDir>

namespace quantaro::test {

/** Loads the English catalogue as the program does: the module's strings from the source tree, the
 *  unit file that the build wrote into the program folder, and empty settings. */
inline bool loadEnglishCatalogue(Catalogue& catalogue)
{
    QTemporaryDir settingsDir;
    SettingsStore settings(settingsDir.filePath(QStringLiteral("q.ini")));
    RecordingMessageBoxes messages;
    const ResourceSource resources(QStringLiteral(QUANTARO_SOURCE_DIR "/lang/en/res"));
    const CatalogueLoader loader(resources, QStringLiteral(QUANTARO_PROGRAM_DIR), settings, messages);
    return loader.load(catalogue);
}

} // namespace quantaro::test
