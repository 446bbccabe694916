#include "program/firstpaintwatcher.h"

#include <QCoreApplication>
#include <QEvent>
#include <QTimer>
#include <QWidget>
#include <cstdio>
#include <cstdlib>

namespace quantaro {

FirstPaintWatcher::FirstPaintWatcher(QObject* parent) : QObject(parent) {}

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
            // Ends the process once what the first paint queued has run too (the home window loads
            // its catalogue after painting). It ends there and then, without leaving the windows'
            // loops: the time measured is the wait for a usable window, not the tear-down after it,
            // and a first start ends before its language window could be answered.
            QTimer::singleShot(0, QCoreApplication::instance(), [] {
                QTimer::singleShot(0, QCoreApplication::instance(), [] {
                    std::fflush(nullptr);
                    std::_Exit(0);
                });
            });
        }
    }
    return QObject::eventFilter(watched, event);
}

} // namespace quantaro
