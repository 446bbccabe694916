#include "about/versionfile.h"
#include "app/connectionrunmode.h"
#include "app/settingsstore.h"
#include "currency/ratedownloader.h"
#include "platform/curlhttpclient.h"
#include "support/scriptedhttpserver.h"
#include "support/shorthttplimits.h"
#include "support/virtualclock.h"

#include <QElapsedTimer>
#include <QSettings>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <random>

namespace quantaro {
namespace {

using test::HttpScript;
using test::HttpStep;
using test::ScriptedHttpServer;

constexpr int64_t kEarlier = 1'600'000'000;
constexpr int64_t kNow = 1'700'000'000;
constexpr qint64 kHundredMebibytes = qint64{100} << 20;
constexpr qint64 kLineRepeatsInHundredMebibytes = kHundredMebibytes / 16;
// A bound no sound transfer comes near; only a client that ignores its limits passes it.
constexpr qint64 kGenerousMs = 20000;

HttpLimits shortLimits()
{
    return test::shortHttpLimits(400, 1500);
}

class HostileServerTest : public ::testing::Test
{
protected:
    HostileServerTest()
    {
        storeLastCurrencyUpdate(m_settings, kEarlier);
        m_settings.putString(settings::kCurrencies, QStringLiteral("USD"), QStringLiteral("0.5"));
    }

    bool download(const QString& url)
    {
        RateDownloader downloader(m_settings, m_http, m_clock, shortLimits());
        return downloader.download(RateSource{url, RateFormat::RateFile});
    }
    bool download(const ScriptedHttpServer& server)
    {
        EXPECT_TRUE(server.listening());
        return download(server.baseUrl() + kRateFilePath);
    }
    QString rate(const QString& code) const { return m_settings.getString(settings::kCurrencies, code); }
    int64_t lastUpdate() const { return lastCurrencyUpdate(m_settings); }

    /** The file holds only "Currencies", the days of its rates and "Settings\LastCurrencyUpdate", every
     *  name flat and printable. */
    void expectOnlyCurrenciesTouched(const char* what)
    {
        m_settings.sync();
        QSettings raw(m_settings.fileName(), QSettings::IniFormat);
        EXPECT_EQ(raw.status(), QSettings::NoError) << what;
        QStringList groups = raw.childGroups();
        if (groups.removeAll(settings::kCurrencyDates) > 0) {
            raw.beginGroup(settings::kCurrencyDates);
            const QStringList dated = raw.childKeys();
            raw.endGroup();
            raw.beginGroup(settings::kCurrencies);
            for (const QString& code : dated) {
                EXPECT_TRUE(raw.contains(code)) << what << ": a day without a rate for " << code.toStdString();
            }
            raw.endGroup();
        }
        EXPECT_EQ(groups, QStringList({settings::kCurrencies, settings::kSettings})) << what;
        raw.beginGroup(settings::kSettings);
        EXPECT_EQ(raw.childKeys(), QStringList({settings::kLastCurrencyUpdate})) << what;
        raw.endGroup();
        raw.beginGroup(settings::kCurrencies);
        EXPECT_TRUE(raw.childGroups().isEmpty()) << what << ": " << raw.childGroups().join(u' ').toStdString();
        raw.endGroup();
    }

