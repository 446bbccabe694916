#include "convert/loadedcatalogue.h"

#include "app/languagemodule.h"
#include "app/resourcesource.h"
#include "app/settingsstore.h"
#include "catalogue/catalogueloader.h"
#include "platform/messageboxes.h"

#include <QDir>
#include <QFileInfo>

namespace quantaro {

namespace {

/** Remembers the loader's message so that it can be given as the failure. */
class CapturedMessages final : public MessageBoxes
{
public:
    void show(const QString& text, MessageIcon) override { last = text; }
    QString last;
};

} // namespace

LoadedCatalogue::LoadedCatalogue() = default;

LoadedCatalogue::~LoadedCatalogue() = default;

std::optional<QString> LoadedCatalogue::findModule(const QString& given, const SettingsStore& settings,
                                                   const QString& programFolder, QString& path)
{
    const QDir folder(programFolder);
    if (!given.isEmpty()) {
        path = given;
        if (!QFileInfo::exists(path) && !path.contains(QLatin1Char('/'))) {
            path = folder.filePath(path);
        }
        // A bare relative name would make the loader search the library path instead of this folder.
        path = QFileInfo(path).absoluteFilePath();
        return std::nullopt;
    }
    const QString chosen = settings.getString(settings::kSettings, settings::kLanguageDllName);
    if (!chosen.isEmpty()) {
        if (chosen.contains(QLatin1Char('/'))) {
            return QStringLiteral("the language module named in the settings is not a file name: %1").arg(chosen);
        }
        path = folder.filePath(chosen);
        return std::nullopt;
    }
    const QStringList modules = folder.entryList({languageModulePattern()}, QDir::Files, QDir::Name);
    if (modules.size() != 1) {
        return modules.isEmpty()
                   ? QStringLiteral("no language module in %1").arg(folder.path())
                   : QStringLiteral("several language modules in %1: choose one with --module").arg(folder.path());
    }
    path = folder.filePath(modules.front());
    return std::nullopt;
}

std::optional<QString> LoadedCatalogue::load(const QString& modulePath, const SettingsStore& settings)
{
    m_lexicon = Lexicon();
    m_module = LanguageModule::load(modulePath);
    if (!m_module || !m_module->isValid() || !m_module->registerResources()) {
        m_module.reset();
        return QStringLiteral("not a valid language module: %1").arg(modulePath);
    }
    const ResourceSource resources(m_module->resourceRoot());
    CapturedMessages messages;
    // The unit file lies beside its module: in the program folder, or wherever --module points.
    const CatalogueLoader loader(resources, QFileInfo(modulePath).absolutePath(), settings, messages,
                                 [this, &settings] { CatalogueLoader::applyStoredRates(m_catalogue, settings); });
    if (!loader.load(m_catalogue)) {
        const QString file = loader.unitFilePath();
        return QStringLiteral("cannot open the unit file %1%2")
            .arg(file.isEmpty() ? QStringLiteral("(the module names none)") : file,
                 messages.last.isEmpty() ? QString() : QStringLiteral(": ") + messages.last);
    }
    // Read with the catalogue: every user of a loaded catalogue looks units up by their words.
    m_lexicon = Lexicon::fromResources(resources);
    return std::nullopt;
}

const Lexicon& LoadedCatalogue::lexicon() const
{
    return m_lexicon;
}

QString LoadedCatalogue::language() const
{
    return m_module ? m_module->language() : QString();
}

} // namespace quantaro
