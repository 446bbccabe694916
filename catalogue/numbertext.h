#pragma once

#include <QString>
#include <QStringView>
#include <string_view>

namespace quantaro {

/**
 * The decimal number a text begins with, read as the C library's strtod reads one in the "C"
 * locale: leading blanks skipped, an optional sign, digits with an optional point, an exponent
 * that counts only when a digit follows its letter and sign; reading stops at the first character
 * that cannot continue the number. No number reads as 0 (so do "inf", "nan" and hexadecimal
 * forms, which no caller writes), one too large for a double as an infinity of its sign, one too
 * small as the underflowed value. The evaluator, the stored rates and the version file all read
 * their numbers this way.
 */
double leadingNumber(std::string_view text);
double leadingNumber(QStringView text);

/**
 * A finite value in plain decimal notation, rounded to that many significant digits, without an
 * exponent and without trailing zeros: 5.85490034666865e-05 becomes "0.0000585490034666865",
 * 1.5e20 "150000000000000000000". Such a text survives a person's edit in a field that takes only
 * digits and a point. A non-finite value reads "inf", "-inf" or "nan".
 */
QString plainDecimal(double value, int significantDigits);

} // namespace quantaro
