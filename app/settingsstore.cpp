#include "app/settingsstore.h"

#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QStringList>
#include <limits>
#include <sys/stat.h>

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

/** Identity of a file's current contents: a rewrite through a temporary file changes it. */
struct FileStamp
{
    bool isFile = false;
    dev_t device = 0;
    ino_t inode = 0;
    timespec modified{};
    off_t size = 0;

    bool operator==(const FileStamp& other) const
    {
        return isFile == other.isFile && device == other.device && inode == other.inode &&
               modified.tv_sec == other.modified.tv_sec && modified.tv_nsec == other.modified.tv_nsec &&
               size == other.size;
    }
};

FileStamp stampOf(const QString& path)
{
    struct stat info = {};
    FileStamp stamp;
    if (::stat(QFile::encodeName(path).constData(), &info) == 0 && S_ISREG(info.st_mode)) {
        stamp = {true, info.st_dev, info.st_ino, info.st_mtim, info.st_size};
    }
    return stamp;
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
        if (QFile::copy(path, backup)) {
            m_damagedOnOpen = false;
            return true;
        }
        return false;
    }
    return false;
}

bool SettingsStore::commit()
{
    // A damaged file is rewritten whole with only what could be read: never before it is kept aside.
    if (!backUpDamagedFile()) {
        return false;
    }
    const QString path = fileName();
    const FileStamp before = stampOf(path);
    m_settings->sync();
    if (m_settings->status() == QSettings::NoError) {
        return true;
    }
    // QSettings keeps the first error it met for the rest of its life (a damaged file read at the
    // start included), so only the file itself tells whether this write reached it: QSettings
    // replaces the file through a temporary one.
    const FileStamp after = stampOf(path);
    return after.isFile && !(after == before);
}

bool SettingsStore::writeValue(const QString& key, const std::optional<QVariant>& value)
{
    const QVariant old = m_settings->value(key);
    if (value) {
        m_settings->setValue(key, *value);
    } else {
        m_settings->remove(key);
    }
    if (commit()) {
        return true;
    }
    // A value that did not reach the file is not shown by later reads either: the old one stays.
    if (old.isValid()) {
        m_settings->setValue(key, old);
    } else {
        m_settings->remove(key);
    }
    return false;
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
    return writeValue(keyFor(section, name), QVariant(value));
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
    return writeValue(keyFor(section, *name), value ? std::optional<QVariant>(*value) : std::nullopt);
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
    return writeValue(keyFor(section, name), QVariant(bytes));
}

bool SettingsStore::deleteKey(const QString& path)
{
    const QString group = sectionPath(path);
    if (group.isEmpty()) {
        return false;
    }
    m_settings->remove(group);
    return commit();
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

} // namespace quantaro
