#pragma once

#include "app/languagemodule.h"

#include <QString>
#include <cstdint>
#include <memory>
#include <vector>

namespace quantaro {

class SettingsStore;

/** String numbers that every language module offers for the language choice. */
namespace res {
inline constexpr int kLanguageHeader = 90;
inline constexpr int kLanguageFooter = 91;
inline constexpr int kLanguageId = 92;
} // namespace res

/** Language identifier used when the device gives none (US English). */
inline constexpr uint16_t kDefaultLanguageId = 0x0409;
/** Primary language of English, the fallback of the default row. */
inline constexpr uint16_t kEnglishPrimaryLanguage = 0x09;

/** One valid language module of the program folder, loaded while the choice is open. */
struct LanguageEntry
{
    std::unique_ptr<LanguageModule> module;
    QString languageName;
    QString fileName;
    QString headerText;
    QString footerText;
    uint16_t langId = 0;
};

/** Every valid language module of the folder, in descending order of language name (without
 *  regard to case; of two equal names the later found comes first). */
std::vector<LanguageEntry> findLanguageEntries(const QString& programFolder);

/** The row to select for the device's language: exact identifier, then the same primary language,
 *  then English, else -1. */
int defaultLanguageEntry(const std::vector<LanguageEntry>& entries, uint16_t deviceLanguage);

/** The device's language as a platform language identifier (such as 0x0409 or 0x040C), from the
 *  locale; 0 when it has no counterpart. */
uint16_t deviceLanguageId();

/** Stores the choice in one write: the chosen file and NewInstall 0, or, without entries, no name
 *  and NewInstall 1. False when the settings could not be written (nothing stored then); a
 *  selection outside the entries stores nothing and answers true. The modules stay loaded. */
bool storeLanguageChoice(SettingsStore& settings, const std::vector<LanguageEntry>& entries, int selectedIndex);

/** Unloads every entry's module. */
void unloadLanguageEntries(std::vector<LanguageEntry>& entries);

/** Stores the choice (storeLanguageChoice), then unloads every entry's module. */
bool confirmLanguageChoice(SettingsStore& settings, std::vector<LanguageEntry>& entries, int selectedIndex);

} // namespace quantaro
