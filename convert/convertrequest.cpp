#include "convert/convertrequest.h"

#include "catalogue/rubric.h"
#include "catalogue/unitrecord.h"
#include "convert/queryreader.h"

namespace quantaro {

namespace {

/** The words after the option when it names a pair: source, target, value. */
constexpr qsizetype kPairWords = 3;

} // namespace

std::optional<ConvertRequest> convertRequestOf(const QStringList& arguments)
{
    const qsizetype option = arguments.indexOf(kConvertOption);
    if (option < 0 || option + 1 >= arguments.size() || rubricIndexOf(arguments[option + 1]) < 0) {
        return std::nullopt;
    }
    ConvertRequest request;
    request.code = rubricCode(rubricIndexOf(arguments[option + 1]));
    const qsizetype first = option + 2;
    if (first + kPairWords > arguments.size()) {
        return request;
    }
    const QString& from = arguments[first];
    const QString& to = arguments[first + 1];
    const QString& value = arguments[first + 2];
    if (from.isEmpty() || to.isEmpty() || from.size() > kUnitTextMaxLength || to.size() > kUnitTextMaxLength ||
        value.size() > kQueryMaxLength) {
        return request;
    }
    request.from = from;
    request.to = to;
    request.value = value;
    return request;
}

} // namespace quantaro
