#include "catalogue/unitdefinition.h"

namespace quantaro {

namespace {

constexpr char16_t kFieldSeparator = u';';
constexpr char16_t kLineFeed = u'\n';
constexpr char16_t kCarriageReturn = u'\r';
constexpr char16_t kNul = u'\0';
constexpr char16_t kCommentMark = u'*';

bool isSeparator(QChar c)
{
    return c.unicode() == kFieldSeparator || c.unicode() == kLineFeed;
}

} // namespace

std::optional<QStringView> nextToken(QStringView& rest)
{
    qsizetype start = 0;
    while (start < rest.size() && isSeparator(rest[start])) {
        ++start;
    }
    if (start == rest.size()) {
        rest = {};
        return std::nullopt;
    }
    qsizetype end = start;
    while (end < rest.size() && !isSeparator(rest[end])) {
        ++end;
    }
    const QStringView token = rest.sliced(start, end - start);
    rest = rest.sliced(end);
    return token;
}

void parseRubricDefinition(QStringView text, Rubric& rubric)
{
    QStringView rest = text.first(std::min(text.size(), kRubricDefinitionMaxLength));
    if (const auto name = nextToken(rest)) {
        rubric.setName(name->toString());
    }
    while (const auto sousRubric = nextToken(rest)) {
        rubric.addSousRubric(sousRubric->toString());
    }
}

std::optional<UnitLine> parseUnitLine(QStringView line)
{
    if (const qsizetype nul = line.indexOf(QChar(kNul)); nul >= 0) {
        line = line.first(nul);
    }
    if (line.isEmpty()) {
        return std::nullopt;
    }
    const char16_t first = line.front().unicode();
    if (first == kCommentMark || first == kLineFeed || first == kCarriageReturn) {
        return std::nullopt;
    }
    QStringView rest = line;
    const auto code = nextToken(rest);
    if (!code) {
        return std::nullopt;
    }
    UnitLine result;
    result.code = code->toString();
    if (const auto name = nextToken(rest)) {
        result.unit.setName(*name);
    }
    if (const auto fromBase = nextToken(rest)) {
        result.unit.setFromBase(*fromBase);
    }
    if (const auto toBase = nextToken(rest)) {
        result.unit.setToBase(*toBase);
    }
    if (const auto tag = nextToken(rest)) {
        result.unit.setTag(*tag);
    }
    return result;
}

} // namespace quantaro
