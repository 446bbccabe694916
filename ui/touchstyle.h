#pragma once

namespace quantaro {

/** Smallest text the windows draw where a template does not set a font of its own. */
inline constexpr double kSmallestTextPoints = 11.0;
/** Side of a check box's or radio button's box: large enough to see and to hit with a finger. */
inline constexpr int kTouchIndicatorSize = 24;

/** Gives the whole program finger-sized check boxes and radio buttons and a default font of at
 *  least kSmallestTextPoints (message boxes, menus, the menu bar's words). */
void applyTouchDefaults();

} // namespace quantaro
