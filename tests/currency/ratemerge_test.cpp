// The open source's JSON, the merge of the two sources and the rates' days.
#include "app/settingsstore.h"
#include "currency/openrates.h"
#include "currency/ratedates.h"
#include "currency/ratemerge.h"

#include <QDateTime>
#include <QTemporaryDir>
#include <QtEndian>
#include <cmath>
#include <gtest/gtest.h>

namespace quantaro {
namespace {

const QDate kToday(2026, 12, 10);

QuotedRates bankRates(QDate date, std::vector<std::pair<QString, double>> quotes)
{
    return {date, kEuroCode, std::move(quotes)};
}

QuotedRates openRates(QDate date, const char* base, std::vector<std::pair<QString, double>> quotes)
{
    return {date, QString::fromLatin1(base), std::move(quotes)};
}

const QuotedRates kBank = bankRates(kToday.addDays(-1), {{"USD", 1.25}, {"GBP", 0.8}});

struct MergeCase
{
    friend void PrintTo(const MergeCase& c, std::ostream* os) { *os << c.what; }
    const char* what;
    std::optional<QuotedRates> bank;
    std::optional<QuotedRates> open;
    const char* expected; // the rate file's lines
    SourceOutcome bankOutcome;
    SourceOutcome openOutcome;
};

class MergeTest : public ::testing::TestWithParam<MergeCase>
{
};

TEST_P(MergeTest, TakesTheBanksRatesAndFillsTheRestFromTheOpenSource)
{
    const MergeCase& c = GetParam();
    const MergedRates merged = mergeRates(c.bank, c.open, kToday);
    EXPECT_EQ(merged.rateFile(), QByteArray(c.expected)) << c.what;
    EXPECT_EQ(merged.bank.outcome, c.bankOutcome) << c.what;
    EXPECT_EQ(merged.open.outcome, c.openOutcome) << c.what;
}

constexpr auto kUsed = SourceOutcome::Used;
constexpr auto kFailed = SourceOutcome::Failed;
constexpr auto kStale = SourceOutcome::Stale;

INSTANTIATE_TEST_SUITE_P(
    Sources, MergeTest,
    ::testing::Values(
        MergeCase{"bank and open source, overlapping on USD and GBP", kBank,
                  openRates(kToday, "EUR", {{"USD", 1.5}, {"GBP", 0.9}, {"AED", 4.0}, {"JPY", 160.0}}),
                  "USD;0.8;2026-12-09\nGBP;1.25;2026-12-09\nAED;0.25;2026-12-10\nJPY;0.00625;2026-12-10\n", kUsed,
                  kUsed},
        MergeCase{"bank alone", kBank, std::nullopt, "USD;0.8;2026-12-09\nGBP;1.25;2026-12-09\n", kUsed, kFailed},
        MergeCase{"open source alone", std::nullopt, openRates(kToday, "EUR", {{"AED", 4.0}}), "AED;0.25;2026-12-10\n",
                  kFailed, kUsed},
        MergeCase{"neither", std::nullopt, std::nullopt, "", kFailed, kFailed},
        MergeCase{"open source eight days old", kBank, openRates(kToday.addDays(-8), "EUR", {{"AED", 4.0}}),
                  "USD;0.8;2026-12-09\nGBP;1.25;2026-12-09\n", kUsed, kStale},
        MergeCase{"open source seven days old still counts", std::nullopt,
                  openRates(kToday.addDays(-7), "EUR", {{"AED", 4.0}}), "AED;0.25;2026-12-03\n", kFailed, kUsed},
        MergeCase{"bank ten days old, open source fills everything", bankRates(kToday.addDays(-10), {{"USD", 1.25}}),
                  openRates(kToday, "EUR", {{"USD", 1.5}}), "USD;0.666666666666667;2026-12-10\n", kStale, kUsed},
        MergeCase{"open source undated", kBank, openRates(QDate(), "EUR", {{"AED", 4.0}}),
                  "USD;0.8;2026-12-09\nGBP;1.25;2026-12-09\n", kUsed, kFailed},
        MergeCase{"open source dated a week ahead", std::nullopt, openRates(kToday.addDays(7), "EUR", {{"AED", 4.0}}),
                  "", kFailed, kFailed},
        MergeCase{"hostile quotes: NaN, negative, zero, infinite, 1e308, tiny, the euro", std::nullopt,
                  openRates(kToday, "EUR",
                            {{"AAA", std::nan("")},
                             {"BBB", -2.0},
                             {"CCC", 0.0},
                             {"DDD", HUGE_VAL},
                             {"FFF", 1e308},
                             {"GGG", 1e-308},
                             {"EUR", 2.0},
                             {"HHH", 2.0}}),
                  "HHH;0.5;2026-12-10\n", kFailed, kUsed},
        MergeCase{"codes other than three letters are left out", std::nullopt,
                  openRates(kToday, "EUR",
                            {{"1INCH", 2.0}, {"DOGE", 2.0}, {"X/Y", 2.0}, {"AB", 2.0}, {"ÄBC", 2.0}, {"BTC", 0.00001}}),
                  "BTC;100000;2026-12-10\n", kFailed, kUsed},
        MergeCase{"the bank's own rate for the euro is never stored", bankRates(kToday, {{"EUR", 2.0}, {"USD", 1.25}}),
                  std::nullopt, "USD;0.8;2026-12-10\n", kUsed, kFailed},
        MergeCase{"base USD carried over by the bank's USD rate", kBank,
                  openRates(kToday, "USD", {{"USD", 1.0}, {"EUR", 0.5}, {"AED", 3.2}, {"CNY", 8.0}}),
                  "USD;0.8;2026-12-09\nGBP;1.25;2026-12-09\nAED;0.25;2026-12-10\nCNY;0.1;2026-12-10\n", kUsed, kUsed},
        MergeCase{"base USD carried over by its own EUR quote when the bank failed", std::nullopt,
                  openRates(kToday, "USD", {{"USD", 1.0}, {"EUR", 0.5}, {"AED", 4.0}}),
                  "USD;0.5;2026-12-10\nAED;0.125;2026-12-10\n", kFailed, kUsed},
        MergeCase{"base USD with no currency both carry", bankRates(kToday, {{"GBP", 0.8}}),
                  openRates(kToday, "USD", {{"USD", 1.0}, {"AED", 4.0}}), "GBP;1.25;2026-12-10\n", kUsed, kFailed},
        MergeCase{"base USD whose bank rate is stale uses its own EUR quote",
                  bankRates(kToday.addDays(-9), {{"USD", 1.25}}),
                  openRates(kToday, "USD", {{"EUR", 0.5}, {"AED", 4.0}}), "AED;0.125;2026-12-10\n", kStale, kUsed}));

TEST(MergeLimitTest, StopsAtTheMostRatesAFileMayStore)
{
    QuotedRates open = openRates(kToday, "EUR", {});
    for (char a = 'A'; a <= 'Z'; ++a) {
        for (char b = 'A'; b <= 'Z'; ++b) {
            open.quotes.emplace_back(QString(QLatin1Char('Q')) + QLatin1Char(a) + QLatin1Char(b), 2.0);
        }
    }
    const MergedRates merged = mergeRates(kBank, open, kToday);
    EXPECT_EQ(merged.rates.size(), 512U);
    EXPECT_EQ(merged.rates.front().code, "USD");
    EXPECT_EQ(merged.bank.count, 2);
}

struct JsonCase
{
    const char* what;
    const char* json;
    std::optional<std::vector<std::pair<QString, double>>> quotes; // nothing: not read
    const char* base;
    QDate date;
};

TEST(OpenRatesTest, ReadsTheDocumentedShapeOnly)
{
    using Quotes = std::vector<std::pair<QString, double>>;
    const JsonCase cases[] = {
        {"documented shape", R"({"date":"2026-12-10","eur":{"aed":3.98,"usd":1.08}})",
         Quotes{{"AED", 3.98}, {"USD", 1.08}}, "EUR", QDate(2026, 12, 10)},
        {"another base, date last", R"({"usd":{"eur":0.92},"date":"2026-12-09"})", Quotes{{"EUR", 0.92}}, "USD",
         QDate(2026, 12, 9)},
        {"values that are no numbers", R"({"date":"2026-12-10","eur":{"aed":"3.98","usd":null,"gbp":[1],"chf":0.95}})",
         Quotes{{"CHF", 0.95}}, "EUR", QDate(2026, 12, 10)},
        {"no date", R"({"eur":{"aed":3.98}})", Quotes{{"AED", 3.98}}, "EUR", QDate()},
        {"NaN is not JSON", R"({"date":"2026-12-10","eur":{"aed":NaN}})", std::nullopt, "", QDate()},
        {"two tables", R"({"date":"2026-12-10","eur":{"aed":3.98},"usd":{"aed":3.67}})", std::nullopt, "", QDate()},
        {"base of four letters", R"({"date":"2026-12-10","doge":{"aed":3.98}})", std::nullopt, "", QDate()},
        {"no table", R"({"date":"2026-12-10"})", std::nullopt, "", QDate()},
        {"an array", R"([{"date":"2026-12-10"}])", std::nullopt, "", QDate()},
        {"an error page", "<html><body>502 Bad Gateway</body></html>", std::nullopt, "", QDate()},
        {"cut short", R"({"date":"2026-12-10","eur":{"aed":3.9)", std::nullopt, "", QDate()},
    };
    for (const JsonCase& c : cases) {
        const std::optional<QuotedRates> read = readOpenRates(QByteArray(c.json));
        ASSERT_EQ(read.has_value(), c.quotes.has_value()) << c.what;
        if (read) {
            EXPECT_EQ(read->quotes, *c.quotes) << c.what;
            EXPECT_EQ(read->base, QString::fromLatin1(c.base)) << c.what;
            EXPECT_EQ(read->date, c.date) << c.what;
        }
    }
}

struct StaleCase
{
    const char* what;
    const char* stored; // rate under Currencies, nullptr: none
    const char* day;    // under CurrencyDates, nullptr: none
    bool lastUpdate;    // a LastCurrencyUpdate of 2026-12-01
    std::optional<int> days;
};

TEST(RateDatesTest, MarksRatesOlderThanAWeekButNotLockedOnes)
{
    // The built-in rates are as old as the snapshot the build took them from.
    const int builtIn = static_cast<int>(builtInRatesDate().daysTo(kToday));
    const StaleCase cases[] = {
        {"downloaded yesterday", "0.9", "2026-12-09", false, std::nullopt},
        {"downloaded seven days ago", "0.9", "2026-12-03", false, std::nullopt},
        {"downloaded twelve days ago", "0.9", "2026-11-28", false, 12},
        {"locked by hand long ago", "-0.9", "2020-01-01", false, std::nullopt},
        {"never downloaded: the built-in rates' day", nullptr, nullptr, false, builtIn},
        {"a stored text that is no rate: built-in", "abc", "2026-12-09", false, builtIn},
        {"stored by an older version: the last update's day", "0.9", nullptr, true, 9},
        {"stored without any day", "0.9", "garbage", false, std::nullopt},
    };
    for (const StaleCase& c : cases) {
        QTemporaryDir dir;
        SettingsStore store(dir.filePath("q.ini"));
        if (c.stored) {
            store.putString(settings::kCurrencies, "USD", QString::fromLatin1(c.stored));
        }
        if (c.day) {
            store.putString(settings::kCurrencyDates, "USD", QString::fromLatin1(c.day));
        }
        if (c.lastUpdate) {
            QByteArray bytes(8, '\0');
            const qint64 seconds = QDateTime(QDate(2026, 12, 1), QTime(12, 0), Qt::UTC).toSecsSinceEpoch();
            qToLittleEndian<qint64>(seconds, bytes.data());
            store.putBinary(settings::kSettings, settings::kLastCurrencyUpdate, bytes);
        }
        EXPECT_EQ(staleRateDays(store, "USD", kEuroCode, kToday), c.days) << c.what;
        EXPECT_EQ(staleRateDays(store, kEuroCode, "USD", kToday), c.days) << c.what;
    }
}

} // namespace
} // namespace quantaro
