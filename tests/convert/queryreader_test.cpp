#include "catalogue/unitrecord.h"
#include "convert/conversion.h"
#include "convert/queryreader.h"
#include "support/englishcatalogue.h"

#include <algorithm>
#include <gtest/gtest.h>

namespace {

using namespace quantaro;

constexpr int kNotation = 0;
constexpr int kPrecision = 8;
constexpr qsizetype kOneMegabyte = 1024 * 1024;
constexpr qsizetype kManySpaces = 10000;

/** The English catalogue, loaded once for all the cases. */
const Catalogue& english()
{
    static const Catalogue catalogue = [] {
        Catalogue loaded;
        EXPECT_TRUE(test::loadEnglishCatalogue(loaded));
        return visibleCatalogue(loaded);
    }();
    return catalogue;
}

/** The reading of a query, which the catalogue's index only makes quicker. */
QueryReading read(const QString& query, const QStringList& words = englishConnectingWords())
{
    static const QueryIndex index(english());
    const QueryReading plain = readQuery(query, english(), words);
    const QueryReading indexed = readQuery(query, english(), words, &index);
    EXPECT_EQ(plain.answers.size(), indexed.answers.size()) << query.left(80).toStdString();
    for (qsizetype i = 0; i < std::min(plain.answers.size(), indexed.answers.size()); ++i) {
        EXPECT_EQ(plain.answers[i].from, indexed.answers[i].from);
        EXPECT_EQ(plain.answers[i].to, indexed.answers[i].to);
    }
    return plain;
}

struct AnswerCase
{
    const char* query;
    const char* code;
    const char* from;
    const char* to;
    const char* title;
};

class QueryAnswerTest : public ::testing::TestWithParam<AnswerCase>
{
};

TEST_P(QueryAnswerTest, ReadsTheValueAndTheTwoUnits)
{
    const AnswerCase& c = GetParam();
    const QueryReading reading = read(QString::fromUtf8(c.query));
    ASSERT_EQ(reading.answers.size(), 1) << c.query;
    const QueryAnswer& answer = reading.answers.front();
    EXPECT_EQ(english()[static_cast<size_t>(answer.rubric)].code(), QString::fromUtf8(c.code)) << c.query;
    EXPECT_EQ(answer.from->name(), QString::fromUtf8(c.from)) << c.query;
    EXPECT_EQ(answer.to->name(), QString::fromUtf8(c.to)) << c.query;
    if (c.title != nullptr) {
        EXPECT_EQ(answerTitle(answer, kNotation, kPrecision, false), QString::fromUtf8(c.title)) << c.query;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Queries, QueryAnswerTest,
    ::testing::Values(AnswerCase{"5 mi in km", "LEN", "mile (mi)", "kilometre (km)", "8.04672 km"},
                      AnswerCase{"5 mile to kilometre", "LEN", "mile (mi)", "kilometre (km)", "8.04672 km"},
                      AnswerCase{"  5 MI AS KM  ", "LEN", "mile (mi)", "kilometre (km)", "8.04672 km"},
                      AnswerCase{"5mi->km", "LEN", "mile (mi)", "kilometre (km)", "8.04672 km"},
                      AnswerCase{"5 mi=km", "LEN", "mile (mi)", "kilometre (km)", "8.04672 km"},
                      AnswerCase{"5 mi km", "LEN", "mile (mi)", "kilometre (km)", "8.04672 km"},
                      // Symbols beat the millikelvin whose name begins with "mi" and "m".
                      AnswerCase{"5 mi in m", "LEN", "mile (mi)", "metre (m)", "8046.72 m"},
                      // "in" as a unit, with and without a connecting word after it.
                      AnswerCase{"12*2.54 in m", "LEN", "inch (in)", "metre (m)", "0.774192 m"},
                      AnswerCase{"5 in in cm", "LEN", "inch (in)", "centimetre (cm)", "12.7 cm"},
                      AnswerCase{"100 usd eur", "CNY", "US dollar (USD)", "euro (EUR)", nullptr},
                      AnswerCase{"-40 °C °F", "TMP", "degree Celsius (°C)", "degree Fahrenheit (°F)", "-40 °F"},
                      AnswerCase{"-40 C to F", "TMP", "degree Celsius (°C)", "degree Fahrenheit (°F)", "-40 °F"},
                      AnswerCase{"1,5 kg lb", "MAS", "kilogram (kg)", "pound (avoirdupois) (lb)", "3.3069339 lb"},
                      AnswerCase{"2 square mile in square kilometre", "ARE", "square mile (mi²)",
                                 "square kilometre (km²)", "5.1799762 km²"}));

TEST(QueryReaderTest, AnAmbiguousWordGivesEachCandidateNamedInFull)
{
    const QueryReading reading = read(QStringLiteral("1 gal in L"));
    ASSERT_TRUE(reading.ambiguous());
    QStringList titles;
    for (const QueryAnswer& answer : reading.answers) {
        EXPECT_EQ(answer.to->name(), QStringLiteral("litre (L)"));
        titles << answerTitle(answer, kNotation, kPrecision, true);
    }
    EXPECT_TRUE(titles.contains(QStringLiteral("3.7854118 litre")));
    EXPECT_TRUE(titles.contains(QStringLiteral("4.54609 litre")));
}

TEST(QueryReaderTest, NeverOffersMoreThanThreeCandidates)
{
    // "m" begins many names in several categories; "s" too.
    for (const QString& query : {QStringLiteral("1 c in d"), QStringLiteral("1 gal gal")}) {
        EXPECT_LE(read(query).answers.size(), kQueryMaxAnswers) << query.toStdString();
    }
}

TEST(QueryReaderTest, UnitsOfDifferentSubCategoriesGiveNoAnswer)
{
    EXPECT_FALSE(read(QStringLiteral("1 Ci in Gy")).isAnswer());
    EXPECT_TRUE(read(QStringLiteral("1 Ci in Bq")).isAnswer());
}

TEST(QueryReaderTest, TheDescriptionNamesValueUnitsAndCategory)
{
    const QueryReading reading = read(QStringLiteral("5 mi in km"));
    ASSERT_TRUE(reading.isAnswer());
    const QueryAnswer& answer = reading.answers.front();
    EXPECT_EQ(answerDescription(answer, english()[static_cast<size_t>(answer.rubric)], kNotation, kPrecision),
              QStringLiteral("5 mile = 8.04672 kilometre \u00B7 Length"));
    // The category's own result format.
    EXPECT_EQ(answerTitle(answer, static_cast<int>(Notation::Fixed), 2, false), QStringLiteral("8.05 km"));
}

TEST(QueryReaderTest, ConnectingWordsOfTheChosenLanguage)
{
    const QStringList french = connectingWordsOf(QStringLiteral("Français"));
    const QStringList german = connectingWordsOf(QStringLiteral("Deutsch"));
    EXPECT_TRUE(read(QStringLiteral("5 mi en km"), french).isAnswer());
    EXPECT_TRUE(read(QStringLiteral("5 mi vers km"), french).isAnswer());
    EXPECT_TRUE(read(QStringLiteral("5 mi nach km"), german).isAnswer());
    EXPECT_TRUE(read(QStringLiteral("5 mi to km"), german).isAnswer());
    EXPECT_FALSE(read(QStringLiteral("5 mi nach km")).isAnswer());
}

TEST(QueryReaderTest, HiddenUnitsAreNotOffered)
{
    Catalogue catalogue;
    ASSERT_TRUE(test::loadEnglishCatalogue(catalogue));
    Rubric& lengths = catalogue[1];
    for (int u = 0; u < lengths.unitCount(); ++u) {
        if (lengths.unit(u).name() == QStringLiteral("kilometre (km)")) {
            lengths.unit(u).setHidden(true);
        }
    }
    const Catalogue visible = visibleCatalogue(catalogue);
    EXPECT_FALSE(readQuery(QStringLiteral("5 mi in km"), visible, englishConnectingWords()).isAnswer());
    EXPECT_TRUE(readQuery(QStringLiteral("5 mi in m"), visible, englishConnectingWords()).isAnswer());
}

class QueryNoAnswerTest : public ::testing::TestWithParam<QString>
{
};

TEST_P(QueryNoAnswerTest, GivesNoAnswer)
{
    EXPECT_FALSE(read(GetParam()).isAnswer()) << GetParam().left(80).toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Hostile, QueryNoAnswerTest,
    ::testing::Values(QString(), QStringLiteral("5"), QStringLiteral("mi in km"), QStringLiteral("5 mi"),
                      QStringLiteral("5 mi to"), QStringLiteral("5 mi in"), QStringLiteral("5 zzz in km"),
                      QStringLiteral("hello world"), QStringLiteral("+"), QStringLiteral("*"), QStringLiteral("- / *"),
                      QStringLiteral("5 + * km m"), QStringLiteral("1e999"), QStringLiteral("1e999 mi in km"),
                      QStringLiteral("1/0 mi in km"),
                      QStringLiteral("5 mi in km in m in ft in yd in mi in km in m in ft in yd in"),
                      QStringLiteral("5 kg in km"), QString(kManySpaces, QLatin1Char(' ')),
                      QString(kManySpaces, QLatin1Char(' ')) + QStringLiteral("5 mi in km"),
                      QString(kOneMegabyte, QLatin1Char('5')),
                      QStringLiteral("5 mi in km ") + QString(kOneMegabyte, QLatin1Char('m')),
                      QString::fromUtf8("5 mi in \xff\xfe km"), QString::fromUtf8("5 mi\0 in km", 11),
                      QStringLiteral("5 mi\tin\nkm\x01")));

} // namespace
