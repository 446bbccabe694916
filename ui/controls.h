#pragma once

#include <QHash>

class QWidget;

namespace quantaro {

/** Standard command ids of a dialog: the OK and Cancel commands. */
inline constexpr int kIdOk = 1;
inline constexpr int kIdCancel = 2;

/** A live control's id (its controlId property), or 0 for decoration. */
int controlIdOf(const QWidget* control);
/** The window's control with that id among its direct children, or null. */
QWidget* findControl(const QWidget* window, int id);
/** Every addressed control of the window by id. */
QHash<int, QWidget*> controlsById(const QWidget* window);
/** The button that an arrow key (Qt::Key_Left ... Qt::Key_Down) leads to from this one: of its
 *  sibling buttons that Tab reaches, the nearest whose centre lies past its edge that way, a step
 *  sideways counting double. Null for any other key or when there is none. */
QWidget* buttonTowards(const QWidget* from, int key);

} // namespace quantaro
