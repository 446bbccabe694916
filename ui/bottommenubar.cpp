#include "ui/bottommenubar.h"
#include "ui/screenshape.h"

#include "ui/contrast.h"
#include "ui/dialogtemplate.h"
#include "ui/menustyle.h"

#include <QAction>
#include <QApplication>
#include <QFrame>
#include <QHBoxLayout>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMenu>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QScroller>
#include <QStyle>
#include <QTimer>
#include <QVBoxLayout>
#include <QWidgetAction>

namespace quantaro {

namespace {
// Menu resources are small; these bounds keep a broken one from building thousands of widgets.
constexpr int kMostTopLevelEntries = 12;
constexpr int kMostItemsInAll = 1000;
constexpr int kDeepestNesting = 4;
constexpr int kBarSpacing = 4;
// How far a menu's font may shrink to keep the menu inside a narrow screen.
constexpr qreal kSmallestMenuPoints = 8.0;
constexpr qreal kMenuFontStep = 0.5;

const char kColumnBreakProperty[] = "quantaroColumnBreak";
const char kDrawingAidProperty[] = "quantaroDrawingAid";

bool isDrawingAid(const QAction* action)
{
    return action->property(kDrawingAidProperty).toBool();
}

} // namespace

BottomMenuBar::BottomMenuBar(QWidget* parent) : QWidget(parent)
{
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(kBarSpacing, kBarSpacing, kBarSpacing, kBarSpacing);
    layout->setSpacing(kBarSpacing);
    setFixedHeight(kMenuBarHeight);
    setAutoFillBackground(true);
    setBackgroundRole(QPalette::Window);
}

void BottomMenuBar::clear()
{
    qDeleteAll(m_buttons);
    qDeleteAll(m_popups);
    qDeleteAll(m_buttonActions);
    m_buttons.clear();
    m_popups.clear();
    m_buttonActions.clear();
}

QAction* BottomMenuBar::makeCommand(QObject* parent, int commandId, const QString& text)
{
    auto* action = new QAction(text, parent);
    action->setData(commandId);
    connect(action, &QAction::triggered, this, [this, commandId] { emit commandTriggered(commandId); });
    return action;
}

QMenu* BottomMenuBar::makeMenu(const QString& title)
{
    auto* menu = new QMenu(title, this);
    menu->setStyle(touchMenuStyle());
    connect(menu, &QMenu::aboutToShow, this, [this, menu] { prepare(menu); });
    connect(menu, &QMenu::aboutToHide, this, [this, menu] { restoreItems(menu); });
    return menu;
}

void BottomMenuBar::fillMenu(QMenu* menu, const QJsonArray& items, int depth, int& budget)
{
    for (const QJsonValue& value : items) {
        if (--budget < 0) {
            return;
        }
        const QJsonObject item = value.toObject();
        QAction* action = nullptr;
        if (item.value(QLatin1String("separator")).toBool()) {
            action = menu->addSeparator();
        } else if (item.value(QLatin1String("items")).isArray()) {
            if (depth >= kDeepestNesting) {
                continue;
            }
            QMenu* sub = makeMenu(item.value(QLatin1String("text")).toString());
            fillMenu(sub, item.value(QLatin1String("items")).toArray(), depth + 1, budget);
            sub->installEventFilter(this);
            action = menu->addMenu(sub);
        } else {
            const int id = item.value(QLatin1String("id")).toInt();
            if (id == 0) {
                continue;
            }
            action = makeCommand(menu, id, item.value(QLatin1String("text")).toString());
            action->setCheckable(item.value(QLatin1String("checkable")).toBool());
            menu->addAction(action);
        }
        if (item.value(QLatin1String("columnBreak")).toBool()) {
            action->setProperty(kColumnBreakProperty, true);
        }
    }
}

bool BottomMenuBar::load(const QByteArray& menuResource)
{
    clear();
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(menuResource, &error);
    if (error.error != QJsonParseError::NoError || !document.isObject() ||
        !document.object().value(QLatin1String("popups")).isArray()) {
        return false;
    }
    const QJsonArray entries = document.object().value(QLatin1String("popups")).toArray();
    int budget = kMostItemsInAll;
    for (const QJsonValue& value : entries) {
        if (m_buttons.size() >= kMostTopLevelEntries) {
            break;
        }
        const QJsonObject entry = value.toObject();
        const QString text = entry.value(QLatin1String("text")).toString();
        auto* button = new QPushButton(text, this);
        button->setAutoDefault(false);
        // A tap leaves the keyboard where it was; the Tab key still reaches the menus.
        button->setFocusPolicy(Qt::TabFocus);
        button->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
        layout()->addWidget(button);
        m_buttons.push_back(button);
        if (entry.value(QLatin1String("items")).isArray()) {
            QMenu* menu = makeMenu(text);
            fillMenu(menu, entry.value(QLatin1String("items")).toArray(), 1, budget);
            m_popups.push_back(menu);
            const int index = int(m_popups.size()) - 1;
            connect(button, &QPushButton::clicked, this, [this, index] { openPopup(index); });
        } else {
            m_popups.push_back(nullptr);
            QAction* action = makeCommand(this, entry.value(QLatin1String("id")).toInt(), text);
            m_buttonActions.push_back(action);
            connect(button, &QPushButton::clicked, action, &QAction::trigger);
            connect(action, &QAction::changed, button, [button, action] { button->setEnabled(action->isEnabled()); });
        }
    }
    return true;
}

QList<QMenu*> BottomMenuBar::allMenus() const
{
    QList<QMenu*> menus;
    QList<QMenu*> pending;
    for (QMenu* popup : m_popups) {
        if (popup) {
            pending.push_back(popup);
        }
    }
    while (!pending.isEmpty()) {
        QMenu* menu = pending.takeFirst();
        menus.push_back(menu);
        for (QAction* item : items(menu)) {
            if (item->menu()) {
                pending.push_back(item->menu());
            }
        }
    }
    return menus;
}

QList<QAction*> BottomMenuBar::items(const QMenu* popup)
{
    QList<QAction*> result;
    if (!popup) {
        return result;
    }
    for (QAction* action : popup->actions()) {
        if (!isDrawingAid(action)) {
            result.push_back(action);
        }
    }
    return result;
}

bool BottomMenuBar::startsColumn(const QAction* item)
{
    return item && item->property(kColumnBreakProperty).toBool();
}

QAction* BottomMenuBar::action(int commandId) const
{
    for (QAction* action : m_buttonActions) {
        if (itemCommandId(action) == commandId) {
            return action;
        }
    }
    for (QMenu* menu : allMenus()) {
        for (QAction* item : items(menu)) {
            if (itemCommandId(item) == commandId) {
                return item;
            }
        }
    }
    return nullptr;
}

int BottomMenuBar::itemCommandId(const QAction* item)
{
    if (item->menu() || item->isSeparator()) {
        return 0;
    }
    bool ok = false;
    const int id = item->data().toInt(&ok);
    return ok ? id : 0;
}

int BottomMenuBar::firstItemId(const QMenu* popup)
{
    const QList<QAction*> list = items(popup);
    return list.isEmpty() ? 0 : itemCommandId(list.first());
}

QMenu* BottomMenuBar::popupByFirstItem(int commandId) const
{
    for (QMenu* menu : allMenus()) {
        if (firstItemId(menu) == commandId) {
            return menu;
        }
    }
    return nullptr;
}

bool BottomMenuBar::removeItem(QMenu* popup, int commandId)
{
    for (QAction* item : items(popup)) {
        if (itemCommandId(item) == commandId) {
            popup->removeAction(item);
            item->deleteLater();
            return true;
        }
    }
    return false;
}

QAction* BottomMenuBar::appendItem(QMenu* popup, int commandId, const QString& text, bool columnBreak)
{
    if (!popup) {
        return nullptr;
    }
    QAction* action = makeCommand(popup, commandId, text);
    if (columnBreak) {
        action->setProperty(kColumnBreakProperty, true);
    }
    popup->addAction(action);
    return action;
}

void BottomMenuBar::setItemEnabled(int commandId, bool enabled)
{
    if (QAction* item = action(commandId)) {
        item->setEnabled(enabled);
    }
}

void BottomMenuBar::setItemChecked(int commandId, bool checked)
{
    if (QAction* item = action(commandId)) {
        item->setCheckable(true);
        item->setChecked(checked);
    }
}

void BottomMenuBar::openPopup(int index)
{
    if (index < 0 || index >= m_popups.size() || !m_popups[index]) {
        return;
    }
    QMenu* menu = m_popups[index];
    const QPoint anchor = m_buttons[index]->mapToGlobal(QPoint(0, 0));
    menu->popup(anchor);
    // Its size is known only once the window has prepared it: open it upwards from the button.
    // (adjustSize() would hold a top-level window to two thirds of the screen and cut long items.)
    const QSize wanted = menu->sizeHint();
    QRect placed(QPoint(anchor.x(), anchor.y() - wanted.height()), wanted);
    if (const QScreen* screen = menu->screen()) {
        placed = keptInside(placed, screen->availableGeometry());
    }
    menu->setGeometry(placed);
    // Opened from the keyboard (a tap leaves the focus where it was), the popup starts on its first
    // item, so that Enter chooses at once and a screen reader says where the keyboard is.
    if (m_buttons[index]->hasFocus()) {
        for (QAction* item : menu->actions()) {
            if (item->isVisible() && item->isEnabled() && !item->isSeparator() && !isDrawingAid(item)) {
                menu->setActiveAction(item);
                break;
            }
        }
    }
}

void BottomMenuBar::prepare(QMenu* menu)
{
    keepTextsReadable(menu);
    restoreItems(menu);
    emit popupAboutToShow(menu);
    arrangeColumns(menu);
    fitToScreenWidth(menu);
}

bool BottomMenuBar::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::Show) {
        if (auto* submenu = qobject_cast<QMenu*>(watched)) {
            keepAboveTheBar(submenu);
        }
    }
    return QWidget::eventFilter(watched, event);
}

