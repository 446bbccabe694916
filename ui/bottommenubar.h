#pragma once

#include <QAction>
#include <QByteArray>
#include <QList>
#include <QMenu>
#include <QString>
#include <QWidget>

#include "ui/menustyle.h"

class QJsonArray;
class QPushButton;

namespace quantaro {

/**
 * A window's menu bar along its bottom edge, built from a menu resource: one button per top-level
 * entry, labelled with words; an entry with items opens its popup menu upwards, an entry with an
 * id is a command button. Items are addressed by command id only. A popup whose items carry a
 * column break is shown as a grid of columns divided by vertical lines.
 */
class BottomMenuBar : public QWidget
{
    Q_OBJECT
public:
    explicit BottomMenuBar(QWidget* parent = nullptr);

    /** Replaces the bar's entries by those of a menu resource; false (and no entries) when it is malformed. */
    bool load(const QByteArray& menuResource);

    /** The top-level buttons, left to right. */
    QList<QPushButton*> buttons() const { return m_buttons; }
    /** The popup of each top-level entry, null for a command button. */
    QList<QMenu*> popups() const { return m_popups; }
    /** Every popup and sub-menu of the bar. */
    QList<QMenu*> allMenus() const;

    /** The item (or command button) with that command id, or null. */
    QAction* action(int commandId) const;
    /** The popup or sub-menu whose first item has that command id, or null. */
    QMenu* popupByFirstItem(int commandId) const;
    /** Command id of a popup's first item; 0 when it is a sub-menu, a separator or missing. */
    static int firstItemId(const QMenu* popup);
    /** Command id of an item; 0 for a separator, a sub-menu or an item without one. */
    static int itemCommandId(const QAction* item);
    /** The items of a popup in order, without the bar's own drawing aids. */
    static QList<QAction*> items(const QMenu* popup);
    /** Whether that item starts a new column. */
    static bool startsColumn(const QAction* item);

    bool removeItem(QMenu* popup, int commandId);
    QAction* appendItem(QMenu* popup, int commandId, const QString& text, bool columnBreak = false);
    void setItemEnabled(int commandId, bool enabled);
    void setItemChecked(int commandId, bool checked);

    /** Gives a menu the program's font, or a smaller one where its widest item would pass the screen's edge. */
    static void fitToScreenWidth(QMenu* menu);

    /** Opens the popup of a top-level entry above its button. */
    void openPopup(int index);

signals:
    /** A command item or command button was chosen. */
    void commandTriggered(int commandId);
    /** A popup or sub-menu is about to open; handlers may change its items. */
    void popupAboutToShow(QMenu* popup);

private:
    void clear();
    void fillMenu(QMenu* menu, const QJsonArray& items, int depth, int& budget);
    QAction* makeCommand(QObject* parent, int commandId, const QString& text);
    QMenu* makeMenu(const QString& title);
    void prepare(QMenu* menu);
    void arrangeColumns(QMenu* menu);
    /** The items as buttons, one column per column break (or all in one column without). */
    QWidget* columnGrid(QMenu* menu, const QList<QAction*>& list, bool honourBreaks);
    void keepAboveTheBar(QMenu* submenu) const;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void restoreItems(QMenu* menu);

    QList<QPushButton*> m_buttons;
    QList<QMenu*> m_popups;
    QList<QAction*> m_buttonActions;
};

} // namespace quantaro
