#include "convert/convertrequest.h"

#include <gtest/gtest.h>

namespace {

using namespace quantaro;

struct RequestCase
{
    QStringList arguments;
    std::optional<ConvertRequest> expected;
};

class ConvertRequestTest : public ::testing::TestWithParam<RequestCase>
{
};

TEST_P(ConvertRequestTest, ReadsTheConvertOption)
{
    EXPECT_EQ(convertRequestOf(GetParam().arguments), GetParam().expected)
        << GetParam().arguments.join(' ').toStdString();
}

const QString kLong = QString(100, QLatin1Char('m'));

INSTANTIATE_TEST_SUITE_P(
    Arguments, ConvertRequestTest,
    ::testing::Values(
        RequestCase{{"quantaro"}, std::nullopt}, RequestCase{{"quantaro", "--convert"}, std::nullopt},
        RequestCase{{"quantaro", "--convert", "XYZ", "a", "b", "1"}, std::nullopt},
        RequestCase{{"quantaro", "AppRunUpdateConnect"}, std::nullopt},
        RequestCase{{"quantaro", "--convert", "len"}, ConvertRequest{"LEN", {}, {}, {}}},
        RequestCase{{"quantaro", "--convert", "LEN", "mile (mi)", "kilometre (km)", "5"},
                    ConvertRequest{"LEN", "mile (mi)", "kilometre (km)", "5"}},
        RequestCase{{"quantaro", "--convert", "LEN", "mile (mi)", "kilometre (km)"}, ConvertRequest{"LEN", {}, {}, {}}},
        RequestCase{{"quantaro", "--convert", "LEN", kLong, "kilometre (km)", "5"}, ConvertRequest{"LEN", {}, {}, {}}},
        RequestCase{{"quantaro", "--convert", "LEN", "", "kilometre (km)", "5"}, ConvertRequest{"LEN", {}, {}, {}}}));

} // namespace
