#include "app/settingsstore.h"

#include "app/initext.h"
#include "platform/filewrite.h"

#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QSettings>
#include <QStringList>
#include <cerrno>
#include <fcntl.h>
#include <limits>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace quantaro {

namespace settings {

QString hiddenUnitsSection(const QString& code)
{
    return kHiddenUnits + QLatin1Char('\\') + code;
}

QString hiddenItemName(int index)
{
    return QStringLiteral("Item%1").arg(index);
}

static QString withSousRubric(const QString& base, std::optional<int> sousRubric)
{
    return sousRubric ? QStringLiteral("%1.%2").arg(base).arg(*sousRubric) : base;
}

QString fromName(const QString& code, std::optional<int> sousRubric)
{
    return withSousRubric(code + kFromSuffix, sousRubric);
}

QString toName(const QString& code, std::optional<int> sousRubric)
{
    return withSousRubric(code + kToSuffix, sousRubric);
}

} // namespace settings

namespace {
constexpr qint64 kMillisecondsPerSecond = 1000;
constexpr long kNanosecondsPerMillisecond = 1000000;

constexpr ushort kFirstPrintable = 0x20;
constexpr ushort kDelete = 0x7f;

// QSettings reads '/' and '\' as group separators; names from outside must stay one value, so
// they are percent-escaped together with '%' itself and control characters.
QString escapeComponent(const QString& name)
{
    QString out;
    out.reserve(name.size());
    for (const QChar ch : name) {
        const ushort code = ch.unicode();
        if (ch == QLatin1Char('%') || ch == QLatin1Char('/') || ch == QLatin1Char('\\') || code < kFirstPrintable ||
            code == kDelete) {
            out += QStringLiteral("%%1").arg(code, 2, 16, QLatin1Char('0')).toUpper();
        } else {
            out += ch;
        }
    }
    return out;
}

// Larger than any settings file this program writes; a bigger one is not read to be judged.
constexpr qint64 kLargestSoundFile = 8 * 1024 * 1024;
constexpr qint64 kCompareChunk = 64 * 1024;
constexpr uchar kFirstTextByte = 0x20;
// How long a write waits for another process's write to end: longer than a lock takes to count as
// stale (Qt's default), after which Qt takes over the lock of a writer that hangs.
constexpr qint64 kLockWaitMs = 40000;
constexpr int kLockPollMs = 100;
constexpr qint64 kEmptyLockAgeMs = 1000;
constexpr int kNoWait = 0;

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

/** Takes the file's lock, waiting for another writer; false when it cannot be had. */
bool takeLock(QLockFile& lock, const QString& lockPath)
{
    QElapsedTimer waited;
    waited.start();
    while (!lock.tryLock(kLockPollMs)) {
        if (lock.error() != QLockFile::LockFailedError || waited.elapsed() > kLockWaitMs) {
            return false;
        }
        // A writer killed between making the lock file and writing its name into it leaves it empty,
        // and Qt would wait for the lock to grow stale; a live writer fills it at once.
        const QFileInfo info(lockPath);
        if (info.exists() && info.size() == 0 &&
            info.lastModified().msecsTo(QDateTime::currentDateTime()) > kEmptyLockAgeMs) {
            lock.removeStaleLockFile();
        }
    }
    return true;
}

QString sectionPath(const QString& section)
{
    QStringList parts;
    for (const QString& part : section.split(QLatin1Char('\\'), Qt::SkipEmptyParts)) {
        parts << escapeComponent(part);
    }
    return parts.join(QLatin1Char('/'));
}

} // namespace

SettingsStore::SettingsStore()
    : m_settings(std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope, settings::kCompany,
                                             settings::kApplication))
{
    m_damagedOnOpen = fileIsDamaged(m_settings->fileName(), m_settings->status());
}

SettingsStore::SettingsStore(const QString& iniFile)
    : m_settings(std::make_unique<QSettings>(iniFile, QSettings::IniFormat))
{
    m_damagedOnOpen = fileIsDamaged(m_settings->fileName(), m_settings->status());
}

SettingsStore::~SettingsStore()
{
    m_settings->sync();
}

QString SettingsStore::keyFor(const QString& section, const QString& name) const
{
    const QString path = sectionPath(section);
    const QString value = escapeComponent(name);
    return path.isEmpty() ? value : path + QLatin1Char('/') + value;
}

