#pragma once

#include "platform/notificationservice.h"

#include <QStringList>
#include <functional>
#include <optional>
#include <vector>

namespace quantaro {

/** One live registration of the file-backed notification service. */
struct NotificationRegistration
{
    int32_t handle = notification::kNoHandle;
    int32_t event = 0;
    QString application;
    QString arguments;
    QDateTime start;
    QDateTime end;

    friend bool operator==(const NotificationRegistration&, const NotificationRegistration&) = default;
};

/**
 * The notification service of this port: registrations live in a JSON file of their own (never in
 * the settings store), rewritten whole and atomically at every change. Firing an event is a command
 * (quantaro-notify fire N, run by the network manager's dispatcher hook) that starts every live
 * registration of that event with its arguments, without a shell.
 */
class FileNotificationService final : public NotificationService
{
public:
    /** Starts a program with its arguments; true when it started. */
    using Launcher = std::function<bool(const QString& program, const QStringList& arguments)>;

    /** Most registrations the file holds; registering beyond is refused, reading stops there. */
    static constexpr int kMaxRegistrations = 1000;
    /** A larger file is not read: it was not written by this service. */
    static constexpr qint64 kMaxFileBytes = 1 << 20;

    /** A store in the given file. */
    explicit FileNotificationService(QString file);

    /** The user's store: quantaro-notifications.json under $XDG_CONFIG_HOME/Velmora/. */
    static QString defaultFile();

    int32_t registerApplication(int32_t event, const QString& application, const QString& arguments,
                                const QDateTime& start, const QDateTime& end) override;
    void cancel(int32_t handle) override;

    /** Every registration the file holds (empty when it is missing or unreadable). */
    std::vector<NotificationRegistration> registrations() const;
    /** The registrations of event whose start <= now <= end. */
    std::vector<NotificationRegistration> due(int32_t event, const QDateTime& now) const;
    /** Starts every registration due for event; answers how many started. */
    int fire(int32_t event, const QDateTime& now, const Launcher& launcher) const;

    /** Starts a program detached from the caller, as the dispatcher hook needs. */
    static bool startDetached(const QString& program, const QStringList& arguments);

    const QString& file() const { return m_file; }

private:
    std::optional<std::vector<NotificationRegistration>> read() const;
    bool write(const std::vector<NotificationRegistration>& registrations) const;

    QString m_file;
};

} // namespace quantaro
