#include "catalogue/numbertext.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <clocale>
#include <cmath>
#include <cstdlib>
#include <locale.h>
#include <string>

namespace quantaro {

namespace {

// The most significant digits a double holds; more would only show the binary fraction's noise.
constexpr int kMostSignificantDigits = 17;

bool isCBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

// The characters that may stand in a number's text, blanks in front included.
bool mayBeInNumber(char16_t c)
{
    return (c < 0x80 && isCBlank(static_cast<char>(c))) || (c >= u'0' && c <= u'9') || c == u'.' || c == u'e' ||
           c == u'E' || c == u'+' || c == u'-';
}

} // namespace

double leadingNumber(std::string_view text)
{
    std::size_t at = 0;
    while (at < text.size() && isCBlank(text[at])) {
        ++at;
    }
    bool negative = false;
    if (at < text.size() && (text[at] == '+' || text[at] == '-')) {
        negative = text[at] == '-';
        ++at;
    }
    // from_chars takes neither blanks nor a '+', and it would read "inf" and "nan": only a digit or
    // a point starts a number here.
    if (at == text.size() || !(isDigit(text[at]) || text[at] == '.')) {
        return 0.0;
    }
    const char* first = text.data() + at;
    double value = 0.0;
    const auto [end, error] = std::from_chars(first, text.data() + text.size(), value);
    if (error == std::errc::result_out_of_range) {
        // from_chars leaves the value alone here, strtod gives infinity or the underflowed value.
        static const locale_t cLocale = newlocale(LC_ALL_MASK, "C", locale_t{});
        value = strtod_l(std::string(first, end).c_str(), nullptr, cLocale);
    } else if (error != std::errc()) {
        return 0.0;
    }
    return negative ? -value : value;
}

double leadingNumber(QStringView text)
{
    // Only the characters a number can be made of are worth copying; the copy is reused so that a
    // long text costs no allocation.
    thread_local std::string ascii;
    ascii.clear();
    for (const QChar ch : text) {
        if (!mayBeInNumber(ch.unicode())) {
            break;
        }
        ascii.push_back(static_cast<char>(ch.unicode()));
    }
    return leadingNumber(std::string_view(ascii));
}

QString plainDecimal(double value, int significantDigits)
{
    if (!std::isfinite(value)) {
        return QString::number(value);
    }
    const int digitsWanted = std::clamp(significantDigits, 1, kMostSignificantDigits);
    // "-d.ddde-05": the digits rounded once, by the library, whatever the value's size.
    std::array<char, 64> buffer{};
    const auto written = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value,
                                       std::chars_format::scientific, digitsWanted - 1);
    std::string_view scientific(buffer.data(), static_cast<std::size_t>(written.ptr - buffer.data()));
    const bool negative = scientific.front() == '-';
    if (negative) {
        scientific.remove_prefix(1);
    }
    const std::size_t exponentAt = scientific.find('e');
    std::string digits;
    for (const char c : scientific.substr(0, exponentAt)) {
        if (c != '.') {
            digits.push_back(c);
        }
    }
    while (digits.size() > 1 && digits.back() == '0') {
        digits.pop_back();
    }
    if (digits == "0") {
        return QStringLiteral("0");
    }
    std::string_view exponentText = scientific.substr(exponentAt + 1);
    if (exponentText.front() == '+') {
        exponentText.remove_prefix(1);
    }
    int exponent = 0;
    std::from_chars(exponentText.data(), exponentText.data() + exponentText.size(), exponent);

    std::string plain = negative ? "-" : "";
    if (exponent < 0) {
        plain += "0.";
        plain.append(static_cast<std::size_t>(-exponent - 1), '0');
        plain += digits;
    } else {
        const auto wholeDigits = static_cast<std::size_t>(exponent) + 1;
        if (digits.size() <= wholeDigits) {
            plain += digits;
            plain.append(wholeDigits - digits.size(), '0');
        } else {
            plain += digits.substr(0, wholeDigits);
            plain += '.';
            plain += digits.substr(wholeDigits);
        }
    }
    return QString::fromLatin1(plain.data(), static_cast<qsizetype>(plain.size()));
}

} // namespace quantaro
