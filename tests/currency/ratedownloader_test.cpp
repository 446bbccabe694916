#include "app/connectionrunmode.h"
#include "app/settingsstore.h"
#include "currency/openrates.h"
#include "currency/ratedates.h"
#include "currency/ratedownloader.h"
#include "currency/ratemerge.h"
#include "platform/curlhttpclient.h"
#include "support/scriptedhttpserver.h"
#include "support/shorthttplimits.h"
#include "support/virtualclock.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <map>

namespace quantaro {
namespace {

using test::HttpScript;
using test::HttpStep;
using test::ScriptedHttpServer;

constexpr int64_t kEarlier = 1'600'000'000;
constexpr int64_t kNow = 1'700'000'000;

HttpLimits shortLimits()
{
    return test::shortHttpLimits(200, 3000);
}

class RateDownloadTest : public ::testing::Test
{
protected:
    RateDownloadTest() { storeLastCurrencyUpdate(m_settings, kEarlier); }

    bool download(const QString& url, RateFormat format = RateFormat::RateFile, HttpLimits limits = shortLimits())
    {
        RateDownloader downloader(m_settings, m_http, m_clock, limits);
        return downloader.download(RateSource{url, format});
    }
    bool download(const ScriptedHttpServer& server, RateFormat format = RateFormat::RateFile,
                  HttpLimits limits = shortLimits())
    {
        EXPECT_TRUE(server.listening());
        return download(server.baseUrl() + kRateFilePath, format, limits);
    }
    QString rate(const char* code) const
    {
        return m_settings.getString(settings::kCurrencies, QString::fromLatin1(code));
    }
    bool hasRate(const char* code) const
    {
        return m_settings.contains(settings::kCurrencies, QString::fromLatin1(code));
    }
    int64_t lastUpdate() const { return lastCurrencyUpdate(m_settings); }

