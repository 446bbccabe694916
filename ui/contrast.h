#pragma once

#include <QColor>

class QPalette;
class QWidget;

namespace quantaro {

/** The least contrast of a text against its background that people with low vision can read. */
inline constexpr double kMinimumTextContrast = 4.5;
/** Large text (bold of at least kLargeBoldTextPoints, or any text of kLargeTextPoints) is read
 *  from less contrast. */
inline constexpr double kLargeTextContrast = 3.0;
inline constexpr double kLargeBoldTextPoints = 14.0;
inline constexpr double kLargeTextPoints = 18.0;

/** The relative luminance of a colour (0 for black, 1 for white), as contrast ratios use it. */
double relativeLuminance(const QColor& colour);
/** The contrast ratio of two colours, from 1 (the same) to 21 (black on white). */
double contrastRatio(const QColor& first, const QColor& second);
/** Whether the palette draws light texts on a dark window. */
bool isDarkPalette(const QPalette& palette);
/**
 * A colour chosen for a light background, as it is shown on background: unchanged there; on a
 * dark background, the same hue made lighter until it reaches minimum contrast (or white).
 */
QColor readableOn(const QColor& chosen, const QColor& background, double minimum = kMinimumTextContrast);
/** The colour made darker (beside a light one) or lighter (beside a dark one), keeping its hue,
 *  until it reaches minimum contrast with against; unchanged when it already does. */
QColor contrastingWith(const QColor& colour, const QColor& against, double minimum = kMinimumTextContrast);
/** The palette with its selection colour made to stand out from the selected text's colour, and
 *  its placeholder text from the fields' ground. */
QPalette withReadableTexts(QPalette palette);
/** Gives the widget the desktop's palette's selection and placeholder colours, made readable as
 *  above, when its own differ (a popup menu is a window of its own and inherits no window's palette). */
void keepTextsReadable(QWidget* widget);
/** The colour a widget's text is drawn on: its own background when it fills one, else its nearest
 *  ancestor's that does, else its window's. */
QColor backgroundBehind(const QWidget* widget);

} // namespace quantaro