    QTemporaryDir m_dir;
    SettingsStore m_settings{m_dir.filePath(QStringLiteral("q.ini"))};
    test::VirtualClock m_clock{kNow};
    CurlHttpClient m_http{settings::kApplication};
};

QByteArray randomGarbage(int size)
{
    std::mt19937 random(7); // fixed, so a failure can be repeated
    std::uniform_int_distribution<int> byte(0, 255);
    QByteArray bytes(size, '\0');
    for (char& c : bytes) {
        c = static_cast<char>(byte(random));
    }
    return bytes;
}

struct SuccessCase
{
    const char* what;
    QByteArray body;
    /** Codes and the rates they must hold afterwards; USD held 0.5 before. */
    std::vector<std::pair<QString, QString>> rates;
    /** Codes that must not be stored. */
    QStringList absent;
};

// Bodies that arrive whole with a success status are read as rate files: complete lines only,
// over-long lines and unusable names skipped, nothing stored outside "Currencies".
TEST_F(HostileServerTest, WholeBodiesStoreOnlyUsableLinesAndOnlyAsRates)
{
    const QByteArray overlong(10000, 'A');
    const SuccessCase cases[] = {
        {"lines of 10,000 characters",
         "EUR;" + QByteArray(9996, '1') + "\n" + overlong + "GBP;1.17\n" + overlong + "\nUSD;0.92\n" + overlong,
         {{QStringLiteral("USD"), QStringLiteral("0.92")}},
         {QStringLiteral("EUR"), QStringLiteral("GBP")}},
        {"binary garbage and NUL bytes",
         randomGarbage(16 * 1024) + QByteArray("\nJPY\0;5\nEUR;1.1\0junk;9\nUSD;0.92\n", 32) + randomGarbage(4096),
         {{QStringLiteral("USD"), QStringLiteral("0.92")}, {QStringLiteral("EUR"), QStringLiteral("1.1")}},
         {QStringLiteral("JPY")}},
        {"names with slashes, backslashes and control characters",
         "A/B;1\nC\\D;2\nE\tF;3\nG\x1bH;4\n\x7f"
         "DEL;5\n%2F;6\nUSD;0.92\n",
         {{QStringLiteral("USD"), QStringLiteral("0.92")}, {QStringLiteral("%2F"), QStringLiteral("6")}},
         {QStringLiteral("A/B"), QStringLiteral("C\\D"), QStringLiteral("E\tF"), QStringLiteral("G\x1bH"),
          QStringLiteral("\x7f"
                         "DEL")}},
        {"captive-portal page without separators",
         "<!DOCTYPE html>\n<html><head><title>Sign in to the network</title></head>\n"
         "<body><a href=\"http://portal.example/login\">Sign in</a></body></html>\n",
         {{QStringLiteral("USD"), QStringLiteral("0.5")}},
         {}},
    };
    for (const SuccessCase& c : cases) {
        storeLastCurrencyUpdate(m_settings, kEarlier);
        m_settings.putString(settings::kCurrencies, QStringLiteral("USD"), QStringLiteral("0.5"));
        ScriptedHttpServer server(test::httpResponse(c.body));
        EXPECT_TRUE(download(server)) << c.what;
        EXPECT_EQ(lastUpdate(), kNow) << c.what;
        for (const auto& [code, value] : c.rates) {
            EXPECT_EQ(rate(code), value) << c.what << ": " << code.toStdString();
        }
        for (const QString& code : c.absent) {
            EXPECT_FALSE(m_settings.contains(settings::kCurrencies, code)) << c.what << ": " << code.toStdString();
        }
        expectOnlyCurrenciesTouched(c.what);
    }
}

// A portal page whose markup happens to hold ';' is stored line by line as the rate file rules
// say: junk names that match no currency, all of them inside "Currencies" and none a sub-key.
TEST_F(HostileServerTest, APortalPageWithSeparatorsLeavesJunkOnlyAmongTheRates)
{
    ScriptedHttpServer server(
        test::httpResponse("<html><head><meta http-equiv=\"refresh\" content=\"0; url=http://portal.example/login\">\n"
                           "<style>body { margin: 0; }</style></head>\n<body>Sign&nbsp;in</body></html>\n"));
    EXPECT_TRUE(download(server));
    EXPECT_EQ(rate(QStringLiteral("USD")), QStringLiteral("0.5"));
    expectOnlyCurrenciesTouched("portal page");
}

struct FailureCase
{
    const char* what;
    /** Makes the server; gets the URL of the rate file on it. */
    std::function<std::unique_ptr<ScriptedHttpServer>(QString& url)> serve;
    /** Whether the complete first line "USD;0.92" has been stored. */
    bool firstLineStored;
};

HttpScript drippingOneByteAtATime()
{
    // Each byte comes before the receive limit runs out, so only the overall limit ends it.
    HttpScript script{HttpStep::send(test::httpHead(200) + "USD;0.92\nGBP;1.")};
    for (int i = 0; i < 100; ++i) {
        script.push_back(HttpStep::pause(shortLimits().receiveTimeoutMs * 3 / 4));
        script.push_back(HttpStep::send("1"));
    }
    return script;
}

std::unique_ptr<ScriptedHttpServer> serveAt(QString& url, HttpScript script, const QString& scheme = "http")
{
    auto server = std::make_unique<ScriptedHttpServer>(std::move(script));
    url = QStringLiteral("%1://127.0.0.1:%2").arg(scheme).arg(server->port()) + kRateFilePath;
    return server;
}

// Transfers that never end well fail within the limits; complete lines that came before the
// failure stay stored, the unfinished one and the time of the update do not.
TEST_F(HostileServerTest, BrokenTransfersFailInBoundedTimeKeepingOnlyCompleteLines)
{
    const FailureCase cases[] = {
        {"one byte every so often", [](QString& url) { return serveAt(url, drippingOneByteAtATime()); }, true},
        {"connection closed in the middle of a line",
         [](QString& url) { return serveAt(url, {HttpStep::send(test::httpHead(200, 40) + "USD;0.92\nGBP;1.1")}); },
         true},
        {"chunked body closed in the middle of a line",
         [](QString& url) {
             return serveAt(url, {HttpStep::send(test::httpHead(200, -1, "Transfer-Encoding: chunked\r\n") +
                                                 "10\r\nUSD;0.92\nGBP;1.1\r\n")});
         },
         true},
        {"redirect to a file address",
         [](QString& url) {
             return serveAt(url, {HttpStep::send(test::httpHead(302, 0, "Location: file:///etc/hostname\r\n"))});
         },
         false},
        {"https to a plain-text server",
         [](QString& url) { return serveAt(url, test::httpResponse("USD;0.92\n"), QStringLiteral("https")); }, false},
        {"rate lines without any status line",
         [](QString& url) { return serveAt(url, {HttpStep::send("USD;0.92\nGBP;1.17\n")}); }, false},
    };
    for (const FailureCase& c : cases) {
        m_settings.putString(settings::kCurrencies, QStringLiteral("USD"), QStringLiteral("0.5"));
        QString url;
        const auto server = c.serve(url);
        ASSERT_TRUE(server->listening()) << c.what;
        QElapsedTimer timer;
        timer.start();
        EXPECT_FALSE(download(url)) << c.what;
        EXPECT_LT(timer.elapsed(), kGenerousMs) << c.what;
        EXPECT_EQ(rate(QStringLiteral("USD")), c.firstLineStored ? QStringLiteral("0.92") : QStringLiteral("0.5"))
            << c.what;
        EXPECT_FALSE(m_settings.contains(settings::kCurrencies, QStringLiteral("GBP"))) << c.what;
        EXPECT_EQ(lastUpdate(), kEarlier) << c.what;
    }
}

TEST_F(HostileServerTest, ARedirectLoopEndsAfterAFewRequests)
{
    // Every answer sends the client back to the very address it asked for.
    ScriptedHttpServer server(
        {HttpStep::send(test::httpHead(302, 0, "Location: " + kRateFilePath.toLatin1() + "\r\n"))});
    EXPECT_FALSE(download(server));
    EXPECT_GE(server.requests().size(), 2);
    EXPECT_LE(server.requests().size(), 10);
    EXPECT_EQ(lastUpdate(), kEarlier);
}

struct HugeBody
{
    const char* what;
    QByteArray head;
};

// A 100 MiB answer is never held: the client hands on at most its limit and then hangs up, long
// before the server could send it all.
TEST_F(HostileServerTest, AHundredMebibyteBodyIsCutOffAtTheLimit)
{
    const QByteArray line = "no separator...\n"; // 16 bytes, stores nothing
    const HugeBody bodies[] = {
        {"with its length", test::httpHead(200, kHundredMebibytes)},
        {"without a length", test::httpHead(200)},
    };
    for (const HugeBody& body : bodies) {
        ScriptedHttpServer server({HttpStep::send(body.head), HttpStep::repeat(line, kLineRepeatsInHundredMebibytes)});
        qint64 delivered = 0;
        HttpLimits limits = shortLimits();
        limits.totalTimeoutMs = static_cast<int>(kGenerousMs);
        const HttpResult result = m_http.get(
            server.baseUrl() + kRateFilePath,
            [&delivered](const char*, std::size_t size) {
                delivered += static_cast<qint64>(size);
                return true;
            },
            limits);
        EXPECT_EQ(result.outcome, HttpOutcome::TooLarge) << body.what;
        EXPECT_LE(delivered, HttpLimits{}.maxBodyBytes) << body.what;
        server.stop();
        EXPECT_LT(server.bytesSent(), kHundredMebibytes / 2) << body.what;

        ScriptedHttpServer again({HttpStep::send(body.head), HttpStep::repeat(line, kLineRepeatsInHundredMebibytes)});
        EXPECT_FALSE(download(again)) << body.what;
        EXPECT_EQ(lastUpdate(), kEarlier) << body.what;
    }
}

// The version check reads four lines and hangs up, whatever follows them.
TEST_F(HostileServerTest, TheVersionCheckStopsReadingAHugeBodyAfterItsLines)
{
    const QByteArray lines = "##Quantaro-CheckVersionFile##\n9.99\nhttp://a.example/\nhttp://b.example/\n";
    ScriptedHttpServer server({HttpStep::send(test::httpHead(200) + lines + QByteArray(10000, 'x')),
                               HttpStep::repeat(QByteArray(4096, '\n'), kHundredMebibytes / 4096)});
    VersionFileReader reader;
    const HttpResult result = m_http.get(
        server.baseUrl() + kVersionFilePath,
        [&reader](const char* data, std::size_t size) {
            return reader.feed(QByteArrayView(data, static_cast<qsizetype>(size)));
        },
        shortLimits());
    EXPECT_EQ(result.outcome, HttpOutcome::SinkStopped);
    EXPECT_TRUE(judgeVersionFile(reader.lines()).newer);
    server.stop();
    EXPECT_LT(server.bytesSent(), kHundredMebibytes / 2);
}

} // namespace
} // namespace quantaro
