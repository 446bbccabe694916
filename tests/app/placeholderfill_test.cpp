// A module string's placeholders filled as each kind of string has always been read: printf formats
// with "%%" and one "%s", named markers shown as written where unknown or repeated.
#include "app/placeholderfill.h"

#include <gtest/gtest.h>

namespace quantaro {
namespace {

const QString kDate = QStringLiteral("%D%");
const QString kTime = QStringLiteral("%T%");

TEST(FillPlaceholdersTest, EachKindOfStringKeepsItsOwnPercentsAndRepeats)
{
    struct Case
    {
        const char* format;
        PercentPairs percent;
        LaterPlaces later;
        const char* expected;
    };
    constexpr auto kAsWritten = PercentPairs::AsWritten;
    constexpr auto kOnePercent = PercentPairs::OnePercent;
    const Case printfCases[] = {
        {"Version %s", kOnePercent, LaterPlaces::Emptied, "Version 1.05"},
        {"100%% v%s", kOnePercent, LaterPlaces::Emptied, "100% v1.05"},
        {"100%% v%s", kAsWritten, LaterPlaces::Filled, "100%% v1.05"},
        {"%%s", kOnePercent, LaterPlaces::Emptied, "%s"},
        {"%%s", kAsWritten, LaterPlaces::Filled, "%1.05"},
        {"%s and %s", kOnePercent, LaterPlaces::Emptied, "1.05 and "},
        {"%s and %s", kAsWritten, LaterPlaces::Filled, "1.05 and 1.05"},
        {"%s and %s", kAsWritten, LaterPlaces::AsWritten, "1.05 and %s"},
        {"50%", kOnePercent, LaterPlaces::Emptied, "50%"},
        {"%d %s%", kOnePercent, LaterPlaces::Emptied, "%d 1.05%"},
        {"", kOnePercent, LaterPlaces::Emptied, ""},
    };
    for (const Case& c : printfCases) {
        EXPECT_EQ(
            fillPlaceholders(QString::fromLatin1(c.format), {{u"%s", QStringLiteral("1.05")}}, c.percent, c.later),
            QString::fromLatin1(c.expected))
            << c.format << " " << int(c.percent) << " " << int(c.later);
    }
    const Case markerCases[] = {
        {"Last update: %D% at %T%", kAsWritten, LaterPlaces::AsWritten, "Last update: 1/2 at 9:30"},
        {"100%% on %D%", kAsWritten, LaterPlaces::AsWritten, "100%% on 1/2"},
        {"100%% on %D%", kOnePercent, LaterPlaces::AsWritten, "100% on 1/2"},
        {"%D% or %D%", kAsWritten, LaterPlaces::AsWritten, "1/2 or %D%"},
        {"%D% or %D%", kAsWritten, LaterPlaces::Filled, "1/2 or 1/2"},
        {"%T%%T% then %D%", kAsWritten, LaterPlaces::AsWritten, "9:30%T% then 1/2"},
        {"%D%%D%%T%", kAsWritten, LaterPlaces::AsWritten, "1/2%D%9:30"},
        {"%d% %t% %D", kAsWritten, LaterPlaces::AsWritten, "%d% %t% %D"},
    };
    for (const Case& c : markerCases) {
        EXPECT_EQ(fillPlaceholders(QString::fromLatin1(c.format),
                                   {{kDate, QStringLiteral("1/2")}, {kTime, QStringLiteral("9:30")}}, c.percent,
                                   c.later),
                  QString::fromLatin1(c.expected))
            << c.format << " " << int(c.percent) << " " << int(c.later);
    }
}

// A filled text is the person's (a folder's name): markers in it are not filled in turn.
TEST(FillPlaceholdersTest, AFilledTextIsNeverReadForMarkers)
{
    EXPECT_EQ(fillPlaceholders(u"in %F%: %R%.",
                               {{u"%F%", QStringLiteral("/home/a%R%b")}, {u"%R%", QStringLiteral("disk full")}},
                               PercentPairs::AsWritten, LaterPlaces::AsWritten),
              QStringLiteral("in /home/a%R%b: disk full."));
    EXPECT_EQ(fillPlaceholders(u"%s %s", {{u"%s", QStringLiteral("%s")}}, PercentPairs::AsWritten, LaterPlaces::Filled),
              QStringLiteral("%s %s"));
}

} // namespace
} // namespace quantaro
