#include "app/settingsfile.h"

#include "app/settingskeys.h"
#include "platform/filewrite.h"

#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QSettings>
#include <QStandardPaths>
#include <QStringList>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace quantaro {

namespace {
constexpr qint64 kMillisecondsPerSecond = 1000;
constexpr long kNanosecondsPerMillisecond = 1000000;

// Larger than any settings file this program writes; a bigger one is not read to be judged.
constexpr qint64 kLargestSoundFile = 8 * 1024 * 1024;
constexpr qint64 kCompareChunk = 64 * 1024;
constexpr uchar kFirstTextByte = 0x20;
constexpr int kLockPollMs = 20;
// A lock file still empty after this long was left by a writer killed between making it and writing
// its name into it (a live writer writes at once): shorter than the moment a window waits.
constexpr qint64 kEmptyLockAgeMs = 100;
constexpr int kNoWait = 0;
// What the file reads as while no regular file is in its place.
constexpr auto kEmptyFile = "/dev/null";

/**
 * Whether QSettings would drop or misread part of the text on its next rewrite: control bytes, a
 * section header without its bracket, a line that is no "name=value", a typed value cut short.
 */
bool looksDamaged(const QByteArray& bytes)
{
    for (const char c : bytes) {
        if (static_cast<uchar>(c) < kFirstTextByte && c != '\t' && c != '\r' && c != '\n') {
            return true;
        }
    }
    for (const QByteArray& rawLine : bytes.split('\n')) {
        const QByteArray line = rawLine.trimmed();
        if (line.isEmpty() || line.startsWith(';') || line.startsWith('#')) {
            continue;
        }
        if (line.startsWith('[')) {
            if (!line.contains(']')) {
                return true;
            }
            continue;
        }
        const qsizetype equals = line.indexOf('=');
        if (equals < 0) {
            return true;
        }
        const QByteArray value = line.mid(equals + 1).trimmed();
        if (value.startsWith('@') && !value.startsWith("@@") && !value.endsWith(')')) {
            return true;
        }
    }
    return false;
}

bool fileIsDamaged(const QString& path, QSettings::Status status)
{
    const QFileInfo info(path);
    if (!info.isFile()) {
        return false;
    }
    if (status == QSettings::FormatError || info.size() > kLargestSoundFile) {
        return true;
    }
    QFile file(path);
    return file.open(QIODevice::ReadOnly) && looksDamaged(file.readAll());
}

/** Where Qt keeps the user's settings of this program: $XDG_CONFIG_HOME/Velmora/Quantaro.ini. */
QString userSettingsFile()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + QLatin1Char('/') +
           settings::kCompany + QLatin1Char('/') + settings::kApplication + QStringLiteral(".ini");
}

/** Whether a settings file may be opened for reading without waiting: a FIFO, a socket or a device
 *  in its place (or behind its link) is never opened. A folder there fails every write as before. */
bool isRegularOrAbsent(const QString& path)
{
    struct stat info = {};
    if (::stat(QFile::encodeName(path).constData(), &info) != 0) {
        return true;
    }
    return S_ISREG(info.st_mode) || S_ISDIR(info.st_mode);
}

bool sameContents(const QString& first, const QString& second)
{
    QFile a(first);
    QFile b(second);
    if (!a.open(QIODevice::ReadOnly) || !b.open(QIODevice::ReadOnly) || a.size() != b.size()) {
        return false;
    }
    while (!a.atEnd()) {
        if (a.read(kCompareChunk) != b.read(kCompareChunk)) {
            return false;
        }
    }
    return true;
}

/** Takes the file's lock, waiting up to waitMs for another writer; false when it cannot be had. */
bool takeLock(QLockFile& lock, const QString& lockPath, qint64 waitMs)
{
    QElapsedTimer waited;
    waited.start();
    while (!lock.tryLock(waitMs > 0 ? kLockPollMs : kNoWait)) {
        if (lock.error() != QLockFile::LockFailedError) {
            return false;
        }
        // A writer killed between making the lock file and writing its name into it leaves it empty,
        // and Qt would wait for the lock to grow stale; a live writer fills it at once.
        const QFileInfo info(lockPath);
        if (info.exists() && info.size() == 0 &&
            info.lastModified().msecsTo(QDateTime::currentDateTime()) > kEmptyLockAgeMs) {
            lock.removeStaleLockFile();
            if (lock.tryLock(kNoWait)) {
                return true;
            }
        }
        if (waited.elapsed() >= waitMs) {
            return false;
        }
    }
    return true;
}

} // namespace

