// The pairs the categories open with: every category and sub-category has one in each region and
// language, made of units on show, and the regions get the pairs their people convert.
#include "convert/firstpairs.h"

#include "catalogue/rubric.h"
#include "convert/queryreader.h"
#include "support/englishcatalogue.h"
#include "support/languages.h"
#include "testpaths.h"

#include <QFile>
#include <gtest/gtest.h>
#include <map>

namespace quantaro {
namespace {

/** Every module's language code. */
QStringList languageCodes()
{
    QStringList codes;
    for (const test::Language& language : test::kLanguages) {
        codes.append(QString::fromLatin1(language.code));
    }
    return codes;
}
// The regions with rows of their own, and some without (empty: a "C" locale).
const QStringList kRegions = {"US", "GB", "IE", "CH", "DE", "FR", "JP", "AU", "NG", "BR", ""};

const FirstPairs& firstPairs(const QString& language)
{
    static std::map<QString, FirstPairs> tables;
    auto found = tables.find(language);
    if (found == tables.end()) {
        QFile file(QStringLiteral(QUANTARO_BINARY_DIR "/lang/firstpairs/%1.txt").arg(language));
        EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << file.fileName().toStdString();
        found = tables.emplace(language, FirstPairs::fromText(file.readAll())).first;
    }
    return found->second;
}

const UnitRecord* unitNamed(const Rubric& rubric, const QString& name)
{
    for (int i = 0; i < rubric.unitCount(); ++i) {
        if (rubric.unit(i).name() == name) {
            return &rubric.unit(i);
        }
    }
    return nullptr;
}

TEST(FirstPairs, EveryCategoryAndSubCategoryOpensOnTwoUnitsOnShowInEveryRegionAndLanguage)
{
    for (const QString& language : languageCodes()) {
        Catalogue catalogue;
        ASSERT_TRUE(test::loadCatalogue(catalogue, language)) << language.toStdString();
        const FirstPairs& table = firstPairs(language);
        for (const Rubric& rubric : catalogue) {
            const int subs = rubric.hasSousRubrics() ? rubric.sousRubricCount() : 1;
            for (int sub = 0; sub < subs; ++sub) {
                const std::optional<int> sousRubric = rubric.hasSousRubrics() ? std::optional<int>(sub) : std::nullopt;
                for (const QString& region : kRegions) {
                    const std::string where =
                        (language + " " + rubric.code() + "." + QString::number(sub) + " region '" + region + "'")
                            .toStdString();
                    const std::optional<UnitPair> pair = table.pairFor(rubric, sousRubric, region);
                    ASSERT_TRUE(pair.has_value()) << where;
                    EXPECT_NE(pair->from, pair->to) << where;
                    for (const QString& name : {pair->from, pair->to}) {
                        const UnitRecord* unit = unitNamed(rubric, name);
                        ASSERT_NE(unit, nullptr) << where << ": " << name.toStdString();
                        EXPECT_FALSE(unit->hidden()) << where << ": " << name.toStdString();
                        if (sousRubric) {
                            EXPECT_EQ(sousRubricOf(rubric, *unit), sub) << where << ": " << name.toStdString();
                        }
                    }
                }
            }
        }
    }
}

TEST(FirstPairs, EachRegionOpensOnThePairItsPeopleConvert)
{
    struct Case
    {
        const char* region;
        const char* code;
        int sousRubric; // -1: the category has none
        const char* from;
        const char* to;
    };
    const Case cases[] = {
        {"US", "LEN", -1, "foot (ft)", "metre (m)"},
        {"GB", "LEN", -1, "metre (m)", "foot (ft)"},
        {"US", "MAS", -1, "pound (avoirdupois) (lb)", "kilogram (kg)"},
        {"DE", "MAS", -1, "kilogram (kg)", "pound (avoirdupois) (lb)"},
        {"US", "TMP", -1, "degree Fahrenheit (°F)", "degree Celsius (°C)"},
        {"", "TMP", -1, "degree Celsius (°C)", "degree Fahrenheit (°F)"},
        {"US", "VOL", -1, "gallon (US) (gal)", "litre (L)"},
        {"GB", "VOL", -1, "litre (L)", "gallon (imperial) (gal)"},
        {"FR", "VOL", -1, "litre (L)", "gallon (US) (gal)"},
        {"US", "SPD", -1, "mile per hour (mph)", "kilometre per hour (km/h)"},
        {"AU", "SPD", -1, "kilometre per hour (km/h)", "mile per hour (mph)"},
        {"JP", "RAD", 4, "microsievert per hour (µSv/h)", "millisievert per year (mSv/a)"},
        // Currencies: the territory's own money, against the euro or the dollar.
        {"US", "CNY", -1, "US dollar (USD)", "euro (EUR)"},
        {"DE", "CNY", -1, "euro (EUR)", "US dollar (USD)"},
        {"GB", "CNY", -1, "British pound (GBP)", "euro (EUR)"},
        {"NG", "CNY", -1, "Nigerian naira (NGN)", "US dollar (USD)"},
        {"CH", "CNY", -1, "Swiss franc (CHF)", "euro (EUR)"},
        {"JP", "CNY", -1, "Japanese yen (JPY)", "US dollar (USD)"},
        // Several currencies in tender: the territory's main one (Panama's balboa, not the dollar;
        // Namibia's and Lesotho's rand, not their own dollar and loti).
        {"PA", "CNY", -1, "Panamanian balboa (PAB)", "US dollar (USD)"},
        {"NA", "CNY", -1, "South African rand (ZAR)", "US dollar (USD)"},
        {"LS", "CNY", -1, "South African rand (ZAR)", "US dollar (USD)"},
        {"BT", "CNY", -1, "Indian rupee (INR)", "US dollar (USD)"},
        {"", "CNY", -1, "euro (EUR)", "US dollar (USD)"},
    };
    Catalogue catalogue;
    ASSERT_TRUE(test::loadEnglishCatalogue(catalogue));
    for (const Case& c : cases) {
        const Rubric& rubric = catalogue[static_cast<size_t>(rubricIndexOf(QString::fromLatin1(c.code)))];
        const std::optional<UnitPair> pair =
            firstPairs(QStringLiteral("en"))
                .pairFor(rubric, c.sousRubric < 0 ? std::nullopt : std::optional<int>(c.sousRubric),
                         QString::fromLatin1(c.region));
        ASSERT_TRUE(pair.has_value()) << c.region << " " << c.code;
        EXPECT_EQ(*pair, (UnitPair{QString::fromUtf8(c.from), QString::fromUtf8(c.to)})) << c.region << " " << c.code;
    }
}

TEST(FirstPairs, ATerritoryWhoseCurrencyIsMissingOrHiddenGetsItsRegionsRow)
{
    Catalogue catalogue;
    ASSERT_TRUE(test::loadEnglishCatalogue(catalogue));
    Rubric& currencies = catalogue[kCurrencyRubric];
    const FirstPairs& table = firstPairs(QStringLiteral("en"));
    // CLDR knows the currency of Nigeria; while the naira is hidden, the row for every region holds.
    EXPECT_EQ(table.currencyOf(QStringLiteral("NG")), QStringLiteral("NGN"));
    for (int i = 0; i < currencies.unitCount(); ++i) {
        const QString code = currencies.unit(i).tag();
        currencies.unit(i).setHidden(code == QStringLiteral("CHF") || code == QStringLiteral("NGN"));
    }
    EXPECT_EQ(table.pairFor(currencies, std::nullopt, QStringLiteral("NG")),
              (UnitPair{QStringLiteral("euro (EUR)"), QStringLiteral("US dollar (USD)")}));
    EXPECT_EQ(table.pairFor(currencies, std::nullopt, QStringLiteral("CH")),
              (UnitPair{QStringLiteral("US dollar (USD)"), QStringLiteral("euro (EUR)")}));
}

TEST(FirstPairs, RowsThatAreNoPairAreSkipped)
{
    const FirstPairs table = FirstPairs::fromText("# note\nLEN\t\t*\tfoot\nLEN\t\tUS\t\tmetre\n"
                                                  "@\tUS\nLEN\t\t*\tmetre\tfoot\n" +
                                                  QByteArray(600, 'x') + "\n\xff\xfe\t\t*\n");
    Rubric length;
    length.setCode(QStringLiteral("LEN"));
    EXPECT_EQ(table.pairFor(length, std::nullopt, QStringLiteral("US")),
              (UnitPair{QStringLiteral("metre"), QStringLiteral("foot")}));
    EXPECT_FALSE(table.pairFor(length, 0, QStringLiteral("US")).has_value());
    EXPECT_TRUE(table.currencyOf(QStringLiteral("US")).isEmpty());
}

} // namespace
} // namespace quantaro
