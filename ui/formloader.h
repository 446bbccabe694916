#pragma once

#include <QByteArray>

class QWidget;

namespace quantaro {

struct DialogTemplate;
struct UiForm;

/**
 * Builds the widgets of a dialog template (a Designer .ui file): a top-level dialog carrying
 * the form's geometry, title and style sheet, with one child for each widget of the form, its
 * properties set (standard ones through the meta-object, stdset="0" ones as dynamic properties) and
 * the form's tab order applied. It knows the widget classes a template may hold; anything else in
 * the file is skipped. Nothing when the file is not a form. With parsed, the same pass also gives
 * what DialogTemplate::parse would read of the file, so a window reads its template once.
 *
 * It takes the place of Qt's own form loader, whose library (and the OpenGL libraries it pulls in)
 * would cost every start time and memory for what these templates use.
 */
QWidget* loadForm(const QByteArray& uiFile, DialogTemplate* parsed = nullptr);
/** The same of a form already read. */
QWidget* buildForm(const UiForm& form, DialogTemplate* parsed = nullptr);

} // namespace quantaro
