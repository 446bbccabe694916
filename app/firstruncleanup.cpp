#include "app/firstruncleanup.h"

#include "app/languagemodule.h"
#include "app/programfolder.h"
#include "app/resourcesource.h"
#include "app/settingsstore.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

namespace quantaro {

namespace {

QStringList filesMatching(const QString& folder, const QString& pattern)
{
    return QDir(folder).entryList({pattern}, QDir::Files | QDir::Hidden, QDir::Unsorted);
}

} // namespace

QString unitFilePattern()
{
    return QStringLiteral("*.dat");
}

QString packageManagedMarker()
{
    return QStringLiteral("package-managed");
}

uint currentUserId()
{
#ifdef Q_OS_UNIX
    return static_cast<uint>(::geteuid());
#else
    return static_cast<uint>(-2); // what QFileInfo::ownerId() answers where ownership is not known
#endif
}

bool isSystemWideInstall(const QString& programFolder, uint userId)
{
    const QFileInfo folder(programFolder);
    return QFileInfo::exists(QDir(programFolder).filePath(packageManagedMarker())) || folder.ownerId() != userId;
}

void runFirstRunCleanup(const SettingsStore& settings, const QString& programFolder, uint userId)
{
    // The package manager owns a system-wide install's files: deleting them would break its file list
    // (an upgrade puts them back). Every language stays installed; the choice is stored all the same.
    if (isSystemWideInstall(programFolder, userId)) {
        return;
    }
    const QString chosen = settings.getString(settings::kSettings, settings::kLanguageDllName);
    // Without a choice every module would count as another language's: a language window that ended
    // without one (the session closed, no row chosen) would delete every module and leave a program
    // that can never start again. The clean-up runs again at the next start, once there is a choice.
    if (chosen.isEmpty()) {
        return;
    }
    const QDir folder(programFolder);

    for (const QString& file : filesMatching(programFolder, languageModulePattern())) {
        if (isSameProgramFileName(file, chosen)) {
            continue;
        }
        bool isLanguageModule = false;
        if (auto module = LanguageModule::load(folder.filePath(file))) {
            isLanguageModule = module->exportsModuleKey();
        }
        if (isLanguageModule) {
            QFile::remove(folder.filePath(file));
        }
    }

    const QString chosenPath = programFilePath(programFolder, chosen);
    if (chosenPath.isEmpty()) {
        return;
    }
    auto module = LanguageModule::load(chosenPath);
    if (!module || !module->isValid() || !module->registerResources()) {
        return;
    }
    const QString unitFile = ResourceSource(module->resourceRoot()).string(res::kUnitFileName);
    for (const QString& file : filesMatching(programFolder, unitFilePattern())) {
        if (!isSameProgramFileName(file, unitFile)) {
            QFile::remove(folder.filePath(file));
        }
    }
}

} // namespace quantaro