SettingsFile::SettingsFile() : m_fileName(userSettingsFile())
{
    if (isRegularOrAbsent(m_fileName)) {
        m_settings = std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope, settings::kCompany,
                                                 settings::kApplication);
        m_fileName = m_settings->fileName();
    } else {
        useEmptySettings();
    }
    m_damagedOnOpen = m_notAFile || fileIsDamaged(m_fileName, m_settings->status());
}

SettingsFile::SettingsFile(const QString& iniFile) : m_fileName(iniFile)
{
    if (isRegularOrAbsent(m_fileName)) {
        m_settings = std::make_unique<QSettings>(iniFile, QSettings::IniFormat);
        m_fileName = m_settings->fileName();
    } else {
        useEmptySettings();
    }
    m_damagedOnOpen = m_notAFile || fileIsDamaged(m_fileName, m_settings->status());
}

void SettingsFile::useEmptySettings()
{
    // Qt's settings would open the file and wait there for a FIFO's writer: nothing is read from
    // anything but a regular file. The store reads as empty, and the first write puts a file in its place.
    m_notAFile = true;
    m_fileName = QFileInfo(m_fileName).absoluteFilePath();
    m_settings = std::make_unique<QSettings>(QString::fromLatin1(kEmptyFile), QSettings::IniFormat);
}

SettingsFile::~SettingsFile()
{
    m_settings->sync();
}

QVariant SettingsFile::value(const QString& key) const
{
    return m_settings->value(key);
}

void SettingsFile::sync()
{
    m_settings->sync();
}

QString SettingsFile::folder() const
{
    return QFileInfo(m_fileName).absolutePath();
}

bool SettingsFile::backUpDamagedFile()
{
    if (!m_damagedOnOpen) {
        return true;
    }
    const QString path = fileName();
    if (!isRegularOrAbsent(path)) {
        // What stands in the file's place cannot be copied without waiting on it: it is moved aside
        // whole, to the first free backup name.
        for (int n = 0; n < kMaxBackups; ++n) {
            const QString backup = path + (n == 0 ? QStringLiteral(".bak") : QStringLiteral(".bak.%1").arg(n));
            struct stat info = {};
            if (::lstat(QFile::encodeName(backup).constData(), &info) == 0) {
                continue;
            }
            if (::rename(QFile::encodeName(path).constData(), QFile::encodeName(backup).constData()) != 0) {
                return fail(errno);
            }
            m_damagedOnOpen = false;
            return true;
        }
        return fail(EEXIST);
    }
    if (!fileIsDamaged(path, m_settings->status())) {
        m_damagedOnOpen = false;
        return true;
    }
    for (int n = 0; n < kMaxBackups; ++n) {
        const QString backup = path + (n == 0 ? QStringLiteral(".bak") : QStringLiteral(".bak.%1").arg(n));
        if (QFileInfo::exists(backup)) {
            if (sameContents(path, backup)) {
                m_damagedOnOpen = false;
                return true;
            }
            // Earlier backups stay for the person who may still recover them; only the last gives way.
            if (n < kMaxBackups - 1 || !QFile::remove(backup)) {
                continue;
            }
        }
        QFile damaged(path);
        if (!damaged.open(QIODevice::ReadOnly)) {
            return fail(EIO);
        }
        if (const WriteOutcome copied = replaceFile(backup, damaged.readAll()); !copied.ok()) {
            return fail(copied.error);
        }
        m_damagedOnOpen = false;
        return true;
    }
    return false;
}

bool SettingsFile::fail(int error)
{
    m_lastWriteError = error != 0 ? error : EIO;
    ++m_failedWrites;
    return false;
}

