#pragma once

#include <QStringView>

namespace quantaro {

/**
 * The value of a short arithmetic text, read strictly from left to right without precedence:
 * "2+3*4" is 20. Digits, ".", "," (a decimal point), "e"/"E" with an exponent sign, and the
 * operators + - * / have a meaning; every other character is skipped. An operand that holds no
 * number counts as 0, a trailing operator is dropped and division by zero gives the IEEE special
 * values. Whatever the text holds, a number comes out.
 */
double evaluate(QStringView text);

} // namespace quantaro
