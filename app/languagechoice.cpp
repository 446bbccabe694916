#include "app/languagechoice.h"

#include "app/resourcesource.h"
#include "app/settingsstore.h"

#include <QDir>
#include <QLocale>

namespace quantaro {

namespace {

constexpr int kFileNameMaxLength = 255;
constexpr int kLabelMaxLength = 1023;
constexpr int kLanguageIdMaxLength = 31;
constexpr uint16_t kPrimaryLanguageMask = 0xff;

uint16_t parseLanguageId(const QString& text)
{
    // Read as a decimal number: leading digits count, anything after them is ignored.
    uint32_t value = 0;
    for (const QChar ch : text.left(kLanguageIdMaxLength).trimmed()) {
        if (!ch.isDigit()) {
            break;
        }
        value = (value * 10 + static_cast<uint32_t>(ch.digitValue())) & 0xffffffu;
    }
    return static_cast<uint16_t>(value);
}

} // namespace

std::vector<LanguageEntry> findLanguageEntries(const QString& programFolder)
{
    std::vector<LanguageEntry> entries;
    const QDir folder(programFolder);
    for (const QString& file : folder.entryList({languageModulePattern()}, QDir::Files, QDir::Unsorted)) {
        auto module = LanguageModule::load(folder.filePath(file));
        if (!module || !module->isValid()) {
            continue;
        }
        const QString language = module->language();
        if (language.isEmpty() || !module->registerResources()) {
            continue;
        }
        const ResourceSource strings(module->resourceRoot());
        LanguageEntry entry;
        entry.languageName = language;
        entry.fileName = file.left(kFileNameMaxLength);
        entry.headerText = strings.string(res::kLanguageHeader).left(kLabelMaxLength);
        entry.footerText = strings.string(res::kLanguageFooter).left(kLabelMaxLength);
        entry.langId = parseLanguageId(strings.string(res::kLanguageId));
        entry.module = std::move(module);

        auto position = entries.begin();
        while (position != entries.end() &&
               position->languageName.compare(entry.languageName, Qt::CaseInsensitive) > 0) {
            ++position;
        }
        entries.insert(position, std::move(entry));
    }
    return entries;
}

int defaultLanguageEntry(const std::vector<LanguageEntry>& entries, uint16_t deviceLanguage)
{
    const uint16_t wanted = deviceLanguage != 0 ? deviceLanguage : kDefaultLanguageId;
    const auto find = [&entries](auto matches) {
        for (size_t i = 0; i < entries.size(); ++i) {
            if (matches(entries[i].langId)) {
                return static_cast<int>(i);
            }
        }
        return -1;
    };
    int index = find([wanted](uint16_t id) { return id == wanted; });
    if (index < 0) {
        index = find([wanted](uint16_t id) { return (id & kPrimaryLanguageMask) == (wanted & kPrimaryLanguageMask); });
    }
    if (index < 0) {
        index = find([](uint16_t id) { return (id & kPrimaryLanguageMask) == kEnglishPrimaryLanguage; });
    }
    return index;
}

uint16_t deviceLanguageId()
{
    // Primary language identifiers and the sub-language of the locale's main country.
    struct Known
    {
        QLocale::Language language;
        uint16_t id;
    };
    static const Known known[] = {
        {QLocale::English, 0x0409},    {QLocale::French, 0x040C},   {QLocale::German, 0x0407},
        {QLocale::Italian, 0x0410},    {QLocale::Spanish, 0x0C0A},  {QLocale::Dutch, 0x0413},
        {QLocale::Portuguese, 0x0416}, {QLocale::Japanese, 0x0411}, {QLocale::Swedish, 0x041D},
        {QLocale::Danish, 0x0406},     {QLocale::Finnish, 0x040B},  {QLocale::NorwegianBokmal, 0x0414},
        {QLocale::Polish, 0x0415},     {QLocale::Russian, 0x0419},  {QLocale::Chinese, 0x0804},
        {QLocale::Ukrainian, 0x0422},  {QLocale::Turkish, 0x041F},
    };
    const QLocale locale;
    for (const Known& entry : known) {
        if (entry.language == locale.language()) {
            return entry.id;
        }
    }
    return 0;
}

bool storeLanguageChoice(SettingsStore& settings, const std::vector<LanguageEntry>& entries, int selectedIndex)
{
    SettingsChanges choice;
    if (entries.empty()) {
        choice.putString(settings::kSettings, settings::kLanguageDllName, std::nullopt);
        choice.putInt(settings::kSettings, settings::kNewInstall, 1);
    } else if (selectedIndex >= 0 && selectedIndex < static_cast<int>(entries.size())) {
        choice.putString(settings::kSettings, settings::kLanguageDllName,
                         entries[static_cast<size_t>(selectedIndex)].fileName);
        choice.putInt(settings::kSettings, settings::kNewInstall, 0);
    } else {
        return true;
    }
    return settings.write(choice);
}

void unloadLanguageEntries(std::vector<LanguageEntry>& entries)
{
    for (LanguageEntry& entry : entries) {
        entry.module.reset();
    }
}

bool confirmLanguageChoice(SettingsStore& settings, std::vector<LanguageEntry>& entries, int selectedIndex)
{
    const bool stored = storeLanguageChoice(settings, entries, selectedIndex);
    unloadLanguageEntries(entries);
    return stored;
}

} // namespace quantaro
