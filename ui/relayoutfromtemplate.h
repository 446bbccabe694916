#pragma once

#include "app/resourcesource.h"

#include <QFont>
#include <QSize>

class QWidget;

namespace quantaro {

struct DialogTemplate;

/**
 * Re-lays out an open window from dialog template templateId of the resource source (the
 * process-wide one unless given): every control with a matching id is moved to the item's
 * rectangle (converted to the window's current size) with its design font scaled to match (see
 * fontscale below), all moves applied together; push buttons and static texts take the template's
 * caption, static pictures its picture; list and combo boxes keep their selection in view. A missing template changes
 * nothing; no control is created or destroyed.
 */
void RelayoutFromTemplate(QWidget* window, int templateId, const ResourceSource* source = nullptr);
/** The same from a template already read; with geometryOnly, controls are only moved, resized and
 *  their fonts scaled. */
void relayoutFromParsedTemplate(QWidget* window, const DialogTemplate& dialogTemplate, const ResourceSource& source,
                                bool geometryOnly = false);

/**
 * Texts follow the window's size: at every re-layout a control's font becomes its design font
 * scaled by the smaller of the two factors that shrink the template to the window (so a text keeps
 * fitting the rectangle it was designed for), never enlarged and never below a readable floor.
 */
namespace fontscale {
/** Fonts shrink with the window but never grow past their design size. */
inline constexpr qreal kLargestScale = 1.0;
/** No text is made smaller than this, however small the window. */
inline constexpr qreal kSmallestPoints = 8.0;
} // namespace fontscale

/** The factor fonts take when a template of designSize is shown at windowSize. */
qreal fontScale(QSize designSize, QSize windowSize);
/** The design font scaled by factor, never below the floor (a design smaller than the floor is kept). */
QFont scaledFont(const QFont& design, qreal factor);
/** The font a control was designed with: the one it had at its first re-layout, or as set below. */
QFont designFont(const QWidget* control);
/** Makes font the control's design font (a window that restyles a control) and shows it at the last scale. */
void setDesignFont(QWidget* control, const QFont& font);
/** The control's design font at the scale of the window's last re-layout (the design font before any). */
QFont layoutFont(const QWidget* control);
/** The scale of the window's last re-layout for this control (1 before any). */
qreal layoutScale(const QWidget* control);

} // namespace quantaro
