#include "app/firstpaintwatcher.h"

#include <QCoreApplication>
#include <QEvent>
#include <QTimer>
#include <QWidget>

namespace quantaro {

FirstPaintWatcher::FirstPaintWatcher(QObject* parent)
    : QObject(parent)
{
}

void FirstPaintWatcher::installIfRequested()
{
    if (qEnvironmentVariableIsSet(kExitAfterPaintVariable) && QCoreApplication::instance() != nullptr) {
        QCoreApplication::instance()->installEventFilter(new FirstPaintWatcher(QCoreApplication::instance()));
    }
}

bool FirstPaintWatcher::eventFilter(QObject* watched, QEvent* event)
{
    if (!m_done && event->type() == QEvent::Paint) {
        const auto* widget = qobject_cast<QWidget*>(watched);
        if (widget != nullptr && widget->isWindow()) {
            m_done = true;
            // Leaves every running event loop, the modal window's included, once what the first
            // paint queued has run too (the home window loads its catalogue after painting).
            QTimer::singleShot(0, QCoreApplication::instance(), [] {
                QTimer::singleShot(0, QCoreApplication::instance(), [] { QCoreApplication::exit(0); });
            });
        }
    }
    return QObject::eventFilter(watched, event);
}

} // namespace quantaro