void BottomMenuBar::keepAboveTheBar(QMenu* submenu) const
{
    // Where it can, a submenu ends where its popup ends, above the bar, instead of reaching down
    // over the bar's buttons; one too tall for that keeps the place it was given.
    const QRect barArea(mapToGlobal(QPoint(0, 0)), size());
    const QRect placed = submenu->geometry();
    if (!placed.intersects(barArea)) {
        return;
    }
    const int bottom = barArea.top() - 1;
    const QScreen* screen = submenu->screen();
    const int top = bottom - placed.height() + 1;
    if (screen != nullptr && top >= screen->availableGeometry().top()) {
        submenu->move(placed.x(), top);
    }
}

void BottomMenuBar::fitToScreenWidth(QMenu* menu)
{
    // The program's font first; only where the longest item would pass the screen's edge (French
    // on a 240-pixel screen) the menu takes a smaller one.
    QFont font = QApplication::font(menu);
    menu->setFont(font);
    const QScreen* screen = menu->screen();
    if (screen == nullptr) {
        return;
    }
    const int room = screen->availableGeometry().width();
    while (menu->sizeHint().width() > room && font.pointSizeF() - kMenuFontStep >= kSmallestMenuPoints) {
        font.setPointSizeF(font.pointSizeF() - kMenuFontStep);
        menu->setFont(font);
    }
}

