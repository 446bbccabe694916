#include "platform/filenotificationservice.h"

#include "platform/filewrite.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QStandardPaths>
#include <algorithm>
#include <limits>

namespace quantaro {

namespace {

const QString kCompanyFolder = QStringLiteral("Velmora");
const QString kFileName = QStringLiteral("quantaro-notifications.json");
const QString kRegistrationsKey = QStringLiteral("registrations");
const QString kHandleKey = QStringLiteral("handle");
const QString kEventKey = QStringLiteral("event");
const QString kApplicationKey = QStringLiteral("application");
const QString kArgumentsKey = QStringLiteral("arguments");
const QString kStartKey = QStringLiteral("start");
const QString kEndKey = QStringLiteral("end");
// Paths and argument strings longer than this are not something this program registers.
constexpr qsizetype kMaxTextLength = 4096;

QJsonObject toJson(const NotificationRegistration& r)
{
    return QJsonObject{
        {kHandleKey, r.handle},
        {kEventKey, r.event},
        {kApplicationKey, r.application},
        {kArgumentsKey, r.arguments},
        {kStartKey, r.start.toUTC().toString(Qt::ISODate)},
        {kEndKey, r.end.toUTC().toString(Qt::ISODate)},
    };
}

std::optional<NotificationRegistration> fromJson(const QJsonObject& o)
{
    NotificationRegistration r;
    const double handle = o.value(kHandleKey).toDouble(0);
    const double event = o.value(kEventKey).toDouble(0);
    if (handle < 1 || handle > std::numeric_limits<int32_t>::max() || event < 1 ||
        event > std::numeric_limits<int32_t>::max()) {
        return std::nullopt;
    }
    r.handle = static_cast<int32_t>(handle);
    r.event = static_cast<int32_t>(event);
    r.application = o.value(kApplicationKey).toString();
    r.arguments = o.value(kArgumentsKey).toString();
    r.start = QDateTime::fromString(o.value(kStartKey).toString(), Qt::ISODate);
    r.end = QDateTime::fromString(o.value(kEndKey).toString(), Qt::ISODate);
    if (r.application.isEmpty() || r.application.size() > kMaxTextLength || r.arguments.size() > kMaxTextLength ||
        !r.start.isValid() || !r.end.isValid()) {
        return std::nullopt;
    }
    return r;
}

// The lowest positive handle that no registration holds.
int32_t freeHandle(const std::vector<NotificationRegistration>& registrations)
{
    int32_t highest = 0;
    for (const NotificationRegistration& r : registrations) {
        highest = std::max(highest, r.handle);
    }
    if (highest < std::numeric_limits<int32_t>::max()) {
        return highest + 1;
    }
    for (int32_t candidate = 1;; ++candidate) {
        const bool taken =
            std::any_of(registrations.begin(), registrations.end(),
                        [candidate](const NotificationRegistration& r) { return r.handle == candidate; });
        if (!taken) {
            return candidate;
        }
    }
}

} // namespace

FileNotificationService::FileNotificationService(QString file) : m_file(std::move(file)) {}

QString FileNotificationService::defaultFile()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + QLatin1Char('/') + kCompanyFolder +
           QLatin1Char('/') + kFileName;
}

int32_t FileNotificationService::registerApplication(int32_t event, const QString& application,
                                                     const QString& arguments, const QDateTime& start,
                                                     const QDateTime& end)
{
    if (event < 1 || application.isEmpty() || !QFileInfo(application).isAbsolute() ||
        application.size() > kMaxTextLength || arguments.size() > kMaxTextLength || !start.isValid() ||
        !end.isValid() || end < start) {
        return notification::kNoHandle;
    }
    // An unreadable file held nothing that could ever fire; it is replaced.
    std::vector<NotificationRegistration> list = read().value_or(std::vector<NotificationRegistration>{});
    if (static_cast<int>(list.size()) >= kMaxRegistrations) {
        return notification::kNoHandle;
    }
    NotificationRegistration r{freeHandle(list), event, application, arguments, start.toUTC(), end.toUTC()};
    list.push_back(r);
    return write(list) ? r.handle : notification::kNoHandle;
}

void FileNotificationService::cancel(int32_t handle)
{
    if (handle == notification::kNoHandle) {
        return;
    }
    std::optional<std::vector<NotificationRegistration>> list = read();
    if (!list) {
        return;
    }
    const auto removed =
        std::erase_if(*list, [handle](const NotificationRegistration& r) { return r.handle == handle; });
    if (removed > 0) {
        write(*list);
    }
}

std::vector<NotificationRegistration> FileNotificationService::registrations() const
{
    return read().value_or(std::vector<NotificationRegistration>{});
}

std::vector<NotificationRegistration> FileNotificationService::due(int32_t event, const QDateTime& now) const
{
    std::vector<NotificationRegistration> result;
    for (const NotificationRegistration& r : registrations()) {
        if (r.event == event && r.start <= now && now <= r.end) {
            result.push_back(r);
        }
    }
    return result;
}

int FileNotificationService::fire(int32_t event, const QDateTime& now, const Launcher& launcher) const
{
    int started = 0;
    for (const NotificationRegistration& r : due(event, now)) {
        // The argument text is split like a command line but never handed to a shell.
        if (launcher(r.application, QProcess::splitCommand(r.arguments))) {
            ++started;
        }
    }
    return started;
}

bool FileNotificationService::startDetached(const QString& program, const QStringList& arguments)
{
    return QProcess::startDetached(program, arguments);
}

std::optional<std::vector<NotificationRegistration>> FileNotificationService::read() const
{
    QFile file(m_file);
    if (!file.exists()) {
        return std::vector<NotificationRegistration>{};
    }
    if (!file.open(QIODevice::ReadOnly) || file.size() > kMaxFileBytes) {
        return std::nullopt;
    }
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(file.read(kMaxFileBytes), &error);
    if (error.error != QJsonParseError::NoError || !document.isObject()) {
        return std::nullopt;
    }
    std::vector<NotificationRegistration> list;
    for (const QJsonValue& value : document.object().value(kRegistrationsKey).toArray()) {
        if (static_cast<int>(list.size()) >= kMaxRegistrations) {
            break;
        }
        std::optional<NotificationRegistration> r = fromJson(value.toObject());
        const bool duplicate = r && std::any_of(list.begin(), list.end(), [&r](const NotificationRegistration& other) {
                                   return other.handle == r->handle;
                               });
        if (r && !duplicate) {
            list.push_back(*r);
        }
    }
    return list;
}

bool FileNotificationService::write(const std::vector<NotificationRegistration>& registrations) const
{
    if (!QDir().mkpath(QFileInfo(m_file).absolutePath())) {
        return false;
    }
    QJsonArray array;
    for (const NotificationRegistration& r : registrations) {
        array.append(toJson(r));
    }
    const QByteArray data = QJsonDocument(QJsonObject{{kRegistrationsKey, array}}).toJson();
    // The dispatcher hook may read the file at any moment: it sees the old file or the new one whole.
    return replaceFile(m_file, data).ok();
}

} // namespace quantaro
