#pragma once

#include <QString>
#include <QStringView>

namespace quantaro {

class UnitRecord;

/** Result notations, as stored per category: printf's "g", "e" and "f". */
enum class Notation
{
    General = 0,
    Exponent = 1,
    Fixed = 2
};

inline constexpr int kNotationMin = 0;
inline constexpr int kNotationMax = 2;
inline constexpr int kPrecisionMin = 0;
inline constexpr int kPrecisionMax = 10;
/** Significant digits of the values that pass between the conversion's steps as text. */
inline constexpr int kIntermediateDigits = 15;

/** A value written as printf's "%.<precision><letter>" writes it in the "C" locale. */
QString formatNumber(double value, char letter, int precision);

/** The result format's text of a value: notation 0..2 and precision 0..10 (clamped), with the
 *  trailing zeros (and a trailing point) of the fixed notation removed. */
QString formatResult(double value, int notation, int precision);

/**
 * The whole conversion of the text a user typed: the input is evaluated and written with 15
 * significant digits, put for "$" into the source unit's toBase formula, whose value (again with 15
 * digits) is put for "$" into the target unit's fromBase formula; that value is written in the
 * result format. An empty input gives an empty result. Once a step's value is not finite, the
 * result shows that value in the result format: the text of an infinity is never read back as a
 * number.
 */
QString convertValue(QStringView input, const UnitRecord& from, const UnitRecord& to, int notation, int precision);

/** The number convertValue writes for a non-empty input: the first value of the chain that is not
 *  finite, or the converted value. */
double convertedValue(QStringView input, const UnitRecord& from, const UnitRecord& to);

} // namespace quantaro
