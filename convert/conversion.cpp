#include "convert/conversion.h"

#include "catalogue/unitrecord.h"
#include "convert/evaluate.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>

namespace quantaro {

namespace {

constexpr char kValuePlaceholder = '$';
constexpr std::array<char, 3> kNotationLetters = {'g', 'e', 'f'};
// Room for the longest fixed-notation text of a double (309 digits) with ten decimals and a sign.
constexpr size_t kNumberBufferSize = 400;

std::chars_format formatOf(char letter)
{
    switch (letter) {
    case 'e':
        return std::chars_format::scientific;
    case 'f':
        return std::chars_format::fixed;
    default:
        return std::chars_format::general;
    }
}

/** formula with every "$" replaced by value. */
QString substitute(const QString& formula, const QString& value)
{
    QString text = formula;
    text.replace(QLatin1Char(kValuePlaceholder), value);
    return text;
}

} // namespace

QString formatNumber(double value, char letter, int precision)
{
    // to_chars writes exactly what printf writes in the "C" locale, whatever locale the process runs in.
    std::array<char, kNumberBufferSize> buffer{};
    const auto [end, error] =
        std::to_chars(buffer.data(), buffer.data() + buffer.size(), value, formatOf(letter), precision);
    if (error != std::errc()) {
        return {};
    }
    return QString::fromLatin1(buffer.data(), end - buffer.data());
}

QString formatResult(double value, int notation, int precision)
{
    const char letter = kNotationLetters[static_cast<size_t>(std::clamp(notation, kNotationMin, kNotationMax))];
    QString text = formatNumber(value, letter, std::clamp(precision, kPrecisionMin, kPrecisionMax));
    if (letter == 'f' && text.contains(QLatin1Char('.'))) {
        while (text.endsWith(QLatin1Char('0'))) {
            text.chop(1);
        }
        if (text.endsWith(QLatin1Char('.'))) {
            text.chop(1);
        }
    }
    return text;
}

double convertedValue(QStringView input, const UnitRecord& from, const UnitRecord& to)
{
    const double value = evaluate(input);
    if (!std::isfinite(value)) {
        return value;
    }
    const double base = evaluate(substitute(from.toBase(), formatNumber(value, 'g', kIntermediateDigits)));
    if (!std::isfinite(base)) {
        return base;
    }
    return evaluate(substitute(to.fromBase(), formatNumber(base, 'g', kIntermediateDigits)));
}

QString convertValue(QStringView input, const UnitRecord& from, const UnitRecord& to, int notation, int precision)
{
    if (input.isEmpty()) {
        return {};
    }
    return formatResult(convertedValue(input, from, to), notation, precision);
}

} // namespace quantaro
