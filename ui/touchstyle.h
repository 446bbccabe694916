#pragma once

class QColor;
class QWidget;

namespace quantaro {

/** Smallest text the windows draw where a template does not set a font of its own. */
inline constexpr double kSmallestTextPoints = 11.0;
/** Side of a check box's or radio button's box: large enough to see and to hit with a finger. */
inline constexpr int kTouchIndicatorSize = 24;
/** Width of the accent frame around the control that has the keyboard, drawn just outside its edge. */
inline constexpr int kFocusFrameWidth = 2;
/** The least contrast of the focus frame with the window's ground it is drawn on (what a control's
 *  outline needs to be seen, as against a text's 4.5 : 1). */
inline constexpr double kFocusFrameContrast = 3.0;
/** A boolean property of a control that shows its focus itself (a picture button with a focus
 *  picture): it gets no frame. */
inline constexpr const char* kOwnFocusPictureProperty = "quantaroOwnFocusPicture";

/** Gives the whole program finger-sized check boxes and radio buttons, a default font of at least
 *  kSmallestTextPoints (message boxes, menus, the menu bar's words) and an accent frame around
 *  whichever control has the keyboard. */
void applyTouchDefaults();

/** The colour of the focus frame around control: the palette's accent, made lighter or darker in
 *  its hue until it stands out from the ground around the control. */
QColor focusFrameColour(const QWidget* control);

} // namespace quantaro
