#include "platform/desktopshell.h"

#include <QDesktopServices>
#include <QUrl>

namespace quantaro {

bool DesktopShell::openUrl(const QString& target)
{
    return QDesktopServices::openUrl(QUrl(target, QUrl::StrictMode));
}

} // namespace quantaro