    QTemporaryDir m_dir;
    SettingsStore m_settings{m_dir.filePath(QStringLiteral("q.ini"))};
    test::VirtualClock m_clock{kNow};
    CurlHttpClient m_http{settings::kApplication};
};

TEST_F(RateDownloadTest, StoresTheRatesAndTheTimeAfterAWholeBody)
{
    m_settings.putString(settings::kCurrencies, QStringLiteral("CHF"), QStringLiteral("-1.00"));
    ScriptedHttpServer server(test::httpResponse("USD;0.92\r\nGBP;1.17\r\nCHF;1.04\r\n"));

    EXPECT_TRUE(download(server));

    EXPECT_EQ(rate("USD"), QStringLiteral("0.92"));
    EXPECT_EQ(rate("GBP"), QStringLiteral("1.17"));
    EXPECT_EQ(rate("CHF"), QStringLiteral("-1.00"));
    EXPECT_EQ(lastUpdate(), kNow);
    ASSERT_EQ(server.requests().size(), 1);
    const QString request = server.requests().front();
    EXPECT_TRUE(request.startsWith(QStringLiteral("GET /cvf/CurrenciesUpdate.cvf HTTP/1.1\r\n")))
        << request.toStdString();
    EXPECT_TRUE(request.contains(QStringLiteral("User-Agent: Quantaro\r\n"))) << request.toStdString();
}

struct SuccessCase
{
    friend void PrintTo(const SuccessCase& c, std::ostream* os) { *os << c.what; }
    const char* what;
    HttpScript script;
};

class RateDownloadSuccessTest : public RateDownloadTest, public ::testing::WithParamInterface<SuccessCase>
{
};

// Whatever body arrives whole with a success status is read as a rate file.
TEST_P(RateDownloadSuccessTest, CountsAsSuccessWithoutStoringAnything)
{
    ScriptedHttpServer server(GetParam().script);
    EXPECT_TRUE(download(server)) << GetParam().what;
    EXPECT_FALSE(hasRate("USD"));
    EXPECT_EQ(lastUpdate(), kNow);
}

INSTANTIATE_TEST_SUITE_P(Bodies, RateDownloadSuccessTest,
                         ::testing::Values(SuccessCase{"empty body", test::httpResponse("")},
                                           SuccessCase{"page without separator",
                                                       test::httpResponse("<html><body>Welcome</body></html>\r\n")},
                                           SuccessCase{"body ended by closing, no length",
                                                       {HttpStep::send(test::httpHead(200) + "USD\n0.92")}}));

TEST_F(RateDownloadTest, AnErrorStatusIsAFailureThatStoresNothing)
{
    struct Case
    {
        const char* what;
        HttpScript script;
    };
    const Case cases[] = {
        {"not found with rate-like lines", test::httpResponse("USD;0.5\nGBP;2\n", 404)},
        {"server error with an empty body", test::httpResponse("", 500)},
        {"forbidden page", test::httpResponse("<html><style>p{color:red;}</style></html>\n", 403)},
    };
    for (const Case& c : cases) {
        m_settings.putBinary(settings::kSettings, settings::kLastCurrencyUpdate, QByteArray(8, '\0'));
        ScriptedHttpServer server(c.script);
        EXPECT_FALSE(download(server)) << c.what;
        EXPECT_FALSE(hasRate("USD")) << c.what;
        EXPECT_FALSE(hasRate("p{color")) << c.what;
        EXPECT_EQ(lastUpdate(), 0) << c.what;
    }
}

struct FailureCase
{
    friend void PrintTo(const FailureCase& c, std::ostream* os) { *os << c.what; }
    const char* what;
    HttpScript script;
    HttpLimits limits;
};

class RateDownloadFailureTest : public RateDownloadTest, public ::testing::WithParamInterface<FailureCase>
{
};

TEST_P(RateDownloadFailureTest, KeepsCompleteLinesButNotTheTime)
{
    ScriptedHttpServer server(GetParam().script);

    EXPECT_FALSE(download(server, RateFormat::RateFile, GetParam().limits)) << GetParam().what;

    EXPECT_EQ(rate("USD"), QStringLiteral("0.92")) << GetParam().what;
    EXPECT_FALSE(hasRate("GBP")) << GetParam().what;
    EXPECT_EQ(lastUpdate(), kEarlier) << GetParam().what;
}

const QByteArray kBrokenBody = "USD;0.92\nGBP;1.1";

HttpLimits dripLimits()
{
    HttpLimits limits = shortLimits();
    limits.totalTimeoutMs = 600;
    return limits;
}

HttpScript dripping()
{
    HttpScript script{HttpStep::send(test::httpHead(200) + "USD;0.92\nGBP;1.")};
    for (int i = 0; i < 100; ++i) {
        script.push_back(HttpStep::pause(50));
        script.push_back(HttpStep::send("1"));
    }
    return script;
}

HttpLimits tinyBodyLimits()
{
    HttpLimits limits = shortLimits();
    limits.maxBodyBytes = 12;
    return limits;
}

INSTANTIATE_TEST_SUITE_P(
    Transfers, RateDownloadFailureTest,
    ::testing::Values(FailureCase{"half a body, then a stall",
                                  {HttpStep::send(test::httpHead(200, 40) + kBrokenBody), HttpStep::hold()},
                                  shortLimits()},
                      FailureCase{"half a body, then a close",
                                  {HttpStep::send(test::httpHead(200, 40) + kBrokenBody)},
                                  shortLimits()},
                      FailureCase{"chunked body cut short",
                                  {HttpStep::send(test::httpHead(200, -1, "Transfer-Encoding: chunked\r\n") +
                                                  "9\r\nUSD;0.92\n\r\n" + "8\r\nGBP;1.1")},
                                  shortLimits()},
                      FailureCase{"bytes dripping past the overall limit", dripping(), dripLimits()},
                      FailureCase{"body larger than the limit, no length given",
                                  {HttpStep::send(test::httpHead(200) + "USD;0.92\nGBP;1.17\n")},
                                  tinyBodyLimits()}));

TEST_F(RateDownloadTest, BodyOverOneMebibyteFailsAndStoresNothingPastTheLimit)
{
    const HttpLimits limits; // the program's own bounds
    QByteArray body = "USD;0.92\n" + QByteArray(limits.maxBodyBytes, ' ') + "\nGBP;1.17\n";
    ScriptedHttpServer server({HttpStep::send(test::httpHead(200) + body)});
    HttpLimits fast = limits;
    fast.receiveTimeoutMs = shortLimits().receiveTimeoutMs;

    EXPECT_FALSE(download(server, RateFormat::RateFile, fast));

    EXPECT_EQ(rate("USD"), QStringLiteral("0.92"));
    EXPECT_FALSE(hasRate("GBP"));
    EXPECT_EQ(lastUpdate(), kEarlier);
}

TEST_F(RateDownloadTest, FailsWhenTheServerNeverAnswers)
{
    ScriptedHttpServer server({HttpStep::hold()});
    EXPECT_FALSE(download(server));
    EXPECT_EQ(lastUpdate(), kEarlier);
}

TEST_F(RateDownloadTest, FailsWhenTheConnectionIsRefused)
{
    const QString url = QStringLiteral("http://127.0.0.1:%1").arg(test::closedLoopbackPort()) + kRateFilePath;
    EXPECT_FALSE(download(url));
    EXPECT_EQ(lastUpdate(), kEarlier);
}

TEST_F(RateDownloadTest, FollowsRedirectsToHttpOnly)
{
    ScriptedHttpServer target(test::httpResponse("USD;0.92\n"));
    ScriptedHttpServer http(
        {HttpStep::send(test::httpHead(302, 0, "Location: " + target.baseUrl().toLatin1() + "/elsewhere\r\n"))});
    ScriptedHttpServer file({HttpStep::send(test::httpHead(302, 0, "Location: file:///etc/hostname\r\n"))});

    EXPECT_FALSE(download(file));
    EXPECT_TRUE(download(http));

    EXPECT_EQ(rate("USD"), QStringLiteral("0.92"));
    ASSERT_EQ(target.requests().size(), 1);
    EXPECT_TRUE(target.requests().front().startsWith(QStringLiteral("GET /elsewhere ")));
}

TEST_F(RateDownloadTest, AcceptsOnlyHttpAddresses)
{
    const QString local = m_dir.filePath(QStringLiteral("rates.cvf"));
    EXPECT_FALSE(download(QStringLiteral("file://") + local));
    EXPECT_FALSE(download(QStringLiteral("ftp://127.0.0.1/cvf/CurrenciesUpdate.cvf")));
    EXPECT_FALSE(download(QStringLiteral("not an address")));
    EXPECT_EQ(lastUpdate(), kEarlier);
}

TEST_F(RateDownloadTest, TranslatesTheCentralBankRatesAndKeepsLockedOnes)
{
    m_settings.putString(settings::kCurrencies, QStringLiteral("GBP"), QStringLiteral("-1.10"));
    const QByteArray xml = R"(<?xml version="1.0" encoding="UTF-8"?>
<gesmes:Envelope xmlns:gesmes="http://www.gesmes.org/xml/2002-08-01" xmlns="http://www.ecb.int/vocabulary/2002-08-01/eurofxref">
<Cube><Cube time="2024-05-02"><Cube currency="USD" rate="1.25"/><Cube currency="GBP" rate="0.85"/></Cube></Cube>
</gesmes:Envelope>)";
    ScriptedHttpServer server(test::httpResponse(xml));

