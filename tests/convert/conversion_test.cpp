#include "catalogue/numbertext.h"
#include "catalogue/unitdefinition.h"
#include "catalogue/unitrecord.h"
#include "convert/conversion.h"
#include "convert/evaluate.h"

#include <QLocale>
#include <QRandomGenerator>
#include <clocale>
#include <gtest/gtest.h>
#include <string>
#include <vector>

using namespace quantaro;

namespace {

UnitRecord unitOf(const char* fromBase, const char* toBase)
{
    UnitRecord unit;
    unit.setName(QStringLiteral("u"));
    unit.setFromBase(QString::fromUtf8(fromBase));
    unit.setToBase(QString::fromUtf8(toBase));
    return unit;
}

struct ConversionCase
{
    const char* input;
    const char* fromToBase;
    const char* toFromBase;
    int notation;
    int precision;
    const char* shown;
};

class ConvertValueTest : public ::testing::TestWithParam<ConversionCase>
{
};

TEST_P(ConvertValueTest, ShowsTheResultFieldText)
{
    const ConversionCase& c = GetParam();
    const UnitRecord from = unitOf("$", c.fromToBase);
    const UnitRecord to = unitOf(c.toFromBase, "$");
    EXPECT_EQ(convertValue(QString::fromUtf8(c.input), from, to, c.notation, c.precision), QString::fromUtf8(c.shown));
}

INSTANTIATE_TEST_SUITE_P(
    Conversions, ConvertValueTest,
    ::testing::Values(ConversionCase{"2.5", "$", "$", 2, 8, "2.5"}, ConversionCase{"100", "$", "$", 2, 8, "100"},
                      ConversionCase{"100", "$", "$", 2, 0, "100"}, ConversionCase{"1/3", "$", "$", 0, 8, "0.33333333"},
                      ConversionCase{"1234.5", "$", "$", 1, 2, "1.23e+03"}, ConversionCase{"2*3", "$", "$", 0, 8, "6"},
                      ConversionCase{"", "$", "$", 0, 8, ""},
                      // Real formulas: inches to metres and back, Fahrenheit through Celsius.
                      ConversionCase{"12*2.54", "$*0.0254", "$/0.0254", 0, 8, "30.48"},
                      ConversionCase{"1", "$*0.0254", "$", 2, 4, "0.0254"},
                      ConversionCase{"212", "$-32/1.8", "$", 0, 8, "100"},
                      ConversionCase{"-40", "$", "$*1.8+32", 0, 8, "-40"},
                      // The intermediates carry 15 significant digits: 1/3 goes on as 0.333333333333333.
                      ConversionCase{"1/3", "$", "$*3000000", 2, 10, "999999.999999999"},
                      ConversionCase{"1e-20", "$", "$", 0, 8, "1e-20"}, ConversionCase{"0.5", "$", "$", 2, 0, "0"},
                      // Fixed notation keeps the zeros of the integer part.
                      ConversionCase{"1000", "$", "$", 2, 3, "1000"}, ConversionCase{"10.10", "$", "$", 2, 3, "10.1"},
                      // Settings out of range are clamped.
                      ConversionCase{"1/3", "$", "$", -4, 99, "0.3333333333"},
                      ConversionCase{"2.5", "$", "$", 7, -3, "2"},
                      // A formula without "$" is a constant; an empty one gives 0.
                      ConversionCase{"5", "42", "$", 0, 8, "42"}, ConversionCase{"5", "$", "", 0, 8, "0"}));

struct NonFiniteCase
{
    const char* input;
    const char* fromToBase;
    const char* toFromBase;
    int notation;
    const char* shown;
};

class NonFiniteTest : public ::testing::TestWithParam<NonFiniteCase>
{
};

// Writing an infinity as text and reading it back would skip its letters and show 0.
TEST_P(NonFiniteTest, ShowsTheNonFiniteValueNotANumberMadeOfItsLetters)
{
    const NonFiniteCase& c = GetParam();
    EXPECT_EQ(
        convertValue(QString::fromUtf8(c.input), unitOf("$", c.fromToBase), unitOf(c.toFromBase, "$"), c.notation, 8),
        QString::fromUtf8(c.shown));
}

INSTANTIATE_TEST_SUITE_P(
    Stages, NonFiniteTest,
    ::testing::Values(NonFiniteCase{"1/0", "$", "$", 0, "inf"}, NonFiniteCase{"1/0", "$*1000", "$/1000", 2, "inf"},
                      NonFiniteCase{"-1/0", "$", "$", 1, "-inf"}, NonFiniteCase{"5", "$/0", "$*2", 0, "inf"},
                      NonFiniteCase{"5", "$", "$/0", 0, "inf"}, NonFiniteCase{"1e308", "$*10", "$", 0, "inf"}));

TEST(FormatResult, WritesTheCLocaleWhateverTheProcessLocale)
{
    // A comma-decimal process locale (the test machines generate these two) must change nothing:
    // results, the 15-digit values between the steps, rates in plain decimal and the evaluator.
    const std::string saved = std::setlocale(LC_ALL, nullptr);
    const QLocale savedQt;
    std::vector<std::string> missing;
    for (const char* name : {"C", "fr_FR.UTF-8", "de_DE.UTF-8"}) {
        if (std::setlocale(LC_ALL, name) == nullptr) {
            missing.push_back(name);
            continue;
        }
        QLocale::setDefault(QLocale(QString::fromLatin1(name).section(QLatin1Char('.'), 0, 0)));
        SCOPED_TRACE(name);
        EXPECT_EQ(formatResult(2.5, 2, 8), QStringLiteral("2.5"));
        EXPECT_EQ(formatResult(1234.5, 1, 2), QStringLiteral("1.23e+03"));
        EXPECT_EQ(formatResult(1234.5, 0, 8), QStringLiteral("1234.5"));
        EXPECT_EQ(formatNumber(30.48, 'g', 15), QStringLiteral("30.48"));
        EXPECT_EQ(formatNumber(1.0 / 3.0, 'g', 15), QStringLiteral("0.333333333333333"));
        EXPECT_EQ(plainDecimal(5.85490034666865e-05, 15), QStringLiteral("0.0000585490034666865"));
        EXPECT_DOUBLE_EQ(evaluate(u"1,5"), 1.5);
        EXPECT_DOUBLE_EQ(evaluate(u"1.5*2"), 3.0);
        EXPECT_DOUBLE_EQ(leadingNumber(std::string_view("2.25x")), 2.25);
        const UnitRecord twice = unitOf("$/2", "$*2");
        EXPECT_EQ(convertValue(u"1,25", twice, twice, 0, 8), QStringLiteral("1.25"));
        EXPECT_EQ(formatResult(-1.7976931348623157e308, 2, 10).size(), 310);
    }
    std::setlocale(LC_ALL, saved.c_str());
    QLocale::setDefault(savedQt);
    if (!missing.empty()) {
        GTEST_SKIP() << "locale " << missing.front() << " is not generated here (the README's test command makes it)";
    }
}

TEST(ParseUnitLine, SurvivesRandomAndAdversarialLines)
{
    QRandomGenerator random(1105);
    const QString alphabet = QStringLiteral("LENCY;;;\n\r*$ 0123") + QChar(0);
    for (int round = 0; round < 2000; ++round) {
        QString text;
        const int length = random.bounded(600);
        for (int i = 0; i < length; ++i) {
            text += random.bounded(3) == 0 ? QChar(static_cast<char16_t>(random.bounded(0x10000)))
                                           : alphabet[random.bounded(alphabet.size())];
        }
        if (const auto line = parseUnitLine(text)) {
            EXPECT_FALSE(line->code.isEmpty());
            EXPECT_LE(line->unit.name().size(), kUnitTextMaxLength);
            EXPECT_LE(line->unit.tag().size(), kUnitTagMaxLength);
        }
    }
    EXPECT_FALSE(parseUnitLine(QString(100000, QLatin1Char(';'))));
    EXPECT_FALSE(parseUnitLine(QString(1000, QChar(0))));
    const auto huge = parseUnitLine(QStringLiteral("LEN;") + QString(100000, QLatin1Char('x')));
    ASSERT_TRUE(huge);
    EXPECT_EQ(huge->unit.name().size(), kUnitTextMaxLength);
}

} // namespace
