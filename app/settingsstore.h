#pragma once

#include "app/settingsfile.h"
#include "app/settingskeys.h"

#include <QByteArray>
#include <QString>
#include <QVariant>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

class QTimer;

namespace quantaro {

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
 * The file underneath (its lock, the backup of a damaged file, the replacement whole) is SettingsFile's.
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
    int lastWriteError() const;
    /** How many writes have failed: whether a piece of work had one. */
    int failedWrites() const;
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
    static constexpr int kMaxBackups = SettingsFile::kMaxBackups;

private:
    QString keyFor(const QString& section, const QString& name) const;
    bool writeOne(const QString& section, const std::optional<QString>& name, const std::optional<QVariant>& value);
    bool writeNow(const std::vector<SettingsChanges::Change>& changes, qint64 lockWaitMs);
    /** Writes the kept changes, waiting up to lockWaitMs for the lock; true when none are left. */
    bool writePending(qint64 lockWaitMs);
    void retryPendingLater();
    /** A kept change of that key: a value, or none for a deleted one; nothing when none is kept. */
    std::optional<std::optional<QVariant>> pendingValue(const QString& key) const;
    QVariant valueOf(const QString& key) const;

    SettingsFile m_file;
    /** Changes that found the lock held by another process, oldest first. */
    std::vector<SettingsChanges::Change> m_pending;
    std::unique_ptr<QTimer> m_retryTimer;
};

} // namespace quantaro
