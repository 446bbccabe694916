#include "ui/waitcursor.h"

#include <QApplication>
#include <QCursor>

namespace quantaro {

WaitCursor::WaitCursor()
{
    QApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
}

WaitCursor::~WaitCursor()
{
    QApplication::restoreOverrideCursor();
}

} // namespace quantaro
