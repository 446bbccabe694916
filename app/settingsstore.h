#pragma once

#include <QByteArray>
#include <QString>
#include <QVariant>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

class QSettings;
class QTimer;

namespace quantaro {

/** Section and value names of the stored settings. */
namespace settings {
inline const QString kCompany = QStringLiteral("Velmora");
inline const QString kApplication = QStringLiteral("Quantaro");

inline const QString kSettings = QStringLiteral("Settings");
inline const QString kCurrencies = QStringLiteral("Currencies");
inline const QString kHiddenUnits = QStringLiteral("NonAffichage");
/** The day ("YYYY-MM-DD") of each downloaded rate, by its source's own date. */
inline const QString kCurrencyDates = QStringLiteral("CurrencyDates");

inline const QString kLanguageDllName = QStringLiteral("LanguageDLLName");
inline const QString kNewInstall = QStringLiteral("NewInstall");
inline const QString kLastCurrencyUpdate = QStringLiteral("LastCurrencyUpdate");
inline const QString kSyncAuto = QStringLiteral("SyncAuto");
inline const QString kSyncAutoRndis = QStringLiteral("SyncAutoRNDIS");
inline const QString kUpdateServer = QStringLiteral("UpdateServer");
/** The own dates ("YYYY-MM-DD") of the central bank's and the open source's rates last stored. */
inline const QString kBankRatesDate = QStringLiteral("BankRatesDate");
inline const QString kOpenRatesDate = QStringLiteral("OpenRatesDate");
/** What each source gave to the last download of both: 0 rates, 1 a failure, 2 rates too old. */
inline const QString kBankRatesOutcome = QStringLiteral("BankRatesOutcome");
inline const QString kOpenRatesOutcome = QStringLiteral("OpenRatesOutcome");
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

/** Several changes of the settings that reach the file together, or not at all. */
class SettingsChanges
{
public:
    void putInt(const QString& section, const QString& name, int32_t value);
    /** A value stores it; no value deletes the value. */
    void putString(const QString& section, const QString& name, const std::optional<QString>& value);
    void putBinary(const QString& section, const QString& name, const QByteArray& bytes);
    /** Deletes one key (a section path) with its values and sub-keys. */
    void deleteKey(const QString& path);

    bool isEmpty() const { return m_changes.empty(); }

private:
    friend class SettingsStore;
    struct Change
    {
        QString section;
        std::optional<QString> name; ///< none: the whole section
        std::optional<QVariant> value;
    };
    std::vector<Change> m_changes;
};

/**
 * Typed named values in sections below the settings root Velmora/Quantaro.
 *
 * Sections are paths of key names separated by a backslash ("NonAffichage\LEN"). Value names are
 * opaque: a '/' or '\' in a name never creates a sub-key. Reads never fail visibly: anything
 * absent or unreadable gives the default. Every write reaches the file at once, so a second
 * process (the connection run mode) and this one lose nothing of each other's values.
 *
 * A write replaces the file whole and only once the new file is known to be on the disk: under
 * the file's lock (the one Qt's settings classes take too) it reads what other processes wrote,
 * writes everything to a new file beside the old one, checks every write, the flush and the close,
 * and then renames it over the old file. A write that fails in any way (a full disk, a read-only
 * folder, a file of another user, a failing disk) leaves the old file byte for byte as it was,
 * answers false and keeps its errno for lastWriteError().
 *
 * A file that cannot be read whole (cut short, binary garbage, a broken section header) is still
 * read as far as it goes, and copied beside itself before the first write rewrites it: to
 * "<file>.bak", or the first free "<file>.bak.N" (N up to kMaxBackups - 1) when an earlier backup
 * with other contents is there, so no backup is ever overwritten but the last one. Anything but a
 * regular file in the file's place (a FIFO, even behind a link) is never opened: it reads as empty and
 * is moved aside to the first free backup name before the first write.
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

    /**
     * Writes all the changes in one replacement of the file; false when it failed. A failure leaves
     * the file as it was, and the changes are dropped, except when another process holds the file's
     * lock past a moment (lastWriteError() is then EBUSY): the changes are kept, read back by this
     * store, and written by its next write, by a retry while the event loop runs, by sync() or at
     * the latest when the store ends (waiting a little for the lock then).
     */
    bool write(const SettingsChanges& changes);
    /** Whether changes wait for another process to free the lock. */
    bool hasPendingChanges() const;

    /** Tries the changes kept for a busy lock without waiting, and reads what other processes wrote. */
    void sync();

    /** The errno of the last write that failed, 0 when none has. */
    int lastWriteError() const { return m_lastWriteError; }
    /** How many writes have failed: whether a piece of work had one. */
    int failedWrites() const { return m_failedWrites; }
    /** The folder that holds the file. */
    QString folder() const;

    /**
     * Removes the new files that an interrupted write (of this store or of Qt's save path) left
     * beside the settings file: its name, a point and six letters or digits, owned by this user.
     * Only while no other process writes; nothing else in the folder is touched.
     */
    void removeWriteLeftovers();

    /** The file behind the store. */
    QString fileName() const;

    /** Most backups of damaged files kept beside the file. */
    static constexpr int kMaxBackups = 10;

private:
    QString keyFor(const QString& section, const QString& name) const;
    bool writeOne(const QString& section, const std::optional<QString>& name, const std::optional<QVariant>& value);
    /** Copies a damaged file aside once, before it is first rewritten; false when that failed. */
    bool backUpDamagedFile();
    bool fail(int error);
    void useEmptySettings();
    bool writeNow(const std::vector<SettingsChanges::Change>& changes, qint64 lockWaitMs);
    /** Writes the kept changes, waiting up to lockWaitMs for the lock; true when none are left. */
    bool writePending(qint64 lockWaitMs);
    void retryPendingLater();
    /** A kept change of that key: a value, or none for a deleted one; nothing when none is kept. */
    std::optional<std::optional<QVariant>> pendingValue(const QString& key) const;
    QVariant valueOf(const QString& key) const;

    QString m_fileName;
    std::unique_ptr<QSettings> m_settings;
    /** A FIFO, a socket or a device stands where the file should be: it is never opened. */
    bool m_notAFile = false;
    bool m_damagedOnOpen = false;
    int m_lastWriteError = 0;
    /** Changes that found the lock held by another process, oldest first. */
    std::vector<SettingsChanges::Change> m_pending;
    bool m_lockBusy = false;
    std::unique_ptr<QTimer> m_retryTimer;
    int m_failedWrites = 0;
};

} // namespace quantaro