    EXPECT_TRUE(download(server.baseUrl() + QStringLiteral("/eurofxref-daily.xml"), RateFormat::EcbXml));

    EXPECT_EQ(rate("USD"), QStringLiteral("0.8"));
    EXPECT_EQ(rate("GBP"), QStringLiteral("-1.10"));
    EXPECT_EQ(lastUpdate(), kNow);
}

TEST_F(RateDownloadTest, CentralBankBodyThatIsNotXmlFails)
{
    ScriptedHttpServer server(test::httpResponse("USD;0.92\n<html><body>Bad gateway</body>"));
    EXPECT_FALSE(download(server, RateFormat::EcbXml));
    EXPECT_FALSE(hasRate("USD"));
    EXPECT_EQ(lastUpdate(), kEarlier);
}

struct SourceCase
{
    const char* updateServer; // nullptr: not set
    std::optional<RateSource> expected;
};

class RateSourceTest : public RateDownloadTest, public ::testing::WithParamInterface<SourceCase>
{
};

TEST_P(RateSourceTest, PicksTheServerNamedInTheSettingsOrTheCentralBank)
{
    if (GetParam().updateServer != nullptr) {
        m_settings.putString(settings::kSettings, settings::kUpdateServer, QString::fromUtf8(GetParam().updateServer));
    }
    const std::optional<RateSource> source = rateSourceFor(m_settings);
    ASSERT_EQ(source.has_value(), GetParam().expected.has_value()) << GetParam().updateServer;
    if (source) {
        EXPECT_EQ(source->url, GetParam().expected->url);
        EXPECT_EQ(source->format, GetParam().expected->format);
        EXPECT_EQ(source->openUrls, GetParam().expected->openUrls);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Settings, RateSourceTest,
    ::testing::Values(
        SourceCase{nullptr,
                   RateSource{kEcbDailyRatesUrl, RateFormat::EcbAndOpen, {kOpenRatesUrl, kOpenRatesMirrorUrl}}},
        SourceCase{"  ", RateSource{kEcbDailyRatesUrl, RateFormat::EcbAndOpen, {kOpenRatesUrl, kOpenRatesMirrorUrl}}},
        SourceCase{"rates.example.org", RateSource{"http://rates.example.org/cvf/CurrenciesUpdate.cvf"}},
        SourceCase{"http://127.0.0.1:8080/", RateSource{"http://127.0.0.1:8080/cvf/CurrenciesUpdate.cvf"}},
        SourceCase{"HTTPS://example.org/quantaro//",
                   RateSource{"HTTPS://example.org/quantaro/cvf/CurrenciesUpdate.cvf"}},
        SourceCase{"ftp://example.org", std::nullopt}, SourceCase{"file:///srv/rates", std::nullopt}));

} // namespace
} // namespace quantaro

