#include "ui/controls.h"

#include "ui/dialogtemplate.h"

#include <QAbstractButton>
#include <QVariant>
#include <QWidget>
#include <cstdlib>

namespace quantaro {

namespace {
// How much more a step sideways counts than a step the arrow's way.
constexpr int kSidewaysWeight = 2;
} // namespace

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

QWidget* buttonTowards(const QWidget* from, int key)
{
    QPoint way;
    switch (key) {
    case Qt::Key_Left:
        way = QPoint(-1, 0);
        break;
    case Qt::Key_Right:
        way = QPoint(1, 0);
        break;
    case Qt::Key_Up:
        way = QPoint(0, -1);
        break;
    case Qt::Key_Down:
        way = QPoint(0, 1);
        break;
    default:
        return nullptr;
    }
    const QWidget* parent = from->parentWidget();
    if (!parent) {
        return nullptr;
    }
    const QPoint start = from->geometry().center();
    const int reach = way.x() != 0 ? from->width() / 2 : from->height() / 2;
    QWidget* best = nullptr;
    int bestScore = 0;
    for (QAbstractButton* button : parent->findChildren<QAbstractButton*>(QString(), Qt::FindDirectChildrenOnly)) {
        if (button == from || !button->isVisible() || !button->isEnabled() ||
            (button->focusPolicy() & Qt::TabFocus) == 0) {
            continue;
        }
        const QPoint step = button->geometry().center() - start;
        const int along = step.x() * way.x() + step.y() * way.y();
        const int sideways = std::abs(step.x() * way.y() + step.y() * way.x());
        const int score = along + kSidewaysWeight * sideways;
        if (along > reach && (!best || score < bestScore)) {
            best = button;
            bestScore = score;
        }
    }
    return best;
}

} // namespace quantaro
