#include "app/settingsstore.h"
#include "catalogue/currencyunits.h"
#include "catalogue/rubric.h"
#include "currency/ratefilereader.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <optional>

namespace quantaro {
namespace {

const QString kUnitFileFrom = QStringLiteral("$/7.5");
const QString kUnitFileTo = QStringLiteral("$*7.5");

UnitRecord currencyUnit(const QString& tag)
{
    UnitRecord unit;
    unit.setName(tag);
    unit.setTag(tag);
    unit.setFromBase(kUnitFileFrom);
    unit.setToBase(kUnitFileTo);
    return unit;
}

class UpdateCurrencyUnitsTest : public ::testing::Test
{
protected:
    QTemporaryDir m_dir;
    SettingsStore m_settings{m_dir.filePath(QStringLiteral("q.ini"))};
};

struct RateCase
{
    const char* stored; // nullptr: no value at all
    const char* fromBase;
    const char* toBase;
};

class StoredRateTest : public UpdateCurrencyUnitsTest, public ::testing::WithParamInterface<RateCase>
{
};

TEST_P(StoredRateTest, RewritesFormulasOnlyForRates)
{
    const RateCase& c = GetParam();
    if (c.stored != nullptr) {
        m_settings.putString(settings::kCurrencies, QStringLiteral("USD"), QString::fromUtf8(c.stored));
    }
    Rubric currencies;
    currencies.addUnit(currencyUnit(QStringLiteral("USD")));

    UpdateCurrencyUnits(currencies, m_settings);

    EXPECT_EQ(currencies.unit(0).fromBase(), QString::fromUtf8(c.fromBase));
    EXPECT_EQ(currencies.unit(0).toBase(), QString::fromUtf8(c.toBase));
}

INSTANTIATE_TEST_SUITE_P(Rates, StoredRateTest,
                         ::testing::Values(RateCase{"1.25", "$/1.25", "$*1.25"},
                                           // the lock marker passes the zero test but never reaches the formulas
                                           RateCase{"-1.25", "$/1.25", "$*1.25"},
                                           // text after a number would become part of the formula
                                           RateCase{"2.5abc", "$/7.5", "$*7.5"}, RateCase{"  0.8", "$/7.5", "$*7.5"},
                                           RateCase{".5", "$/.5", "$*.5"}, RateCase{"--1.25", "$/7.5", "$*7.5"},
                                           RateCase{"1e-3", "$/1e-3", "$*1e-3"}, RateCase{"0", "$/7.5", "$*7.5"},
                                           RateCase{"0.000", "$/7.5", "$*7.5"}, RateCase{"-0", "$/7.5", "$*7.5"},
                                           RateCase{"0e5x", "$/7.5", "$*7.5"}, RateCase{"abc", "$/7.5", "$*7.5"},
                                           // not numbers to a C library reading decimals only in this form
                                           RateCase{".", "$/7.5", "$*7.5"}, RateCase{"-", "$/7.5", "$*7.5"},
                                           RateCase{"", "$/7.5", "$*7.5"}, RateCase{nullptr, "$/7.5", "$*7.5"}));

struct RateTextCase
{
    const char* text;
    /** What a download stores from the line "USD;" + text; null: nothing. */
    const char* downloaded;
    /** The rate in the formulas when the text is stored as it is, and with the lock marker; null: none. */
    const char* stored;
    const char* locked;
};

// A rate is a number: anything else would rewrite the formula it is pasted into ("1-1" makes 100
// EUR show as 99 USD), make every result 0 or infinite, or lock the currency against downloads.
TEST_F(UpdateCurrencyUnitsTest, OnlyAPlainPositiveNumberIsARateDownloadedOrStored)
{
    const RateTextCase cases[] = {
        {"1-1", nullptr, nullptr, nullptr},
        {"0.5+50", nullptr, nullptr, nullptr},
        {"1e999", nullptr, nullptr, nullptr},
        {"1*0", nullptr, nullptr, nullptr},
        {"1/0", nullptr, nullptr, nullptr},
        {"1e-320", nullptr, nullptr, nullptr},
        {"-0.5", nullptr, "0.5", nullptr}, // stored, it is the locked rate 0.5
        {"abc", nullptr, nullptr, nullptr},
        {"2;3", "2", nullptr, nullptr},
        {"1.25", "1.25", "1.25", "1.25"},
        {"0.000058549", "0.000058549", "0.000058549", "0.000058549"},
        {"5.85490034666865e-05", "5.85490034666865e-05", "5.85490034666865e-05", "5.85490034666865e-05"},
    };
    for (const RateTextCase& c : cases) {
        const QString text = QString::fromLatin1(c.text);
        QTemporaryDir dir;
        SettingsStore downloaded(dir.filePath(QStringLiteral("d.ini")));
        storeRateFile(downloaded, "USD;" + QByteArray(c.text) + "\n");
        EXPECT_EQ(downloaded.contains(settings::kCurrencies, QStringLiteral("USD")), c.downloaded != nullptr) << c.text;
        EXPECT_EQ(downloaded.getString(settings::kCurrencies, QStringLiteral("USD")), QString::fromLatin1(c.downloaded))
            << c.text;

        for (const auto& [stored, rate] : {std::pair{text, c.stored}, std::pair{kRateLockMarker + text, c.locked}}) {
            m_settings.putString(settings::kCurrencies, QStringLiteral("USD"), stored);
            Rubric currencies;
            currencies.addUnit(currencyUnit(QStringLiteral("USD")));
            UpdateCurrencyUnits(currencies, m_settings);
            const QString r = QString::fromLatin1(rate);
            EXPECT_EQ(currencies.unit(0).toBase(), rate ? QStringLiteral("$*") + r : kUnitFileTo)
                << stored.toStdString();
            EXPECT_EQ(currencies.unit(0).fromBase(), rate ? QStringLiteral("$/") + r : kUnitFileFrom)
                << stored.toStdString();
            EXPECT_EQ(m_settings.getString(settings::kCurrencies, QStringLiteral("USD")), stored) << "left as it is";
        }
    }
}

TEST_F(UpdateCurrencyUnitsTest, LongRateIsCutWithTheFormulaAt63Characters)
{
    const QString rate = QStringLiteral("1.") + QString(60, QLatin1Char('3'));
    ASSERT_EQ(rate.size(), 62);
    m_settings.putString(settings::kCurrencies, QStringLiteral("USD"), rate);
    Rubric currencies;
    currencies.addUnit(currencyUnit(QStringLiteral("USD")));

    UpdateCurrencyUnits(currencies, m_settings);

    EXPECT_EQ(currencies.unit(0).toBase(), QStringLiteral("$*") + rate.first(61));
    EXPECT_EQ(currencies.unit(0).fromBase(), QStringLiteral("$/") + rate.first(61));
}

TEST_F(UpdateCurrencyUnitsTest, UnitsSharingATagGetTheSameFormulasAndOthersKeepTheirs)
{
    m_settings.putString(settings::kCurrencies, QStringLiteral("GBP"), QStringLiteral("1.17"));
    m_settings.putString(settings::kCurrencies, QStringLiteral("EUR"), QStringLiteral("2"));
    m_settings.putString(settings::kCurrencies, QStringLiteral("XXX"), QStringLiteral("9"));
    Rubric currencies;
    currencies.addUnit(currencyUnit(QStringLiteral("GBP")));
    currencies.addUnit(currencyUnit(QStringLiteral("JPY")));
    currencies.addUnit(currencyUnit(QStringLiteral("GBP")));
    currencies.addUnit(currencyUnit(QStringLiteral("EUR")));

    UpdateCurrencyUnits(currencies, m_settings);

    EXPECT_EQ(currencies.unit(0).toBase(), QStringLiteral("$*1.17"));
    EXPECT_EQ(currencies.unit(3).toBase(), kUnitFileTo) << "the base keeps its formula";
    EXPECT_EQ(currencies.unit(2).toBase(), QStringLiteral("$*1.17"));
    EXPECT_EQ(currencies.unit(2).fromBase(), QStringLiteral("$/1.17"));
    EXPECT_EQ(currencies.unit(1).toBase(), kUnitFileTo);
}

TEST_F(UpdateCurrencyUnitsTest, RunningTwiceEqualsRunningOnce)
{
    m_settings.putString(settings::kCurrencies, QStringLiteral("USD"), QStringLiteral("-0.92"));
    m_settings.putString(settings::kCurrencies, QStringLiteral("CHF"), QStringLiteral("1.04"));
    Rubric currencies;
    for (const char* tag : {"USD", "CHF", "EUR"}) {
        currencies.addUnit(currencyUnit(QString::fromLatin1(tag)));
    }
    UpdateCurrencyUnits(currencies, m_settings);
    const Rubric once = currencies;

    UpdateCurrencyUnits(currencies, m_settings);

    EXPECT_EQ(currencies, once);
    EXPECT_EQ(currencies.unit(0).fromBase(), QStringLiteral("$/0.92"));
}

TEST(LeadingNumberTest, ReadsTheDecimalNumberAtTheStartOfTheText)
{
    EXPECT_DOUBLE_EQ(leadingNumber(u"-1.25"), -1.25);
    EXPECT_DOUBLE_EQ(leadingNumber(u" +4e2x"), 400.0);
    EXPECT_DOUBLE_EQ(leadingNumber(u"3e"), 3.0);
    EXPECT_DOUBLE_EQ(leadingNumber(u"7.e+"), 7.0);
    EXPECT_EQ(leadingNumber(u"e5"), 0.0);
    EXPECT_EQ(leadingNumber(u"nan"), 0.0);
    EXPECT_NE(leadingNumber(u"1e999"), 0.0);
}

// The stored text is what settings files of every version hold: read and written back, it stays
// byte for byte, and a unit's formula gives back the rate it was made from.
TEST_F(UpdateCurrencyUnitsTest, AStoredRateReadsAndWritesItsLockMarkerByteForByte)
{
    const struct
    {
        const char* stored;
        const char* text;
        bool locked;
    } cases[] = {
        {"1.25", "1.25", false},
        {"-1.25", "1.25", true},
        {"--1.25", "-1.25", true},
        {"-", "", true},
        {"", "", false},
        {"1-1", "1-1", false},
        {"5.85490034666865e-05", "5.85490034666865e-05", false},
        {"-.5", ".5", true},
    };
    for (const auto& c : cases) {
        const QString stored = QString::fromLatin1(c.stored);
        const StoredRate rate = StoredRate::parse(stored);
        EXPECT_EQ(rate, (StoredRate{QString::fromLatin1(c.text), c.locked})) << c.stored;
        EXPECT_EQ(rate.stored(), stored) << c.stored;

        m_settings.putString(settings::kCurrencies, QStringLiteral("USD"), stored);
        EXPECT_EQ(storedRate(m_settings, QStringLiteral("USD")), rate) << c.stored;
        Rubric currencies;
        currencies.addUnit(currencyUnit(QStringLiteral("USD")));
        UpdateCurrencyUnits(currencies, m_settings);
        EXPECT_EQ(StoredRate::ofFormula(currencies.unit(0).toBase()),
                  (StoredRate{isRateNumber(rate.text) ? rate.text : QStringLiteral("7.5"), false}))
            << c.stored;
    }
    EXPECT_EQ(storedRate(m_settings, QStringLiteral("JPY")), StoredRate{}) << "none stored";
    EXPECT_EQ(StoredRate::ofFormula(QStringLiteral("$*")), StoredRate{});
}

} // namespace
} // namespace quantaro
