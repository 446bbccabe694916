#pragma once

#include <QByteArray>
#include <QString>
#include <QVariant>
#include <cstdint>
#include <memory>
#include <optional>

class QSettings;

namespace quantaro {

/** Section and value names of the stored settings. */
namespace settings {
inline const QString kCompany = QStringLiteral("Velmora");
inline const QString kApplication = QStringLiteral("Quantaro");

inline const QString kSettings = QStringLiteral("Settings");
inline const QString kCurrencies = QStringLiteral("Currencies");
inline const QString kHiddenUnits = QStringLiteral("NonAffichage");

inline const QString kLanguageDllName = QStringLiteral("LanguageDLLName");
inline const QString kNewInstall = QStringLiteral("NewInstall");
inline const QString kLastCurrencyUpdate = QStringLiteral("LastCurrencyUpdate");
inline const QString kSyncAuto = QStringLiteral("SyncAuto");
inline const QString kSyncAutoRndis = QStringLiteral("SyncAutoRNDIS");
inline const QString kUpdateServer = QStringLiteral("UpdateServer");
inline const QString kHiddenCount = QStringLiteral("Count");

inline const QString kFromSuffix = QStringLiteral(".From");
inline const QString kToSuffix = QStringLiteral(".To");
inline const QString kViewResultSuffix = QStringLiteral(".ViewResult");
inline const QString kPrecisionResultSuffix = QStringLiteral(".PrecisionResult");
inline const QString kCurrentSousRubricSuffix = QStringLiteral(".CurrentSousRubric");

inline constexpr int32_t kNewInstallDefault = 1;
inline constexpr int32_t kViewResultDefault = 0;
inline constexpr int32_t kPrecisionResultDefault = 8;
inline constexpr int32_t kCurrentSousRubricDefault = 0;
inline constexpr int32_t kSyncAutoDefault = 0;

/** "NonAffichage\" + code. */
QString hiddenUnitsSection(const QString& code);
/** "Item%d". */
QString hiddenItemName(int index);
/** code + ".From", or "%s.%d" of it and the sub-category number when there is one. */
QString fromName(const QString& code, std::optional<int> sousRubric);
/** code + ".To", or "%s.%d" of it and the sub-category number when there is one. */
QString toName(const QString& code, std::optional<int> sousRubric);
} // namespace settings

/**
 * Typed named values in sections below the settings root Velmora/Quantaro.
 *
 * Sections are paths of key names separated by a backslash ("NonAffichage\LEN"). Value names are
 * opaque: a '/' or '\' in a name never creates a sub-key. Reads never fail visibly: anything
 * absent or unreadable gives the default. Every write reaches the file at once, so a second
 * process (the connection run mode) and this one lose nothing of each other's values.
 *
 * A file that cannot be read whole (cut short, binary garbage, a broken section header) is still
 * read as far as it goes, and copied beside itself before the first write rewrites it: to
 * "<file>.bak", or the first free "<file>.bak.N" (N up to kMaxBackups - 1) when an earlier backup
 * with other contents is there, so no backup is ever overwritten but the last one. A write that
 * does not reach the file reports failure and leaves the old value, also for later reads here.
 */
class SettingsStore
{
public:
    /** The user's store: an INI file under $XDG_CONFIG_HOME/Velmora/. */
    SettingsStore();
    /** A store in the given INI file. */
    explicit SettingsStore(const QString& iniFile);
    ~SettingsStore();
    SettingsStore(const SettingsStore&) = delete;
    SettingsStore& operator=(const SettingsStore&) = delete;

    int32_t getInt(const QString& section, const QString& name, int32_t defaultValue) const;
    bool putInt(const QString& section, const QString& name, int32_t value);

    QString getString(const QString& section, const QString& name, const QString& defaultValue = {}) const;
    /** A value stores it; no value deletes the value; no name deletes the whole section. */
    bool putString(const QString& section, const std::optional<QString>& name, const std::optional<QString>& value);

    std::optional<QByteArray> getBinary(const QString& section, const QString& name) const;
    bool putBinary(const QString& section, const QString& name, const QByteArray& bytes);

    /** Deletes one key (a section path) with its values and sub-keys. */
    bool deleteKey(const QString& path);

    /** Whether the section holds a value of that name. */
    bool contains(const QString& section, const QString& name) const;

    /** Writes pending changes and reads what other processes wrote. */
    void sync();

    /** The file behind the store. */
    QString fileName() const;

    /** Most backups of damaged files kept beside the file. */
    static constexpr int kMaxBackups = 10;

private:
    QString keyFor(const QString& section, const QString& name) const;
    /** Stores one value (nothing = removes it) and writes the file; on failure the old value is restored. */
    bool writeValue(const QString& key, const std::optional<QVariant>& value);
    bool commit();
    /** Copies a damaged file aside once, before it is first rewritten; false when that failed. */
    bool backUpDamagedFile();

    std::unique_ptr<QSettings> m_settings;
    bool m_damagedOnOpen = false;
};

} // namespace quantaro
