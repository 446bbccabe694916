#include "platform/qtmessageboxes.h"

#include "platform/shutdownsignals.h"

#include <QApplication>
#include <QMessageBox>
#include <cstdio>
#include <syslog.h>

namespace quantaro {

void QtMessageBoxes::show(const QString& text, MessageIcon icon)
{
    // At a log-out or a service stop nobody is there to press OK: a box would keep the program from
    // ending. What it would have said goes to standard error and the system log instead.
    if (ShutdownSignals::requested()) {
        const QByteArray line = QApplication::applicationName().toUtf8() + ": " + text.toUtf8();
        std::fprintf(stderr, "%s\n", line.constData());
        std::fflush(stderr);
        ::syslog(icon == MessageIcon::Information ? LOG_NOTICE : LOG_ERR, "%s", line.constData());
        return;
    }
    QMessageBox::Icon boxIcon = QMessageBox::Information;
    switch (icon) {
    case MessageIcon::Error:
    case MessageIcon::Stop:
        boxIcon = QMessageBox::Critical;
        break;
    case MessageIcon::Exclamation:
        boxIcon = QMessageBox::Warning;
        break;
    case MessageIcon::Information:
        boxIcon = QMessageBox::Information;
        break;
    }
    QMessageBox box(boxIcon, QApplication::applicationName(), text, QMessageBox::Ok, QApplication::activeWindow());
    box.exec();
}

} // namespace quantaro
