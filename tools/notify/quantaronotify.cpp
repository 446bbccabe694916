// quantaro-notify: fires a system event of the notification service, starting every program that
// the current user registered for it, or lists the user's registrations. The network manager's
// dispatcher hook runs it as each user with registrations.
//
//   quantaro-notify fire <event> [--wait]
//   quantaro-notify list
//
// --wait runs each program in turn and waits for it to end, to check a registration by hand.
#include "platform/filenotificationservice.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QProcess>
#include <QStringList>
#include <cstdio>

namespace {

enum ExitCode
{
    kOk = 0,
    kUsage = 1,
    kNotAllStarted = 2,
};

const QString kFire = QStringLiteral("fire");
const QString kList = QStringLiteral("list");
const QString kWait = QStringLiteral("--wait");

int usage()
{
    std::fprintf(stderr, "usage: quantaro-notify fire <event> [--wait]\n       quantaro-notify list\n");
    return kUsage;
}

bool runAndWait(const QString& program, const QStringList& arguments)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::ForwardedChannels);
    process.start(program, arguments);
    return process.waitForStarted() && process.waitForFinished(-1);
}

} // namespace

int main(int argc, char** argv)
{
    using quantaro::FileNotificationService;
    QCoreApplication app(argc, argv);
    const QStringList arguments = QCoreApplication::arguments().mid(1);
    FileNotificationService service(FileNotificationService::defaultFile());

    if (arguments == QStringList{kList}) {
        for (const quantaro::NotificationRegistration& r : service.registrations()) {
            std::printf("%d\tevent %d\t%s .. %s\t%s %s\n", r.handle, r.event, qPrintable(r.start.toString(Qt::ISODate)),
                        qPrintable(r.end.toString(Qt::ISODate)), qPrintable(r.application), qPrintable(r.arguments));
        }
        return kOk;
    }
    const bool wait = arguments.size() == 3 && arguments.at(2) == kWait;
    if ((arguments.size() != 2 && !wait) || arguments.at(0) != kFire) {
        return usage();
    }
    bool isNumber = false;
    const int event = arguments.at(1).toInt(&isNumber);
    if (!isNumber || event < 1) {
        return usage();
    }
    const QDateTime now = QDateTime::currentDateTimeUtc();
    const auto due = service.due(event, now);
    const int started = service.fire(event, now, wait ? runAndWait : FileNotificationService::startDetached);
    return started == static_cast<int>(due.size()) ? kOk : kNotAllStarted;
}
