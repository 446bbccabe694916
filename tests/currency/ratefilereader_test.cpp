#include "app/settingsstore.h"
#include "currency/ratefilereader.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <map>

namespace quantaro {
namespace {

using Rates = std::map<QString, QString>;

class RateFileTest : public ::testing::Test
{
protected:
    /** Every value of "Currencies" that is one of the names asked for. */
    Rates stored(std::initializer_list<const char*> names) const
    {
        Rates rates;
        for (const char* name : names) {
            const QString key = QString::fromLatin1(name);
            if (m_settings.contains(settings::kCurrencies, key)) {
                rates[key] = m_settings.getString(settings::kCurrencies, key);
            }
        }
        return rates;
    }

    QTemporaryDir m_dir;
    SettingsStore m_settings{m_dir.filePath(QStringLiteral("q.ini"))};
};

struct BodyCase
{
    friend void PrintTo(const BodyCase& c, std::ostream* os) { *os << c.what; }
    const char* what;
    QByteArray body;
    Rates expected; // among USD, GBP, "USD ", JPY
};

class RateBodyTest : public RateFileTest, public ::testing::WithParamInterface<BodyCase>
{
};

TEST_P(RateBodyTest, StoresTheRatesOfWellFormedLines)
{
    storeRateFile(m_settings, GetParam().body);
    EXPECT_EQ(stored({"USD", "GBP", "USD ", "JPY"}), GetParam().expected) << GetParam().what;
}

INSTANTIATE_TEST_SUITE_P(
    Lines, RateBodyTest,
    ::testing::Values(
        BodyCase{"CR LF ending", "USD;0.92\r\n", {{"USD", "0.92"}}},
        BodyCase{"carriage returns anywhere", "U\rSD;0.\r92\r\nGBP;1.17\r", {{"USD", "0.92"}, {"GBP", "1.17"}}},
        BodyCase{"separators around and between", ";USD;;;0.92;\n;;GBP;1.17", {{"USD", "0.92"}, {"GBP", "1.17"}}},
        BodyCase{"one-field lines", "USD\n;0.92\nUSD;\n\n;;\n", {}},
        BodyCase{"third field ignored", "USD;0.92;whatever;else\n", {{"USD", "0.92"}}},
        BodyCase{"later line wins", "USD;0.92\nUSD;0.93\n", {{"USD", "0.93"}}},
        BodyCase{"code kept with its space", "USD ;0.92\n", {{"USD ", "0.92"}}},
        BodyCase{"rate that is no plain number skipped", "USD; 0,92 x\nGBP;1.17\n", {{"GBP", "1.17"}}},
        BodyCase{"rate with the lock marker skipped", "USD;-0.92\n", {}},
        BodyCase{"last line without line feed", "USD;0.92\nGBP;1.17", {{"USD", "0.92"}, {"GBP", "1.17"}}},
        BodyCase{"empty body", "", {}},
        BodyCase{"error page without separator", "<html><body>Not Found</body></html>\n", {}},
        BodyCase{"text after a NUL is not read", QByteArray("USD;0.92\0GBP", 12) + "\nJPY\0;1\n", {{"USD", "0.92"}}},
        BodyCase{"codes that would not stay one flat name",
                 "US/D;1\nUS\\D;1\nUS\tD;1\nU\x7fSD;1\nJPY;0.0061\n",
                 {{"JPY", "0.0061"}}}));

TEST_F(RateFileTest, LockedRatesStayWhateverTheFileSays)
{
    m_settings.putString(settings::kCurrencies, QStringLiteral("USD"), QStringLiteral("-0.90"));
    m_settings.putString(settings::kCurrencies, QStringLiteral("GBP"), QStringLiteral("1.10"));

    EXPECT_EQ(storeRateFile(m_settings, "USD;0.92\nGBP;1.17\n").count, 1);

    EXPECT_EQ(stored({"USD", "GBP"}), (Rates{{"USD", "-0.90"}, {"GBP", "1.17"}}));
}

// Only the person locks a rate, in the manual-rates window: a server cannot.
TEST_F(RateFileTest, ADownloadedNegativeRateLocksNothing)
{
    storeRateFile(m_settings, "USD;-0.92\n");
    storeRateFile(m_settings, "USD;0.95\n");
    EXPECT_EQ(m_settings.getString(settings::kCurrencies, QStringLiteral("USD")), QStringLiteral("0.95"));
}

TEST_F(RateFileTest, OverlongLineIsSkippedWholeAndItsNeighboursStay)
{
    const QByteArray longest = "GBP;" + QByteArray(kRateLineMaxLength - 4, '1');
    const QByteArray tooLong = "USD;" + QByteArray(kRateLineMaxLength - 4, '2') + "JPY;3";
    ASSERT_EQ(longest.size(), kRateLineMaxLength);

    storeRateFile(m_settings, "USD;1\n" + tooLong + "\r\n" + longest + "\n");

    // Split after 255 characters, the tail "JPY;3" would have become a line of its own.
    EXPECT_EQ(stored({"USD", "GBP", "JPY"}), (Rates{{"USD", "1"}, {"GBP", longest.mid(4)}}));
}

TEST_F(RateFileTest, PiecesOfAnySizeReadLikeTheWholeBody)
{
    const QByteArray body = "USD;0.92\r\nGBP;1.17\n;JPY;;0.0061;x\nCHF;1.04";
    RateFileReader reader(m_settings);
    for (const char byte : body) {
        reader.feed(QByteArrayView(&byte, 1));
    }
    reader.finish();

    EXPECT_EQ(reader.storedCount(), 4);
    EXPECT_EQ(m_settings.getString(settings::kCurrencies, QStringLiteral("CHF")), QStringLiteral("1.04"));
}

TEST_F(RateFileTest, UnfinishedLastLineIsNotStoredUntilTheBodyEnds)
{
    RateFileReader reader(m_settings);
    reader.feed("USD;0.92\nGBP;1.1");

    EXPECT_EQ(reader.storedCount(), 1);
    EXPECT_FALSE(m_settings.contains(settings::kCurrencies, QStringLiteral("GBP")));
}

TEST_F(RateFileTest, AFileOfEndlessDistinctCodesStoresABoundedNumberOfRates)
{
    QByteArray body;
    for (int i = 0; i < kMostRatesPerFile + 300; ++i) {
        body += "C" + QByteArray::number(i) + ";1." + QByteArray::number(i) + "\n";
    }
    EXPECT_EQ(storeRateFile(m_settings, body).count, kMostRatesPerFile);
    EXPECT_TRUE(m_settings.contains(settings::kCurrencies, QStringLiteral("C0")));
    EXPECT_FALSE(m_settings.contains(settings::kCurrencies, QStringLiteral("C%1").arg(kMostRatesPerFile)));
}

} // namespace
} // namespace quantaro
