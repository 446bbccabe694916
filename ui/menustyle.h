#pragma once

#include <QList>
#include <functional>

class QAction;
class QStyle;
class QWidget;

namespace quantaro {

/** Height of a row a finger taps: a menu item, a list row. */
inline constexpr int kTouchRowHeight = 44;

/** The style that makes a popup menu's rows touch-sized. */
QStyle* touchMenuStyle();

/**
 * A popup's items as a grid of finger-sized buttons, one column per list (divided by vertical
 * lines), which the arrow keys cross as the grid lies. A button of a sub-menu opens it; any other
 * calls choose with its item. The grid takes each item's state as it is now.
 */
QWidget* menuColumnGrid(const QList<QList<QAction*>>& columns, QWidget* context,
                        const std::function<void(QAction*)>& choose);

} // namespace quantaro
