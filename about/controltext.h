#pragma once

#include <QString>

class QWidget;

namespace quantaro {

struct UiServices;

/** The text of a static text, button or edit field; empty for other controls and for null. */
QString controlText(const QWidget* control);
/** Sets the text of a static text, button or edit field; other controls and null are left alone. */
void setControlText(QWidget* control, const QString& text);
/** Hands an address to the window's shell, or to the application's when the window has none. */
void openWithShell(const UiServices& services, const QString& target);

} // namespace quantaro
