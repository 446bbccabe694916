#include "convert/evaluate.h"

#include <QRandomGenerator>
#include <QString>
#include <cmath>
#include <gtest/gtest.h>
#include <limits>

using namespace quantaro;

namespace {

constexpr double kInfinity = std::numeric_limits<double>::infinity();

struct EvaluateCase
{
    const char* text;
    double value;
};

class EvaluateTest : public ::testing::TestWithParam<EvaluateCase>
{
};

TEST_P(EvaluateTest, ReadsStrictlyLeftToRight)
{
    const double value = evaluate(QString::fromUtf8(GetParam().text));
    if (std::isinf(GetParam().value)) {
        EXPECT_EQ(value, GetParam().value);
    } else {
        EXPECT_DOUBLE_EQ(value, GetParam().value);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Texts, EvaluateTest,
    ::testing::Values(
        // Consequences of the left-to-right rules.
        EvaluateCase{"2+3*4", 20}, EvaluateCase{"10-2-3", 5}, EvaluateCase{"1/4*2", 0.5}, EvaluateCase{"-5", -5},
        EvaluateCase{"+5", 5}, EvaluateCase{"2*-3", -6}, EvaluateCase{"10/-2", -5}, EvaluateCase{"--5", 5},
        EvaluateCase{"3--2", 5}, EvaluateCase{"3* -2", -6}, EvaluateCase{"2*+3", 6}, EvaluateCase{"3*-", 0},
        EvaluateCase{"$*-1.5+559.725", 559.725}, EvaluateCase{"2*-1e-3", -0.002}, EvaluateCase{"-40*1.8+32", -40},
        EvaluateCase{"32+-40*1.8", -14.4}, EvaluateCase{"1.5e-020", 1.5e-20}, EvaluateCase{"2E+3*2", 4000},
        // Edge cases.
        EvaluateCase{"", 0}, EvaluateCase{"abc", 0}, EvaluateCase{"12 500", 12500}, EvaluateCase{"1,5", 1.5},
        EvaluateCase{"1,000", 1}, EvaluateCase{"5*", 5}, EvaluateCase{"5*2-", 10}, EvaluateCase{"(2+3)*4", 20},
        EvaluateCase{"2*(3+4)", 10}, EvaluateCase{"1e-3", 0.001}, EvaluateCase{"e-3", 0}, EvaluateCase{"1.2.3", 1.2},
        EvaluateCase{"1e5e3", 100000}, EvaluateCase{"$/1000", 0},
        // Further corners: a lone operator or point, overflow and underflow as strtod gives them.
        EvaluateCase{"-", 0}, EvaluateCase{".", 0}, EvaluateCase{"5 ", 5}, EvaluateCase{"1e999", kInfinity},
        EvaluateCase{"-1e999", -kInfinity}, EvaluateCase{"1e-999", 0}, EvaluateCase{"inf", 0},
        EvaluateCase{"0x10", 10}));

TEST(Evaluate, ZeroByZeroIsNotANumber)
{
    EXPECT_TRUE(std::isnan(evaluate(u"0/0")));
}

// Random and adversarial texts: whatever the text, a number comes out and nothing reads outside it
// (the address sanitizer build runs this too).
TEST(Evaluate, SurvivesRandomAndAdversarialTexts)
{
    QRandomGenerator random(20080105);
    const QString alphabet = QStringLiteral("0123456789.,eE+-*/$ ;\n\r\t()abcxyz") + QChar(0) + QChar(0xD800);
    for (int round = 0; round < 2000; ++round) {
        QString text;
        const int length = random.bounded(64);
        for (int i = 0; i < length; ++i) {
            text += random.bounded(4) == 0 ? QChar(static_cast<char16_t>(random.bounded(0x10000)))
                                           : alphabet[random.bounded(alphabet.size())];
        }
        (void)evaluate(text);
    }
    (void)evaluate(QString(200000, QLatin1Char('9')));
    (void)evaluate(QString(100000, QLatin1Char('e')) + QStringLiteral("-5"));
    (void)evaluate(QString(100000, QLatin1Char('-')));
    (void)evaluate(QString(1000, QChar(0)));
    EXPECT_EQ(evaluate(QStringLiteral("1") + QString(400, QLatin1Char('0'))), kInfinity);
}

} // namespace
