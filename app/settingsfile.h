#pragma once

#include "app/initext.h"

#include <QString>
#include <QVariant>
#include <functional>
#include <memory>

class QSettings;

namespace quantaro {

/**
 * The INI file behind the settings: what it holds, and its replacement whole under its lock.
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
class SettingsFile
{
public:
    /** The user's file: Quantaro.ini under $XDG_CONFIG_HOME/Velmora/. */
    SettingsFile();
    /** The given INI file. */
    explicit SettingsFile(const QString& iniFile);
    ~SettingsFile();
    SettingsFile(const SettingsFile&) = delete;
    SettingsFile& operator=(const SettingsFile&) = delete;

    /** The value of a key ("Section/Name") as last read; invalid when absent. */
    QVariant value(const QString& key) const;
    /** Reads what other processes wrote. */
    void sync();

    /**
     * Replaces the file with what it holds now, changed by edit, waiting up to lockWaitMs for
     * another writer's lock; false when it failed (the file is then as it was).
     */
    bool replace(const std::function<void(IniValues&)>& edit, qint64 lockWaitMs);
    /** Whether the last replace() found the lock held by another process. */
    bool lockWasBusy() const { return m_lockBusy; }

    /** The errno of the last write that failed, 0 when none has. */
    int lastWriteError() const { return m_lastWriteError; }
    /** How many writes have failed. */
    int failedWrites() const { return m_failedWrites; }

    QString fileName() const { return m_fileName; }
    /** The folder that holds the file. */
    QString folder() const;

    /**
     * Removes the new files that an interrupted write (of this program or of Qt's save path) left
     * beside the file: its name, a point and six letters or digits, owned by this user. Only while
     * no other process writes; nothing else in the folder is touched.
     */
    void removeWriteLeftovers();

    /** Most backups of damaged files kept beside the file. */
    static constexpr int kMaxBackups = 10;

private:
    /** Copies a damaged file aside once, before it is first rewritten; false when that failed. */
    bool backUpDamagedFile();
    bool fail(int error);
    void useEmptySettings();

    QString m_fileName;
    std::unique_ptr<QSettings> m_settings;
    /** A FIFO, a socket or a device stands where the file should be: it is never opened. */
    bool m_notAFile = false;
    bool m_damagedOnOpen = false;
    bool m_lockBusy = false;
    int m_lastWriteError = 0;
    int m_failedWrites = 0;
};

} // namespace quantaro