namespace quantaro {
namespace {

// The bank and the open source from two loopback servers, as a download out of the box fetches them.
QByteArray bankXml(int daysBefore,
                   const char* cubes = R"(<Cube currency="USD" rate="1.25"/><Cube currency="GBP" rate="0.8"/>)")
{
    const QByteArray day = utcDay(kNow).addDays(-daysBefore).toString(Qt::ISODate).toLatin1();
    return R"(<?xml version="1.0" encoding="UTF-8"?>
<gesmes:Envelope xmlns:gesmes="http://www.gesmes.org/xml/2002-08-01" xmlns="http://www.ecb.int/vocabulary/2002-08-01/eurofxref">
<Cube><Cube time=")" +
           day + "\">" + cubes + "</Cube></Cube></gesmes:Envelope>\n";
}

QByteArray openJson(int daysBefore, const char* table = R"("eur":{"usd":1.3,"aed":4,"jpy":160,"eur":1})")
{
    const QByteArray day = utcDay(kNow).addDays(-daysBefore).toString(Qt::ISODate).toLatin1();
    return "{\n\t\"date\": \"" + day + "\",\n\t" + table + "\n}\n";
}

struct BothCase
{
    friend void PrintTo(const BothCase& c, std::ostream* os) { *os << c.what; }
    const char* what;
    HttpScript bank;
    HttpScript open;
    HttpScript mirror;
    bool succeeds;
    std::map<QString, QString> rates; // what "Currencies" holds afterwards
    SourceOutcome bankOutcome;
    SourceOutcome openOutcome;
};

class BothSourcesTest : public RateDownloadTest, public ::testing::WithParamInterface<BothCase>
{
};

TEST_P(BothSourcesTest, StoresWhatEitherGivesAndNeverLosesARate)
{
    const BothCase& c = GetParam();
    // Earlier rates, one of them locked: a source that fails must leave them all in place.
    m_settings.putString(settings::kCurrencies, "AED", "0.3");
    m_settings.putString(settings::kCurrencies, "CHF", "-1.05");
    m_settings.putString(settings::kCurrencies, "GBP", "1.2");
    ScriptedHttpServer bank(c.bank);
    ScriptedHttpServer open(c.open);
    ScriptedHttpServer mirror(c.mirror);
    const RateSource source{bank.baseUrl() + "/eurofxref-daily.xml",
                            RateFormat::EcbAndOpen,
                            {open.baseUrl() + "/eur.json", mirror.baseUrl() + "/eur.json"}};
    HttpLimits limits;
    limits.receiveTimeoutMs = shortLimits().receiveTimeoutMs;
    RateDownloader downloader(m_settings, m_http, m_clock, limits);

    EXPECT_EQ(downloader.download(source), c.succeeds) << c.what;

    const QStringList codes = {"AED", "CHF", "GBP", "JPY", "USD", "EUR"};
    for (const QString& code : codes) {
        const auto expected = c.rates.find(code);
        EXPECT_EQ(rate(code.toLatin1().constData()), expected == c.rates.end() ? QString() : expected->second)
            << c.what << " " << code.toStdString();
    }
    EXPECT_EQ(lastUpdate(), c.succeeds ? kNow : kEarlier) << c.what;
    EXPECT_FALSE(m_settings.contains(settings::kCurrencyDates, "CHF")) << c.what << ": a locked rate has no day";
    if (c.succeeds) {
        EXPECT_EQ(m_settings.getInt(settings::kSettings, settings::kBankRatesOutcome, -1),
                  static_cast<int>(c.bankOutcome))
            << c.what;
        EXPECT_EQ(m_settings.getInt(settings::kSettings, settings::kOpenRatesOutcome, -1),
                  static_cast<int>(c.openOutcome))
            << c.what;
    }
}

const std::map<QString, QString> kBothRates = {
    {"AED", "0.25"}, {"CHF", "-1.05"}, {"GBP", "1.25"}, {"JPY", "0.00625"}, {"USD", "0.8"}};
const std::map<QString, QString> kBankOnlyRates = {{"AED", "0.3"}, {"CHF", "-1.05"}, {"GBP", "1.25"}, {"USD", "0.8"}};
const std::map<QString, QString> kUntouched = {{"AED", "0.3"}, {"CHF", "-1.05"}, {"GBP", "1.2"}};
constexpr qint64 kFiftyMegabytes = 50 * 1024 * 1024;
const HttpScript kNotFound = test::httpResponse("not found", 404);

INSTANTIATE_TEST_SUITE_P(
    Sources, BothSourcesTest,
    ::testing::Values(
        BothCase{"both answer", test::httpResponse(bankXml(1)), test::httpResponse(openJson(0)), kNotFound, true,
                 kBothRates, SourceOutcome::Used, SourceOutcome::Used},
        BothCase{"open source not found", test::httpResponse(bankXml(1)), kNotFound, kNotFound, true, kBankOnlyRates,
                 SourceOutcome::Used, SourceOutcome::Failed},
        BothCase{"open source eight days old", test::httpResponse(bankXml(1)), test::httpResponse(openJson(8)),
                 kNotFound, true, kBankOnlyRates, SourceOutcome::Used, SourceOutcome::Stale},
        BothCase{"open source sends NaN", test::httpResponse(bankXml(1)),
                 test::httpResponse(openJson(0, R"("eur":{"aed":NaN,"jpy":160})")), kNotFound, true, kBankOnlyRates,
                 SourceOutcome::Used, SourceOutcome::Failed},
        BothCase{"open source sends a negative rate, 1e308 and a rate for the euro", test::httpResponse(bankXml(1)),
                 test::httpResponse(openJson(0, R"("eur":{"aed":-4,"jpy":1e308,"eur":2})")), kNotFound, true,
                 kBankOnlyRates, SourceOutcome::Used, SourceOutcome::Failed},
        BothCase{"open source sends 50 MB",
                 test::httpResponse(bankXml(1)),
                 {HttpStep::send(test::httpHead(200) + "{\"date\":\"2023-11-14\",\"eur\":{\"aed\":4"),
                  HttpStep::repeat(QByteArray(1024, ' '), kFiftyMegabytes / 1024)},
                 kNotFound,
                 true,
                 kBankOnlyRates,
                 SourceOutcome::Used,
                 SourceOutcome::Failed},
        BothCase{"open source from its mirror", test::httpResponse(bankXml(1)), kNotFound,
                 test::httpResponse(openJson(0)), true, kBothRates, SourceOutcome::Used, SourceOutcome::Used},
        BothCase{"bank fails, open source gives everything",
                 test::httpResponse("", 500),
                 test::httpResponse(openJson(0, R"("eur":{"usd":1.25,"gbp":0.8,"jpy":160})")),
                 kNotFound,
                 true,
                 {{"AED", "0.3"}, {"CHF", "-1.05"}, {"GBP", "1.25"}, {"JPY", "0.00625"}, {"USD", "0.8"}},
                 SourceOutcome::Failed,
                 SourceOutcome::Used},
        BothCase{"open source with a base of US dollars", test::httpResponse(bankXml(1)),
                 test::httpResponse(openJson(0, R"("usd":{"usd":1,"eur":0.9,"aed":3.2,"jpy":128})")), kNotFound, true,
                 kBothRates, SourceOutcome::Used, SourceOutcome::Used},
        BothCase{"both fail",
                 {HttpStep::hold()},
                 kNotFound,
                 test::httpResponse(openJson(30)),
                 false,
                 kUntouched,
                 SourceOutcome::Failed,
                 SourceOutcome::Failed}));

TEST_F(RateDownloadTest, StoresTheDaysOfEachRateAndSource)
{
    ScriptedHttpServer bank(test::httpResponse(bankXml(1)));
    ScriptedHttpServer open(test::httpResponse(openJson(0)));
    const RateSource source{
        bank.baseUrl() + "/eurofxref-daily.xml", RateFormat::EcbAndOpen, {open.baseUrl() + "/eur.json"}};
    ASSERT_TRUE(RateDownloader(m_settings, m_http, m_clock, shortLimits()).download(source));

    const QString yesterday = utcDay(kNow).addDays(-1).toString(Qt::ISODate);
    const QString today = utcDay(kNow).toString(Qt::ISODate);
    EXPECT_EQ(m_settings.getString(settings::kCurrencyDates, "USD"), yesterday);
    EXPECT_EQ(m_settings.getString(settings::kCurrencyDates, "AED"), today);
    EXPECT_EQ(m_settings.getString(settings::kSettings, settings::kBankRatesDate), yesterday);
    EXPECT_EQ(m_settings.getString(settings::kSettings, settings::kOpenRatesDate), today);
    EXPECT_EQ(bank.requests().size(), 1);
    EXPECT_EQ(open.requests().size(), 1);
}

TEST_F(RateDownloadTest, APublishersRateFileGivesEachRateItsDayOrTheDownloadsDay)
{
    ScriptedHttpServer server(test::httpResponse("USD;0.92;2023-11-10\nGBP;1.17\nJPY;0.0062;2099-01-01\n"));
    EXPECT_TRUE(download(server));
    EXPECT_EQ(m_settings.getString(settings::kCurrencyDates, "USD"), "2023-11-10");
    EXPECT_EQ(m_settings.getString(settings::kCurrencyDates, "GBP"), utcDay(kNow).toString(Qt::ISODate));
    EXPECT_EQ(m_settings.getString(settings::kCurrencyDates, "JPY"), utcDay(kNow).toString(Qt::ISODate));
    EXPECT_EQ(rate("USD"), "0.92");
}

} // namespace
} // namespace quantaro
