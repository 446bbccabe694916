#include "app/settingsstore.h"

#include <QCoreApplication>
#include <QDir>
#include <QStringList>
#include <QTimer>
#include <cstdio>
#include <cstring>
#include <limits>
#include <syslog.h>
#include <utility>

namespace quantaro {

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

// How long a write waits for another process's write to end. Qt never takes over the lock of a
// writer that is alive, however long it hangs: a window waits only a moment, so that it goes on
// answering, and changes that found the lock taken are kept and written when it is free again.
constexpr qint64 kLockMomentMs = 250;
// The last try of the store, as the program ends: long enough for a writer that is only slow, short
// enough for a session that is ending.
constexpr qint64 kLastLockWaitMs = 2000;
// How often kept changes are tried again while the event loop runs; a try never waits.
constexpr int kPendingRetryMs = 1000;
constexpr int kNoWait = 0;

QString sectionPath(const QString& section)
{
    QStringList parts;
    for (const QString& part : section.split(QLatin1Char('\\'), Qt::SkipEmptyParts)) {
        parts << escapeComponent(part);
    }
    return parts.join(QLatin1Char('/'));
}

} // namespace

SettingsStore::SettingsStore() {}

SettingsStore::SettingsStore(const QString& iniFile) : m_file(iniFile) {}

SettingsStore::~SettingsStore()
{
    if (!writePending(kLastLockWaitMs)) {
        // Nobody may be left to read a window: the loss is said where a session keeps its messages.
        const QByteArray line = QStringLiteral("%1: the settings could not be saved in %2: %3")
                                    .arg(settings::kApplication, QDir::toNativeSeparators(fileName()),
                                         QString::fromLocal8Bit(std::strerror(m_file.lastWriteError())))
                                    .toUtf8();
        std::fprintf(stderr, "%s\n", line.constData());
        ::syslog(LOG_ERR, "%s", line.constData());
    }
}

QString SettingsStore::keyFor(const QString& section, const QString& name) const
{
    const QString path = sectionPath(section);
    const QString value = escapeComponent(name);
    return path.isEmpty() ? value : path + QLatin1Char('/') + value;
}

bool SettingsStore::write(const SettingsChanges& changes)
{
    // Changes kept earlier go first, so that the later ones win.
    std::vector<SettingsChanges::Change> all = m_pending;
    all.insert(all.end(), changes.m_changes.cbegin(), changes.m_changes.cend());
    if (writeNow(all, kLockMomentMs)) {
        m_pending.clear();
        return true;
    }
    if (m_file.lockWasBusy()) {
        m_pending = std::move(all);
        retryPendingLater();
    }
    return false;
}

bool SettingsStore::hasPendingChanges() const
{
    return !m_pending.empty();
}

bool SettingsStore::writePending(qint64 lockWaitMs)
{
    if (m_pending.empty()) {
        return true;
    }
    if (writeNow(m_pending, lockWaitMs)) {
        m_pending.clear();
        return true;
    }
    // Another failure than the lock (a full disk) is as final as for a write of the moment.
    if (!m_file.lockWasBusy()) {
        m_pending.clear();
    }
    return false;
}

void SettingsStore::retryPendingLater()
{
    if (QCoreApplication::instance() == nullptr) {
        return;
    }
    if (!m_retryTimer) {
        m_retryTimer = std::make_unique<QTimer>();
        m_retryTimer->setSingleShot(true);
        m_retryTimer->setInterval(kPendingRetryMs);
        QObject::connect(m_retryTimer.get(), &QTimer::timeout, [this] {
            if (!writePending(kNoWait) && m_file.lockWasBusy()) {
                m_retryTimer->start();
            }
        });
    }
    m_retryTimer->start();
}

std::optional<std::optional<QVariant>> SettingsStore::pendingValue(const QString& key) const
{
    for (auto change = m_pending.crbegin(); change != m_pending.crend(); ++change) {
        if (change->name) {
            if (keyFor(change->section, *change->name) == key) {
                return change->value;
            }
        } else if (key.startsWith(sectionPath(change->section) + QLatin1Char('/'))) {
            return std::optional<QVariant>();
        }
    }
    return std::nullopt;
}

QVariant SettingsStore::valueOf(const QString& key) const
{
    if (!m_pending.empty()) {
        if (const auto pending = pendingValue(key)) {
            return pending->value_or(QVariant());
        }
    }
    return m_file.value(key);
}

bool SettingsStore::writeNow(const std::vector<SettingsChanges::Change>& changes, qint64 lockWaitMs)
{
    return m_file.replace(
        [&changes, this](IniValues& values) {
            for (const SettingsChanges::Change& change : changes) {
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
        },
        lockWaitMs);
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
    const QVariant value = valueOf(keyFor(section, name));
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
    const QVariant value = valueOf(keyFor(section, name));
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
    const QVariant value = valueOf(keyFor(section, name));
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
    return valueOf(keyFor(section, name)).isValid();
}

void SettingsStore::sync()
{
    writePending(kNoWait);
    m_file.sync();
}

QString SettingsStore::fileName() const
{
    return m_file.fileName();
}

QString SettingsStore::folder() const
{
    return m_file.folder();
}

int SettingsStore::lastWriteError() const
{
    return m_file.lastWriteError();
}

int SettingsStore::failedWrites() const
{
    return m_file.failedWrites();
}

void SettingsStore::removeWriteLeftovers()
{
    m_file.removeWriteLeftovers();
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
