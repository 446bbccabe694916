#pragma once

#include "catalogue/rubric.h"
#include "catalogue/unitrecord.h"

#include <QString>
#include <QStringView>
#include <optional>

namespace quantaro {

/** Most characters of a rubric definition string that count. */
inline constexpr qsizetype kRubricDefinitionMaxLength = 1023;

/**
 * The next token of rest, cut at ";" and line feed: a run of separators counts as one and
 * separators at either end produce no token, so a token is never empty. rest is advanced past the
 * token; nothing is returned once only separators remain. Tokens are kept exactly as they stand.
 */
std::optional<QStringView> nextToken(QStringView& rest);

/**
 * Fills name and sub-category names of a cleared rubric from its definition string
 * ("Name;Sub0;Sub1..."); the code is the caller's affair.
 */
void parseRubricDefinition(QStringView text, Rubric& rubric);

/** What a unit line defines: the code as written and the unit. */
struct UnitLine
{
    QString code;
    UnitRecord unit;
};

/**
 * Parses one unit line ("CODE;name;fromBase;toBase;tag"), fields cut to their widths. Nothing for
 * a comment ("*"), an empty line, a line starting with NUL or a line of separators only. A NUL
 * ends the line's text.
 */
std::optional<UnitLine> parseUnitLine(QStringView line);

} // namespace quantaro
