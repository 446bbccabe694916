#include "platform/clock.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QThread>

namespace quantaro {

int64_t SystemClock::now() const
{
    return QDateTime::currentSecsSinceEpoch();
}

void SystemClock::sleepMs(int milliseconds)
{
    if (milliseconds > 0) {
        QThread::msleep(static_cast<unsigned long>(milliseconds));
    }
}

void SystemClock::pumpOneMessage()
{
    if (QCoreApplication::instance() != nullptr) {
        QCoreApplication::processEvents(QEventLoop::AllEvents);
    }
}

} // namespace quantaro