bool SettingsFile::replace(const std::function<void(IniValues&)>& edit, qint64 lockWaitMs)
{
    m_lockBusy = false;
    const QString path = fileName();
    if (!QDir().mkpath(folder())) {
        return fail(::access(QFile::encodeName(QFileInfo(folder()).path()).constData(), W_OK) != 0 ? errno : EACCES);
    }
    const QString lockPath = path + QStringLiteral(".lock");
    QLockFile lock(lockPath);
    if (!takeLock(lock, lockPath, lockWaitMs)) {
        // The lock file is the first thing written: its failure says why the settings cannot be.
        if (::access(QFile::encodeName(folder()).constData(), W_OK) != 0) {
            return fail(errno);
        }
        m_lockBusy = lock.error() == QLockFile::LockFailedError;
        return fail(lock.error() == QLockFile::UnknownError ? ENOSPC : EBUSY);
    }
    // A file that cannot be read would be replaced by one without its values.
    QFile current(path);
    // Through a link: a link whose target is not yet there is a file yet to be made, not one unreadable.
    struct stat target = {};
    const bool exists = ::stat(QFile::encodeName(path).constData(), &target) == 0;
    if (isRegularOrAbsent(path) && exists && !current.open(QIODevice::ReadOnly)) {
        return fail(EACCES);
    }
    const QByteArray old = current.isOpen() ? current.read(kLargestSoundFile) : QByteArray();
    // Under the lock nobody else writes: read what other processes wrote, so none of it is lost.
    m_settings->sync();
    // A damaged file is rewritten whole with only what could be read: never before it is kept aside.
    if (!backUpDamagedFile()) {
        return false;
    }
    IniValues values;
    for (const QString& key : m_settings->allKeys()) {
        values.insert(key, m_settings->value(key));
    }
    edit(values);
    const QDateTime replacedAt = QFileInfo(path).lastModified();
    if (const WriteOutcome written = replaceFile(path, iniText(values, iniKeyOrder(old))); !written.ok()) {
        return fail(written.error);
    }
    // QSettings reads a file again only when its time or size changed: a file replaced within the same
    // millisecond by one of the same size would keep the old values, so the new one is made newer.
    if (replacedAt.isValid() && QFileInfo(path).lastModified() <= replacedAt) {
        const qint64 newer = replacedAt.toMSecsSinceEpoch() + 1;
        const timespec times[2] = {{0, UTIME_OMIT},
                                   {time_t(newer / kMillisecondsPerSecond),
                                    long(newer % kMillisecondsPerSecond) * kNanosecondsPerMillisecond}};
        ::utimensat(AT_FDCWD, QFile::encodeName(path).constData(), times, 0);
    }
    if (m_notAFile) {
        // A file is in its place now: it is read from here on.
        m_notAFile = false;
        m_settings = std::make_unique<QSettings>(path, QSettings::IniFormat);
    }
    m_settings->sync();
    return true;
}

void SettingsFile::removeWriteLeftovers()
{
    const QDir dir(folder());
    const QString target = fileName();
    QStringList candidates;
    for (const QString& name : dir.entryList(QDir::Files | QDir::Hidden | QDir::System)) {
        if (isReplacementName(target, name)) {
            candidates << name;
        }
    }
    // Nearly every start finds none: the lock, whose file is written and flushed to the disk, is
    // taken only when there is something to remove.
    if (candidates.isEmpty()) {
        return;
    }
    QLockFile lock(fileName() + QStringLiteral(".lock"));
    // A writer holds the lock while its new file exists: with the lock taken, every such file is a leftover.
    if (!lock.tryLock(kNoWait)) {
        return;
    }
    for (const QString& name : std::as_const(candidates)) {
        const QByteArray path = QFile::encodeName(dir.filePath(name));
        struct stat info = {};
        if (::lstat(path.constData(), &info) == 0 && S_ISREG(info.st_mode) && info.st_uid == ::geteuid()) {
            ::unlink(path.constData());
        }
    }
}

} // namespace quantaro
