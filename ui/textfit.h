#pragma once

#include <QtGlobal>

class QLabel;
class QString;

namespace quantaro {

/**
 * Shows the label's text in the font the last re-layout scaled it to (but not below start), made
 * smaller (never below smallest) until it fits the label: the scale is the same for every text of
 * the window, while some texts vary in length.
 */
void fitText(QLabel* label, qreal start, qreal smallest);

/**
 * Shows text in the label's design font made smaller (never below smallest) until it fits; where
 * even the smallest leaves too little room, each line is cut short with an ellipsis, and lines that
 * outnumber the rows the label has room for are first joined into one. A label lower than one line
 * of the font takes what it lacks from the margin above it.
 */
void showWithoutShrinkingBelow(QLabel* label, const QString& text, qreal smallest);

} // namespace quantaro
