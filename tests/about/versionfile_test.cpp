#include "about/versionfile.h"
#include "app/settingsstore.h"
#include "catalogue/numbertext.h"

#include <QTemporaryDir>
#include <cmath>
#include <gtest/gtest.h>

namespace quantaro {
namespace {

const QByteArray kMagic = "##Quantaro-CheckVersionFile##";

struct VerdictCase
{
    const char* name;
    QByteArray body;
    bool isVersionFile;
    bool newer;
    QString versionLine;
    QString firstLink;
    QString secondLink;
};

class VersionFileVerdictTest : public testing::TestWithParam<VerdictCase>
{
};

TEST_P(VersionFileVerdictTest, JudgesTheBodyAgainstTheProgramsVersion)
{
    const VerdictCase& c = GetParam();
    const VersionFileVerdict verdict = parseVersionFile(c.body);
    EXPECT_EQ(verdict.isVersionFile, c.isVersionFile);
    EXPECT_EQ(verdict.newer, c.newer);
    EXPECT_EQ(verdict.versionLine, c.versionLine);
    EXPECT_EQ(verdict.firstLink, c.firstLink);
    EXPECT_EQ(verdict.secondLink, c.secondLink);
}

const QString kFirst = QStringLiteral("https://quantaro.example.org/get");
const QString kSecond = QStringLiteral("https://quantaro.example.org/news");

INSTANTIATE_TEST_SUITE_P(
    Bodies, VersionFileVerdictTest,
    testing::Values(VerdictCase{"Newer", kMagic + "\n1.06\n" + kFirst.toLatin1() + "\n" + kSecond.toLatin1() + "\n",
                                true, true, "1.06", kFirst, kSecond},
                    VerdictCase{"Same", kMagic + "\n1.05\nA\nB\n", true, false, "1.05", "", ""},
                    VerdictCase{"Older", kMagic + "\n1.049\nA\nB\n", true, false, "1.049", "", ""},
                    VerdictCase{"TextAfterTheNumber", kMagic + "\n1.10 beta\nA\nB", true, true, "1.10 beta", "A", "B"},
                    VerdictCase{"MagicInCapitals", kMagic.toUpper() + "\n2\nA\nB\n", true, true, "2", "A", "B"},
                    VerdictCase{"CarriageReturnsDropped", kMagic + "\r\n1.06\r\nA\r\nB\r\n", true, true, "1.06", "A",
                                "B"},
                    VerdictCase{"TwoLines", kMagic + "\n1.06\n", true, true, "1.06", "", ""},
                    VerdictCase{"NoNumber", kMagic + "\nnew!\nA\nB\n", true, false, "new!", "", ""},
                    VerdictCase{"LeadingBlanks", kMagic + "\n \t1.5\nA\nB\n", true, true, " \t1.5", "A", "B"},
                    VerdictCase{"NotAVersionFile", "<html><body>404 Not Found</body></html>\n1.06\nA\nB\n", false,
                                false, "", "", ""},
                    VerdictCase{"MagicWithTrailingBlank", kMagic + " \n1.06\nA\nB\n", false, false, "", "", ""},
                    VerdictCase{"EmptyBody", "", false, false, "", "", ""},
                    VerdictCase{"FifthLineIgnored", kMagic + "\n1.06\nA\nB\nC\n", true, true, "1.06", "A", "B"},
                    VerdictCase{"NulEndsALine", kMagic + "\n1.06\nA" + QByteArray(1, '\0') + "hidden\nB\n", true, true,
                                "1.06", "A", "B"},
                    VerdictCase{"Latin1Bytes", kMagic + "\n1.06 \xe9t\xe9\nA\nB\n", true, true,
                                QStringLiteral("1.06 été"), "A", "B"}),
    [](const testing::TestParamInfo<VerdictCase>& p) { return std::string(p.param.name); });

TEST(VersionFileReaderTest, KeepsTheFirst511CharactersAndDropsTheRestOfTheLine)
{
    const QByteArray longLine(2000, 'x');
    const VersionFileVerdict verdict = parseVersionFile(kMagic + "\n9\n" + longLine + "\nB\n");
    EXPECT_EQ(verdict.firstLink, QString(kVersionLineMaxLength, u'x'));
    // The tail does not become the next line.
    EXPECT_EQ(verdict.secondLink, QStringLiteral("B"));
}

TEST(VersionFileReaderTest, ReadsTheSameLinesWhateverPiecesTheBodyArrivesIn)
{
    const QByteArray body = kMagic + "\r\n1.07 rc\r\nhttp://a.example/x\r\nhttp://b.example/y\r\ntrailing\r\n";
    for (const qsizetype piece : {1, 2, 3, 7, 64}) {
        VersionFileReader reader;
        bool wantsMore = true;
        for (qsizetype at = 0; at < body.size() && wantsMore; at += piece) {
            wantsMore = reader.feed(QByteArrayView(body).sliced(at, std::min(piece, body.size() - at)));
        }
        EXPECT_FALSE(wantsMore) << piece;
        EXPECT_EQ(reader.lines(),
                  (QStringList{QString::fromLatin1(kMagic), "1.07 rc", "http://a.example/x", "http://b.example/y"}))
            << piece;
    }
}

TEST(VersionFileReaderTest, StopsAfterTheFourthLineEvenInAHugeBody)
{
    VersionFileReader reader;
    EXPECT_FALSE(reader.feed(QByteArray("1\n2\n3\n4\n") + QByteArray(1 << 20, 'z')));
    EXPECT_EQ(reader.lines().size(), kVersionFileLineCount);
}

TEST(LeadingDecimalNumberTest, ReadsTheLeadingNumberLikeTheCLibrary)
{
    struct Case
    {
        const char* text;
        double value;
    };
    for (const Case& c : {Case{"1.05", 1.05}, Case{"1.10 beta", 1.1}, Case{"  +2.5x", 2.5}, Case{"-1", -1.0},
                          Case{".5", 0.5}, Case{"1.", 1.0}, Case{"1e2", 100.0}, Case{"1e", 1.0}, Case{"1e+", 1.0},
                          Case{"2E-1z", 0.2}, Case{"1.2.3", 1.2}, Case{"", 0.0}, Case{"beta", 0.0}, Case{".", 0.0},
                          Case{"-", 0.0}, Case{"1,5", 1.0}, Case{"1e-999", 0.0}, Case{"0.0000e99999999999999", 0.0}}) {
        EXPECT_DOUBLE_EQ(leadingNumber(QString::fromLatin1(c.text)), c.value) << c.text;
    }
    EXPECT_EQ(leadingNumber(u"1e999"), std::numeric_limits<double>::infinity());
    EXPECT_EQ(leadingNumber(u"-1e99999999999999999999"), -std::numeric_limits<double>::infinity());
    EXPECT_EQ(leadingNumber(QString(400, u'9')), std::numeric_limits<double>::infinity());
    EXPECT_EQ(leadingNumber(QStringLiteral("0.") + QString(400, u'0') + QStringLiteral("1")), 0.0);
}

TEST(WebAddressTest, OnlyHttpAndHttpsAddressesWithAHostMayBeOpened)
{
    for (const char* yes : {"http://quantaro.example.org/", "HTTPS://quantaro.example.org/get?x=1"}) {
        EXPECT_TRUE(isWebAddress(QString::fromLatin1(yes))) << yes;
    }
    for (const char* no :
         {"", "file:///etc/passwd", "javascript:alert(1)", "mailto:a@b.example", "/usr/bin/xterm",
          "quantaro.example.org", "http://", "http:///path", "smb://host/share", "http://exa mple.org/"}) {
        EXPECT_FALSE(isWebAddress(QString::fromLatin1(no))) << no;
    }
}

TEST(VersionFileUrlTest, ComesFromTheUpdateServerElseThePublisher)
{
    QTemporaryDir dir;
    SettingsStore settings(dir.filePath(QStringLiteral("q.ini")));
    struct Case
    {
        const char* updateServer;
        std::optional<QString> url;
    };
    // A build that names no publisher has no address to fall back on.
    const QString publisher = publisherWebAddress();
    const std::optional<QString> fallback =
        publisher.isEmpty() ? std::nullopt : std::optional<QString>(publisher + "/cvf/quantaro.cvf");
    for (const Case& c : {Case{"", fallback}, Case{"  ", fallback},
                          Case{"updates.example.org", "http://updates.example.org/cvf/quantaro.cvf"},
                          Case{"https://updates.example.org//", "https://updates.example.org/cvf/quantaro.cvf"},
                          Case{"ftp://updates.example.org", std::nullopt}, Case{"file:///tmp", std::nullopt}}) {
        settings.putString(settings::kSettings, settings::kUpdateServer, QString::fromLatin1(c.updateServer));
        EXPECT_EQ(versionFileUrl(settings), c.url) << c.updateServer;
    }
    // Never the exchange-rate source.
    EXPECT_FALSE(versionFileUrl(settings).value_or(QString()).contains(QStringLiteral("ecb")));
}

TEST(FormatWithOneStringTest, FillsTheFirstPlaceholderLikePrintf)
{
    struct Case
    {
        const char* format;
        const char* expected;
    };
    for (const Case& c : {Case{"Version %s", "Version 1.05"}, Case{"Version", "Version"}, Case{"%s", "1.05"},
                          Case{"100%% v%s", "100% v1.05"}, Case{"%s and %s", "1.05 and "}, Case{"50%", "50%"},
                          Case{"%d %s", "%d 1.05"}, Case{"", ""}}) {
        EXPECT_EQ(formatWithOneString(QString::fromLatin1(c.format), QStringLiteral("1.05")),
                  QString::fromLatin1(c.expected))
            << c.format;
    }
}

} // namespace
} // namespace quantaro