void BottomMenuBar::restoreItems(QMenu* menu)
{
    for (QAction* action : menu->actions()) {
        if (isDrawingAid(action)) {
            menu->removeAction(action);
            action->deleteLater();
        }
    }
    for (QAction* item : items(menu)) {
        item->setVisible(true);
    }
}

QWidget* BottomMenuBar::columnGrid(QMenu* menu, const QList<QAction*>& list, bool honourBreaks)
{
    QList<QList<QAction*>> columns;
    for (QAction* item : list) {
        if (columns.isEmpty() || (honourBreaks && startsColumn(item))) {
            columns.emplaceBack();
        }
        columns.back().push_back(item);
    }
    return menuColumnGrid(columns, menu, [this, menu](QAction* target) {
        restoreItems(menu);
        menu->close();
        if (target) {
            target->trigger();
        }
    });
}

void BottomMenuBar::arrangeColumns(QMenu* menu)
{
    restoreItems(menu);
    const QList<QAction*> list = items(menu);
    bool hasColumns = false;
    for (QAction* item : list) {
        hasColumns = hasColumns || startsColumn(item);
    }
    if (!hasColumns) {
        return;
    }

    // QMenu has no columns of its own: while the popup is open its items are hidden and shown as a
    // grid of buttons instead, one column per break; a screen too narrow for the columns side by
    // side gets them one under the other. A hidden action reads as disabled, so every state is
    // taken before hiding and the items are shown again before one is triggered.
    QRect screenArea;
    if (const QScreen* screen = menu->screen()) {
        screenArea = screen->availableGeometry();
    }
    QWidget* grid = columnGrid(menu, list, true);
    const bool willScroll = grid->sizeHint().height() > screenArea.height() - kMenuBarHeight;
    const int scrollBar = willScroll ? menu->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, menu) : 0;
    if (!screenArea.isEmpty() && grid->sizeHint().width() + scrollBar > screenArea.width()) {
        delete grid;
        grid = columnGrid(menu, list, false);
    }
    for (QAction* item : list) {
        item->setVisible(false);
    }
    // A grid taller than the screen scrolls under a finger: a menu too tall for its screen would
    // leave the grid out altogether.
    auto* scroller = new QScrollArea;
    scroller->setFrameShape(QFrame::NoFrame);
    scroller->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scroller->setWidget(grid);
    scroller->setWidgetResizable(true);
    QScroller::grabGesture(scroller->viewport(), QScroller::LeftMouseButtonGesture);
    const QSize wanted = grid->sizeHint();
    QSize room = wanted;
    if (!screenArea.isEmpty()) {
        room = screenArea.size() - QSize(0, kMenuBarHeight);
    }
    const bool scrolls = wanted.height() > room.height();
    const int barWidth = scrolls ? scroller->verticalScrollBar()->sizeHint().width() : 0;
    scroller->setFixedSize(std::min(wanted.width() + barWidth, room.width()), std::min(wanted.height(), room.height()));
    auto* gridAction = new QWidgetAction(menu);
    gridAction->setProperty(kDrawingAidProperty, true);
    gridAction->setDefaultWidget(scroller);
    menu->addAction(gridAction);
    // The keyboard starts at the item marked chosen, else at the first one, once the popup shows.
    QAbstractButton* start = nullptr;
    for (QAbstractButton* button : grid->findChildren<QAbstractButton*>()) {
        if (button->isEnabled() && (!start || (button->isChecked() && !start->isChecked()))) {
            start = button;
        }
    }
    if (start) {
        QTimer::singleShot(0, start, [start] { start->setFocus(Qt::PopupFocusReason); });
    }
}

} // namespace quantaro
