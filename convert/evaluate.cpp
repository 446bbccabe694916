#include "convert/evaluate.h"

#include "catalogue/numbertext.h"

#include <optional>
#include <string>

namespace quantaro {

namespace {

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
            accumulator = apply(pending, accumulator, leadingNumber(std::string_view(number)));
        } else if (met) {
            accumulator = apply(pending, accumulator, leadingNumber(std::string_view(number)));
            number.clear();
            pending = *met;
        }
    }
    return accumulator;
}

} // namespace quantaro
