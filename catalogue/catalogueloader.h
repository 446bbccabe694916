#pragma once

#include "catalogue/rubric.h"

#include <QString>
#include <functional>

class QFile;

namespace quantaro {

class MessageBoxes;
class ResourceSource;
class SettingsStore;

/** String of a language module that names the unit file's text encoding (UTF-8 when absent). */
inline constexpr int kUnitFileEncodingString = 101;
/** Most bytes of a unit file read as one line; the rest of a longer line is read as a line of its own. */
inline constexpr qint64 kUnitLineMaxBytes = 511;
/** Most names read from one category's hidden-unit list, whatever its stored count says. */
inline constexpr int kHiddenNamesMax = 10000;
/**
 * Most units one category takes from the unit file; later lines of a full category are dropped, so a
 * huge or hostile file cannot fill the memory (real categories hold a few dozen units).
 */
inline constexpr int kUnitsPerRubricMax = 10000;

/**
 * Builds the whole catalogue from scratch: category and sub-category names from the language
 * module's strings, the units from the unit file in the program folder, and the hidden flags from
 * the per-category hidden-unit lists of the settings.
 *
 * When the unit file cannot be opened, the user is told (string 1000) and the catalogue stays
 * exactly as it was. After a load that found the file, the currency units' formulas are to be
 * rebuilt from the stored rates: the loader asks for it through the rebuild request, which the
 * owner runs later (the home window posts it to itself).
 */
class CatalogueLoader
{
public:
    CatalogueLoader(const ResourceSource& resources, QString programFolder, const SettingsStore& settings,
                    MessageBoxes& messages, std::function<void()> requestCurrencyRebuild = {});

    /** Loads into catalogue; false (catalogue untouched) when the unit file could not be opened. */
    bool load(Catalogue& catalogue) const;

    /**
     * The rebuild a load requests: the stored exchange rates take over the currency formulas. The
     * owner of the request decides when it runs (the home window posts it, the terminal tools run it
     * at once), never what it does.
     */
    static void applyStoredRates(Catalogue& catalogue, const SettingsStore& settings);

    /**
     * The unit file that load reads: the file of the program folder the module names, found without
     * regard to case as the first-run clean-up keeps it. Empty when the module names no usable file.
     */
    QString unitFilePath() const;

private:
    void readUnits(QFile& file, Catalogue& catalogue) const;
    void applyHiddenLists(Catalogue& catalogue) const;

    const ResourceSource& m_resources;
    QString m_programFolder;
    const SettingsStore& m_settings;
    MessageBoxes& m_messages;
    std::function<void()> m_requestCurrencyRebuild;
};

} // namespace quantaro
