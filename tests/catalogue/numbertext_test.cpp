#include "catalogue/numbertext.h"

#include <QString>
#include <clocale>
#include <cstdlib>
#include <gtest/gtest.h>
#include <limits>
#include <locale.h>
#include <string>

using namespace quantaro;

namespace {

TEST(PlainDecimalTest, WritesSignificantDigitsWithoutExponentOrTrailingZeros)
{
    struct Case
    {
        double value;
        int digits;
        const char* text;
    };
    for (const Case& c :
         {Case{5.85490034666865e-05, 15, "0.0000585490034666865"}, Case{1.0 / 17079.71, 15, "0.0000585490034666865"},
          Case{0.904977375565611, 15, "0.904977375565611"}, Case{0.1 + 0.2, 15, "0.3"},
          Case{1.15068177895403, 15, "1.15068177895403"}, Case{1.0 / 3.0, 15, "0.333333333333333"},
          Case{2.0 / 3.0, 15, "0.666666666666667"}, Case{1e-30, 15, "0.000000000000000000000000000001"},
          Case{1.5e20, 15, "150000000000000000000"}, Case{123456789012345678.0, 15, "123456789012346000"},
          Case{99999999999999999.0, 15, "100000000000000000"}, Case{9.999999999999999e-5, 15, "0.0001"},
          Case{10000000.0, 15, "10000000"}, Case{-0.00012345, 15, "-0.00012345"}, Case{0.0, 15, "0"},
          Case{-0.0, 15, "0"}, Case{1234.5678, 3, "1230"}, Case{1234.5678, 0, "1000"},
          Case{0.1, 40, "0.10000000000000001"}}) {
        EXPECT_EQ(plainDecimal(c.value, c.digits), QString::fromLatin1(c.text)) << c.text;
    }
    EXPECT_EQ(plainDecimal(std::numeric_limits<double>::infinity(), 15), "inf");
    EXPECT_EQ(plainDecimal(-std::numeric_limits<double>::infinity(), 15), "-inf");
    EXPECT_EQ(plainDecimal(std::numeric_limits<double>::quiet_NaN(), 15), "nan");
}

TEST(PlainDecimalTest, ReadsBackAsTheValueRoundedToItsDigits)
{
    for (const double value :
         {5.85490034666865e-05, 1e-300, 1.7976931348623157e308, 6.02214076e23, 0.000697515449967217}) {
        const QString text = plainDecimal(value, 17);
        EXPECT_EQ(leadingNumber(text), value) << text.toStdString();
        EXPECT_FALSE(text.contains(u'e')) << text.toStdString();
    }
}

// The evaluator, the stored rates and the version file read numbers through this one reader: it
// reads what the C library reads, except the special forms that none of them ever writes.
TEST(LeadingNumberTest, ReadsWhatTheCLibraryReadsWhicheverTextItIsGiven)
{
    const locale_t cLocale = newlocale(LC_ALL_MASK, "C", locale_t{});
    const char* const texts[] = {"1.05",
                                 " \t+2.5x",
                                 "-1",
                                 ".5",
                                 "1.",
                                 "1e2",
                                 "1e",
                                 "1e+",
                                 "7.e+",
                                 "2E-1z",
                                 "1.2.3",
                                 "",
                                 ".",
                                 "-",
                                 "+-1",
                                 "--5",
                                 "1,5",
                                 "e5",
                                 "-.5e1",
                                 "1e999",
                                 "-1e999",
                                 "1e-320",
                                 "1e-999",
                                 "0.0000e99999999999999",
                                 "-0",
                                 "0000000000000000000000000000000000012.5",
                                 "5.85490034666865e-05",
                                 "0.0000585490034666865"};
    for (const char* text : texts) {
        SCOPED_TRACE(text);
        const double expected = strtod_l(text, nullptr, cLocale);
        EXPECT_EQ(leadingNumber(std::string_view(text)), expected);
        EXPECT_EQ(leadingNumber(QString::fromLatin1(text)), expected);
    }
    freelocale(cLocale);
    for (const char* text : {"inf", "nan", "-infinity", "0x10",
                             "\xa0"
                             "1"}) {
        EXPECT_EQ(leadingNumber(QString::fromLatin1(text)), 0.0) << text;
    }
    EXPECT_EQ(leadingNumber(u"\u00a0 12"), 0.0) << "only the C library's blanks are skipped";
    EXPECT_EQ(leadingNumber(u"12\u00bd"), 12.0);
}

} // namespace
