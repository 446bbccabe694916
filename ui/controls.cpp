#include "ui/controls.h"

#include "ui/dialogtemplate.h"

#include <QVariant>
#include <QWidget>

namespace quantaro {

int controlIdOf(const QWidget* control)
{
    bool ok = false;
    const int id = control->property(kControlIdProperty).toInt(&ok);
    return ok ? id : 0;
}

QWidget* findControl(const QWidget* window, int id)
{
    if (!window || id == 0) {
        return nullptr;
    }
    const auto children = window->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly);
    for (QWidget* child : children) {
        if (controlIdOf(child) == id) {
            return child;
        }
    }
    return nullptr;
}

QHash<int, QWidget*> controlsById(const QWidget* window)
{
    QHash<int, QWidget*> controls;
    if (!window) {
        return controls;
    }
    const auto children = window->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly);
    for (QWidget* child : children) {
        const int id = controlIdOf(child);
        if (id != 0 && !controls.contains(id)) {
            controls.insert(id, child);
        }
    }
    return controls;
}

} // namespace quantaro