bool SettingsStore::backUpDamagedFile()
{
    if (!m_damagedOnOpen) {
        return true;
    }
    const QString path = fileName();
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

bool SettingsStore::fail(int error)
{
    m_lastWriteError = error != 0 ? error : EIO;
    ++m_failedWrites;
    return false;
}

bool SettingsStore::write(const SettingsChanges& changes)
{
    const QString path = fileName();
    if (!QDir().mkpath(folder())) {
        return fail(::access(QFile::encodeName(QFileInfo(folder()).path()).constData(), W_OK) != 0 ? errno : EACCES);
    }
    const QString lockPath = path + QStringLiteral(".lock");
    QLockFile lock(lockPath);
    if (!takeLock(lock, lockPath)) {
        // The lock file is the first thing written: its failure says why the settings cannot be.
        if (::access(QFile::encodeName(folder()).constData(), W_OK) != 0) {
            return fail(errno);
        }
        return fail(lock.error() == QLockFile::UnknownError ? ENOSPC : EAGAIN);
    }
    // A file that cannot be read would be replaced by one without its values.
    QFile current(path);
    // Through a link: a link whose target is not yet there is a file yet to be made, not one unreadable.
    struct stat target = {};
    const bool exists = ::stat(QFile::encodeName(path).constData(), &target) == 0;
    if (exists && !current.open(QIODevice::ReadOnly)) {
        return fail(EACCES);
    }
    const QByteArray old = exists ? current.read(kLargestSoundFile) : QByteArray();
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
    for (const SettingsChanges::Change& change : changes.m_changes) {
        const QString group = sectionPath(change.section);
        if (!change.name) {
            values.remove(group);
            const QString prefix = group + QLatin1Char('/');
            values.removeIf([&prefix](const auto& entry) { return entry.key().startsWith(prefix); });
            continue;
        }
        const QString key = keyFor(change.section, *change.name);
        if (change.value) {
            values.insert(key, *change.value);
        } else {
            values.remove(key);
        }
    }
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
    m_settings->sync();
    return true;
}

bool SettingsStore::writeOne(const QString& section, const std::optional<QString>& name,
                             const std::optional<QVariant>& value)
{
    SettingsChanges changes;
    changes.m_changes.push_back({section, name, value});
    return write(changes);
}

int32_t SettingsStore::getInt(const QString& section, const QString& name, int32_t defaultValue) const
{
    const QVariant value = m_settings->value(keyFor(section, name));
    if (!value.isValid()) {
        return defaultValue;
    }
    // An INI file gives integers back as text; anything that is not a 32-bit number is unreadable.
    bool ok = false;
    const qlonglong number = value.toString().trimmed().toLongLong(&ok, 10);
    if (!ok || number < std::numeric_limits<int32_t>::min() || number > std::numeric_limits<int32_t>::max()) {
        return defaultValue;
    }
    return static_cast<int32_t>(number);
}

bool SettingsStore::putInt(const QString& section, const QString& name, int32_t value)
{
    return writeOne(section, name, QVariant(value));
}

QString SettingsStore::getString(const QString& section, const QString& name, const QString& defaultValue) const
{
    const QVariant value = m_settings->value(keyFor(section, name));
    if (!value.isValid()) {
        return defaultValue;
    }
    // A hand-edited value with an unquoted comma reads back as a list.
    if (value.typeId() == QMetaType::QStringList) {
        return value.toStringList().join(QLatin1Char(','));
    }
    if (value.typeId() == QMetaType::QByteArray) {
        return QString::fromUtf8(value.toByteArray());
    }
    return value.toString();
}

bool SettingsStore::putString(const QString& section, const std::optional<QString>& name,
                              const std::optional<QString>& value)
{
    if (!name) {
        return deleteKey(section);
    }
    return writeOne(section, name, value ? std::optional<QVariant>(*value) : std::nullopt);
}

std::optional<QByteArray> SettingsStore::getBinary(const QString& section, const QString& name) const
{
    const QVariant value = m_settings->value(keyFor(section, name));
    if (!value.isValid() || value.typeId() != QMetaType::QByteArray) {
        return std::nullopt;
    }
    return value.toByteArray();
}

bool SettingsStore::putBinary(const QString& section, const QString& name, const QByteArray& bytes)
{
    return writeOne(section, name, QVariant(bytes));
}

bool SettingsStore::deleteKey(const QString& path)
{
    if (sectionPath(path).isEmpty()) {
        return false;
    }
    return writeOne(path, std::nullopt, std::nullopt);
}

bool SettingsStore::contains(const QString& section, const QString& name) const
{
    return m_settings->contains(keyFor(section, name));
}

void SettingsStore::sync()
{
    m_settings->sync();
}

QString SettingsStore::fileName() const
{
    return m_settings->fileName();
}

QString SettingsStore::folder() const
{
    return QFileInfo(fileName()).absolutePath();
}

void SettingsStore::removeWriteLeftovers()
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

void SettingsChanges::putInt(const QString& section, const QString& name, int32_t value)
{
    m_changes.push_back({section, name, QVariant(value)});
}

void SettingsChanges::putString(const QString& section, const QString& name, const std::optional<QString>& value)
{
    m_changes.push_back({section, name, value ? std::optional<QVariant>(*value) : std::nullopt});
}

void SettingsChanges::putBinary(const QString& section, const QString& name, const QByteArray& bytes)
{
    m_changes.push_back({section, name, QVariant(bytes)});
}

void SettingsChanges::deleteKey(const QString& path)
{
    m_changes.push_back({path, std::nullopt, std::nullopt});
}

} // namespace quantaro
