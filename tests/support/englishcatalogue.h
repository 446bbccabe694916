#pragma once

#include "app/resourcesource.h"
#include "app/settingsstore.h"
#include "catalogue/catalogueloader.h"
#include "catalogue/lexicon.h"
#include "catalogue/rubric.h"
#include "support/fakes.h"
#include "testpaths.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <map>

namespace quantaro::test {

/** Loads a language's catalogue ("en", "fr", "de") as the program does: the module's strings from the
 *  source tree, the unit file that the build wrote into the program folder, and empty settings. */
inline bool loadCatalogue(Catalogue& catalogue, const QString& language)
{
    QTemporaryDir settingsDir;
    SettingsStore settings(settingsDir.filePath(QStringLiteral("q.ini")));
    RecordingMessageBoxes messages;
    const ResourceSource resources(QStringLiteral(QUANTARO_SOURCE_DIR "/lang/%1/res").arg(language));
    const CatalogueLoader loader(resources, QStringLiteral(QUANTARO_PROGRAM_DIR), settings, messages);
    return loader.load(catalogue);
}

inline bool loadEnglishCatalogue(Catalogue& catalogue)
{
    return loadCatalogue(catalogue, QStringLiteral("en"));
}

/** A language's lexicon as the build compiled it for its module ("en", "fr", "de"). */
inline const Lexicon& lexicon(const QString& language)
{
    static std::map<QString, Lexicon> lexicons;
    auto found = lexicons.find(language);
    if (found == lexicons.end()) {
        QFile file(QStringLiteral(QUANTARO_BINARY_DIR "/lang/lexicon/%1.txt").arg(language));
        EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << file.fileName().toStdString();
        found = lexicons.emplace(language, Lexicon::fromText(file.readAll())).first;
    }
    return found->second;
}

} // namespace quantaro::test
