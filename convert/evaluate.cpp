#include "convert/evaluate.h"

#include <charconv>
#include <clocale>
#include <cstdlib>
#include <locale.h>
#include <optional>
#include <string>

namespace quantaro {

namespace {

/** The longest number at the start of buffer, as the C library's strtod reads it in the "C" locale. */
double toNumber(const std::string& buffer)
{
    double value = 0.0;
    const auto [end, error] = std::from_chars(buffer.data(), buffer.data() + buffer.size(), value);
    if (error == std::errc()) {
        return value;
    }
    if (error == std::errc::result_out_of_range) {
        // from_chars leaves the value alone here, strtod gives infinity or the underflowed value.
        static const locale_t cLocale = newlocale(LC_ALL_MASK, "C", locale_t{});
        return strtod_l(buffer.c_str(), nullptr, cLocale);
    }
    return 0.0;
}

enum class Operator
{
    None,
    Add,
    Subtract,
    Multiply,
    Divide
};

double apply(Operator op, double accumulator, double operand)
{
    switch (op) {
    case Operator::None:
        return operand;
    case Operator::Add:
        return accumulator + operand;
    case Operator::Subtract:
        return accumulator - operand;
    case Operator::Multiply:
        return accumulator * operand;
    case Operator::Divide:
        return accumulator / operand;
    }
    return accumulator;
}

} // namespace

double evaluate(QStringView text)
{
    // The buffer is reused so that a number longer than the short-string room costs no allocation.
    thread_local std::string number;
    number.clear();
    double accumulator = 0.0;
    Operator pending = Operator::None;
    // A sign typed right after an operator ("3*-2", spaces between allowed) belongs to the next
    // number: read as an operator it would stand for an empty operand and give a wrong result.
    bool afterOperator = false;
    const qsizetype length = text.size();
    for (qsizetype i = 0; i < length; ++i) {
        const char16_t c = text[i].unicode();
        std::optional<Operator> met;
        bool sign = false;
        if ((c >= u'0' && c <= u'9') || c == u'.' || c == u'e' || c == u'E') {
            number.push_back(static_cast<char>(c));
        } else if (c == u',') {
            number.push_back('.');
        } else if (c == u'-' || c == u'+') {
            const char16_t previous = i > 0 ? text[i - 1].unicode() : u'\0';
            if (previous == u'e' || previous == u'E') {
                number.push_back(static_cast<char>(c));
            } else if (afterOperator && number.empty()) {
                sign = true;
                if (c == u'-') {
                    number.push_back('-');
                }
            } else {
                met = c == u'-' ? Operator::Subtract : Operator::Add;
            }
        } else if (c == u'*') {
            met = Operator::Multiply;
        } else if (c == u'/') {
            met = Operator::Divide;
        }
        if (met) {
            afterOperator = true;
        } else if (sign || c != u' ') {
            afterOperator = false;
        }
        // The last character ends the expression in place of any operator it was.
        if (i == length - 1) {
            accumulator = apply(pending, accumulator, toNumber(number));
        } else if (met) {
            accumulator = apply(pending, accumulator, toNumber(number));
            number.clear();
            pending = *met;
        }
    }
    return accumulator;
}

} // namespace quantaro
