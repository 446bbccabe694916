#include "platform/qtmessageboxes.h"

#include <QApplication>
#include <QMessageBox>

namespace quantaro {

void QtMessageBoxes::show(const QString& text, MessageIcon icon)
{
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
