#include "ui/menustyle.h"

#include "ui/controls.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QFrame>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QMenu>
#include <QPointer>
#include <QProxyStyle>
#include <QScreen>
#include <QStyleOptionMenuItem>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>

namespace quantaro {

namespace {
// A menu row is as tall as a finger needs, as every other touch target.
constexpr int kColumnRowHeight = kTouchRowHeight;
constexpr int kGridMargin = 4;
constexpr int kMenuItemSidePadding = 16;
// On a screen this narrow the longest items ("Rechercher une mise à jour") need the padding's room.
constexpr int kNarrowScreenWidth = 320;
constexpr int kNarrowMenuItemSidePadding = 4;

// The keys of a popup laid out as a grid of buttons, which QMenu's own keys do not reach: arrows go
// across the grid as it lies, Tab and Shift+Tab along it, Enter and Space choose, Escape closes.
class GridKeys final : public QObject
{
public:
    explicit GridKeys(QWidget* grid) : QObject(grid), m_grid(grid) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        auto* button = qobject_cast<QAbstractButton*>(watched);
        if (!button || event->type() != QEvent::KeyPress) {
            return QObject::eventFilter(watched, event);
        }
        const int key = static_cast<QKeyEvent*>(event)->key();
        switch (key) {
        case Qt::Key_Left:
        case Qt::Key_Right:
        case Qt::Key_Up:
        case Qt::Key_Down:
            if (QWidget* next = buttonTowards(button, key)) {
                next->setFocus(Qt::TabFocusReason);
            }
            return true;
        case Qt::Key_Tab:
        case Qt::Key_Backtab:
            step(button, key == Qt::Key_Tab ? 1 : -1);
            return true;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            if (auto* tool = qobject_cast<QToolButton*>(button); tool && tool->menu()) {
                tool->showMenu();
            } else {
                button->click();
            }
            return true;
        default:
            return QObject::eventFilter(watched, event);
        }
    }

private:
    void step(QAbstractButton* from, int by)
    {
        QList<QAbstractButton*> reachable;
        for (QAbstractButton* button : m_grid->findChildren<QAbstractButton*>()) {
            if (button->isEnabled()) {
                reachable << button;
            }
        }
        const qsizetype count = reachable.size();
        if (count > 0) {
            reachable[(reachable.indexOf(from) + by + count) % count]->setFocus(Qt::TabFocusReason);
        }
    }

    QWidget* m_grid;
};

} // namespace

/** The application's style with menu rows at least a finger's height. */
class TouchMenuStyle final : public QProxyStyle
{
public:
    QSize sizeFromContents(ContentsType type, const QStyleOption* option, const QSize& size,
                           const QWidget* widget) const override
    {
        QSize result = QProxyStyle::sizeFromContents(type, option, size, widget);
        if (type == CT_MenuItem) {
            const auto* item = qstyleoption_cast<const QStyleOptionMenuItem*>(option);
            if (!item || item->menuItemType != QStyleOptionMenuItem::Separator) {
                result.setHeight(std::max(result.height(), kTouchRowHeight));
                const QScreen* screen = widget ? widget->screen() : nullptr;
                const bool narrow = screen && screen->availableGeometry().width() < kNarrowScreenWidth;
                result.setWidth(result.width() + 2 * (narrow ? kNarrowMenuItemSidePadding : kMenuItemSidePadding));
            }
        }
        return result;
    }

    // A menu taller than the screen scrolls instead of growing columns past the screen's edge.
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* returnData) const override
    {
        // Space chooses an item as Enter does, as it presses a focused button everywhere else.
        if (hint == SH_Menu_Scrollable || hint == SH_Menu_SpaceActivatesItem) {
            return 1;
        }
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }
};

QStyle* touchMenuStyle()
{
    static QPointer<TouchMenuStyle> style;
    if (!style) {
        style = new TouchMenuStyle;
        style->setParent(qApp);
    }
    return style;
}

QWidget* menuColumnGrid(const QList<QList<QAction*>>& columns, QWidget* context,
                        const std::function<void(QAction*)>& choose)
{
    auto* grid = new QWidget;
    auto* keys = new GridKeys(grid);
    auto* row = new QHBoxLayout(grid);
    row->setContentsMargins(kGridMargin, kGridMargin, kGridMargin, kGridMargin);
    for (const QList<QAction*>& items : columns) {
        if (row->count() > 0) {
            auto* line = new QFrame;
            line->setFrameShape(QFrame::VLine);
            line->setFrameShadow(QFrame::Sunken);
            row->addWidget(line);
        }
        auto* column = new QVBoxLayout;
        column->setSpacing(0);
        row->addLayout(column);
        for (QAction* item : items) {
            if (item->isSeparator()) {
                auto* line = new QFrame;
                line->setFrameShape(QFrame::HLine);
                column->addWidget(line);
                continue;
            }
            auto* button = new QToolButton;
            button->setText(item->text());
            button->setEnabled(item->isEnabled());
            button->setCheckable(item->isCheckable());
            button->setChecked(item->isChecked());
            button->setAutoRaise(true);
            button->setMinimumHeight(kColumnRowHeight);
            button->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
            button->setToolButtonStyle(Qt::ToolButtonTextOnly);
            button->installEventFilter(keys);
            if (item->menu()) {
                button->setMenu(item->menu());
                button->setPopupMode(QToolButton::InstantPopup);
            } else {
                QObject::connect(button, &QToolButton::clicked, context,
                                 [choose, target = QPointer<QAction>(item)] { choose(target); });
            }
            column->addWidget(button);
        }
    }
    for (int i = 0; i < row->count(); ++i) {
        if (auto* box = qobject_cast<QVBoxLayout*>(row->itemAt(i)->layout())) {
            box->addStretch();
        }
    }
    return grid;
}

} // namespace quantaro
