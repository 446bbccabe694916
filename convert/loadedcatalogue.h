#pragma once

#include "catalogue/lexicon.h"
#include "catalogue/rubric.h"

#include <QString>
#include <memory>
#include <optional>

namespace quantaro {

class LanguageModule;
class SettingsStore;

/**
 * The catalogue as the conversion window sees it, for the programs without windows (the terminal
 * converter, the search service): loaded through a language module, with the stored exchange rates
 * in the currency formulas. Only reads the settings; the module stays loaded while it lives.
 */
class LoadedCatalogue
{
public:
    LoadedCatalogue();
    ~LoadedCatalogue();
    LoadedCatalogue(const LoadedCatalogue&) = delete;
    LoadedCatalogue& operator=(const LoadedCatalogue&) = delete;

    /**
     * The module file: the one given (a bare name is looked for in the program folder), else the
     * one the settings name, else the program folder's only module. The failure's text otherwise.
     */
    static std::optional<QString> findModule(const QString& given, const SettingsStore& settings,
                                             const QString& programFolder, QString& path);

    /** Loads module and catalogue; the failure's text when either cannot be had. */
    std::optional<QString> load(const QString& modulePath, const SettingsStore& settings);

    const Catalogue& catalogue() const { return m_catalogue; }
    /** The module's language name ("English", "Français"), empty before a load. */
    QString language() const;
    /** The module's lexicon; empty before a load. */
    const Lexicon& lexicon() const;

private:
    std::unique_ptr<LanguageModule> m_module;
    Catalogue m_catalogue;
    Lexicon m_lexicon;
};

} // namespace quantaro
