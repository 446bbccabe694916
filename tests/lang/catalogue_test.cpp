// Checks the English catalogue as the program sees it: the real unit file and category strings go
// through the real loader, and conversions go through the real pipeline.
#include "app/resourcesource.h"
#include "app/settingsstore.h"
#include "catalogue/catalogueloader.h"
#include "catalogue/formernames.h"
#include "catalogue/rubric.h"
#include "catalogue/unitlookup.h"
#include "convert/conversion.h"
#include "convert/evaluate.h"
#include "support/englishcatalogue.h"
#include "support/fakes.h"
#include "testpaths.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <cmath>
#include <gtest/gtest.h>
#include <numbers>

namespace quantaro {
namespace {

constexpr int kMinimumNonCurrencyUnits = 550;
constexpr qsizetype kMaxUnitLineBytes = 511;
constexpr qsizetype kMaxFieldCharacters = 63;
constexpr double kReferenceTolerance = 1e-9;
constexpr double kRoundTripTolerance = 1e-12;
// Exponent notation with the most digits the result format offers: 11 significant digits.
constexpr int kExponentNotation = static_cast<int>(Notation::Exponent);

// The unit file as the build writes it from the factor table and the English names.
const QString kUnitFile = QStringLiteral(QUANTARO_PROGRAM_DIR "/quantaro_en.dat");

class EnglishCatalogue : public ::testing::Test
{
public:
    static void SetUpTestSuite()
    {
        s_catalogue = new Catalogue;
        s_loaded = test::loadEnglishCatalogue(*s_catalogue);
    }

    static void TearDownTestSuite()
    {
        delete s_catalogue;
        s_catalogue = nullptr;
    }

    void SetUp() override { ASSERT_TRUE(s_loaded) << "the English unit file did not load"; }

    static const Rubric& rubric(const char* code)
    {
        const int index = rubricIndexOf(QString::fromLatin1(code));
        EXPECT_GE(index, 0) << code;
        return (*s_catalogue)[static_cast<size_t>(std::max(index, 0))];
    }

    static const UnitRecord* unitNamed(const Rubric& category, const QString& name)
    {
        for (int i = 0; i < category.unitCount(); ++i) {
            if (category.unit(i).name() == name) {
                return &category.unit(i);
            }
        }
        return nullptr;
    }

    static Catalogue* s_catalogue;
    static bool s_loaded;
};

Catalogue* EnglishCatalogue::s_catalogue = nullptr;
bool EnglishCatalogue::s_loaded = false;

double applyFormula(const QString& formula, double value)
{
    QString text = formula;
    return evaluate(text.replace(QLatin1Char('$'), formatNumber(value, 'g', kIntermediateDigits)));
}

bool closeTo(double actual, double expected, double relative)
{
    return std::abs(actual - expected) <= relative * std::max(std::abs(expected), 1e-300);
}

struct Reference
{
    const char* code;
    double value;
    const char* from;
    const char* to;
    double expected;
};

// Independent definitions: each line is a fact about the units, not a copy of a formula.
const Reference kReferences[] = {
    {"CNY", 1, "euro (EUR)", "US dollar (USD)", 1.180216},
    {"CNY", 184.470122, "Japanese yen (JPY)", "euro (EUR)", 1},
    {"CNY", 1, "British pound (GBP)", "Swiss franc (CHF)", 0.912513 / 0.871468},
    {"CNY", 1587.736051, "Nigerian naira (NGN)", "euro (EUR)", 1},
    {"LEN", 1, "mile (mi)", "kilometre (km)", 1.609344},
    {"LEN", 1, "foot (ft)", "inch (in)", 12},
    {"LEN", 1, "nautical mile (NM)", "metre (m)", 1852},
    {"LEN", 1, "light-year (ly)", "kilometre (km)", 9460730472580.8},
    {"LEN", 1, "parsec (pc)", "astronomical unit (au)", 648000 / std::numbers::pi},
    {"LEN", 8, "furlong (fur)", "mile (mi)", 1},
    {"LEN", 1, "pica (desktop publishing) (P)", "point (desktop publishing) (pt)", 12},
    {"LEN", 1, "mile (US survey) (mi)", "metre (m)", 6336000.0 / 3937},
    {"LEN", 10, "ångström (Å)", "nanometre (nm)", 1},
    {"ARE", 640, "acre (ac)", "square mile (mi²)", 1},
    {"ARE", 1, "hectare (ha)", "square metre (m²)", 10000},
    {"ARE", 1, "square yard (yd²)", "square foot (ft²)", 9},
    {"ARE", 1, "acre (ac)", "square foot (ft²)", 43560},
    {"VOL", 1, "gallon (US) (gal)", "litre (L)", 3.785411784},
    {"VOL", 1, "gallon (imperial) (gal)", "litre (L)", 4.54609},
    {"VOL", 231, "cubic inch (in³)", "gallon (US) (gal)", 1},
    {"VOL", 1, "fluid ounce (US) (fl oz)", "millilitre (mL)", 29.5735295625},
    {"VOL", 20, "fluid ounce (imperial) (fl oz)", "pint (imperial) (pt)", 1},
    {"VOL", 1, "barrel of oil (bbl)", "gallon (US) (gal)", 42},
    {"VOL", 3, "teaspoon (US) (tsp)", "tablespoon (US) (tbsp)", 1},
    {"VOL", 1, "bushel (US) (bu)", "cubic inch (in³)", 2150.42},
    {"VOL", 1, "acre-foot (ac·ft)", "cubic foot (ft³)", 43560},
    {"MAS", 1, "pound (avoirdupois) (lb)", "gram (g)", 453.59237},
    {"MAS", 16, "ounce (avoirdupois) (oz)", "pound (avoirdupois) (lb)", 1},
    {"MAS", 7000, "grain (gr)", "pound (avoirdupois) (lb)", 1},
    {"MAS", 1, "troy ounce (oz t)", "grain (gr)", 480},
    {"MAS", 1, "stone (st)", "pound (avoirdupois) (lb)", 14},
    {"MAS", 1, "ton (long)", "pound (avoirdupois) (lb)", 2240},
    {"MAS", 1, "carat (ct)", "milligram (mg)", 200},
    {"MAS", 1, "slug", "pound (avoirdupois) (lb)", 9.80665 / 0.3048},
    {"SPD", 1, "mile per hour (mph)", "kilometre per hour (km/h)", 1.609344},
    {"SPD", 1, "knot (kn)", "kilometre per hour (km/h)", 1.852},
    {"SPD", 36, "kilometre per hour (km/h)", "metre per second (m/s)", 10},
    {"SPD", 1, "speed of light (c)", "kilometre per second (km/s)", 299792.458},
    {"TMP", 100, "degree Celsius (°C)", "degree Fahrenheit (°F)", 212},
    {"TMP", -40, "degree Fahrenheit (°F)", "degree Celsius (°C)", -40},
    {"TMP", 0, "degree Celsius (°C)", "kelvin (K)", 273.15},
    {"TMP", 0, "kelvin (K)", "degree Fahrenheit (°F)", -459.67},
    {"TMP", 32, "degree Fahrenheit (°F)", "degree Rankine (°R)", 491.67},
    {"TMP", 100, "degree Celsius (°C)", "degree Réaumur (°Ré)", 80},
    {"TMP", 100, "degree Celsius (°C)", "degree Newton (°N)", 33},
    {"TMP", 100, "degree Celsius (°C)", "degree Rømer (°Rø)", 60},
    {"TMP", -273.15, "degree Celsius (°C)", "degree Rømer (°Rø)", 7.5 - 273.15 * 21 / 40},
    {"TMP", 100, "degree Celsius (°C)", "degree Delisle (°De)", 0},
    {"TMP", 0, "degree Celsius (°C)", "degree Delisle (°De)", 150},
    {"TMP", -40, "degree Celsius (°C)", "degree Delisle (°De)", 210},
    {"TMP", 0, "kelvin (K)", "degree Delisle (°De)", 559.725},
    {"TMP", 210, "degree Delisle (°De)", "degree Fahrenheit (°F)", -40},
    {"PSN", 1, "standard atmosphere (atm)", "kilopascal (kPa)", 101.325},
    {"PSN", 1, "standard atmosphere (atm)", "torr (Torr)", 760},
    {"PSN", 1, "bar (bar)", "hectopascal (hPa)", 1000},
    {"PSN", 1, "pound-force per square inch (psi)", "pascal (Pa)", 6894.75729316836},
    {"PSN", 1, "inch of mercury (inHg)", "millimetre of mercury (mmHg)", 25.4},
    {"PSN", 1, "technical atmosphere (at)", "kilogram-force per square centimetre (kgf/cm²)", 1},
    {"TME", 1, "week (wk)", "minute (min)", 10080},
    {"TME", 1, "year (Gregorian)", "day (d)", 365.2425},
    {"TME", 1, "year (Julian) (a)", "second (s)", 31557600},
    {"TME", 1, "month (average Gregorian)", "year (Gregorian)", 1.0 / 12},
    {"ANG", 1, "turn, revolution (tr)", "degree (°)", 360},
    {"ANG", 180, "degree (°)", "radian (rad)", std::numbers::pi},
    {"ANG", 100, "gradian (gon)", "degree (°)", 90},
    {"ANG", 1, "degree (°)", "second of arc (″)", 3600},
    {"ANG", 1600, "mil (NATO, 6400 per turn)", "degree (°)", 90},
    {"NRJ", 1, "kilowatt-hour (kWh)", "megajoule (MJ)", 3.6},
    {"NRJ", 1, "calorie (thermochemical) (cal)", "joule (J)", 4.184},
    {"NRJ", 1, "kilocalorie (international) (kcal)", "joule (J)", 4186.8},
    {"NRJ", 1, "British thermal unit (IT) (BTU)", "joule (J)", 1055.05585262},
    {"NRJ", 1, "electronvolt (eV)", "joule (J)", 1.602176634e-19},
    {"NRJ", 1, "foot-pound force (ft·lbf)", "joule (J)", 1.3558179483314},
    {"NRJ", 1, "ton of TNT (tTNT)", "gigajoule (GJ)", 4.184},
    {"NRJ", 1, "horsepower-hour (hp·h)", "foot-pound force (ft·lbf)", 1980000},
    {"PWR", 1, "horsepower (mechanical) (hp)", "watt (W)", 745.69987158227},
    {"PWR", 1, "horsepower (metric) (PS)", "watt (W)", 735.49875},
    {"PWR", 1, "ton of refrigeration (IT) (TR)", "BTU (IT) per hour (BTU/h)", 12000},
    {"PWR", 1, "kilocalorie (IT) per hour (kcal/h)", "watt (W)", 1.163},
    {"RAD", 1, "curie (Ci)", "gigabecquerel (GBq)", 37},
    {"RAD", 1, "becquerel (Bq)", "disintegration per minute (dpm)", 60},
    {"RAD", 100, "rad (rad)", "gray (Gy)", 1},
    {"RAD", 1, "millisievert (mSv)", "millirem (mrem)", 100},
    {"RAD", 1, "roentgen (R)", "coulomb per kilogram (C/kg)", 2.58e-4},
    {"FCE", 1, "kilogram-force (kgf)", "newton (N)", 9.80665},
    {"FCE", 1, "pound-force (lbf)", "newton (N)", 4.4482216152605},
    {"FCE", 1, "newton (N)", "dyne (dyn)", 100000},
    {"FCE", 1, "pound-force (lbf)", "poundal (pdl)", 9.80665 / 0.3048},
    {"RSD", 1, "gram per cubic centimetre (g/cm³)", "kilogram per cubic metre (kg/m³)", 1000},
    {"RSD", 1, "pound per cubic foot (lb/ft³)", "kilogram per cubic metre (kg/m³)", 16.0184633739601},
    {"RSD", 1, "pound per gallon (US) (lb/gal)", "pound per cubic foot (lb/ft³)", 1728.0 / 231},
    {"CPR", 1, "kibibyte (KiB)", "byte (B)", 1024},
    {"CPR", 1, "kilobyte (kB)", "byte (B)", 1000},
    {"CPR", 1, "gibibyte (GiB)", "megabyte (MB)", 1073.741824},
    {"CPR", 1, "yobibyte (YiB)", "zebibyte (ZiB)", 1024},
    {"CPR", 1, "megabit per second (Mbit/s)", "kilobyte per second (kB/s)", 125},
    {"CPR", 1, "mebibyte per second (MiB/s)", "kibibit per second (Kibit/s)", 8192},
    {"VSY", 1, "centipoise (cP)", "millipascal second (mPa·s)", 1},
    {"VSY", 1, "stokes (St)", "square centimetre per second (cm²/s)", 1},
    {"VSY", 1, "centistokes (cSt)", "square millimetre per second (mm²/s)", 1},
    {"VSY", 1, "reyn", "pound-force second per square foot (lbf·s/ft²)", 144},
    {"LUX", 1, "foot-candle (fc)", "lux (lx)", 10.7639104167097},
    {"LUX", 1, "phot (ph)", "lux (lx)", 10000},
    {"LUX", 1, "lambert (L)", "candela per square metre (cd/m²)", 1e4 / std::numbers::pi},
    {"LUX", 1, "foot-lambert (fL)", "candela per square foot (cd/ft²)", 1 / std::numbers::pi},
    {"MAG", 1, "gauss (G)", "tesla (T)", 1e-4},
    {"MAG", 1, "gamma (γ)", "nanotesla (nT)", 1},
    {"MAG", 1, "oersted (Oe)", "ampere per metre (A/m)", 1000 / (4 * std::numbers::pi)},
    {"MAG", 1, "maxwell (Mx)", "weber (Wb)", 1e-8},
    {"TQE", 1, "pound-force foot (lbf·ft)", "newton metre (N·m)", 1.3558179483314},
    {"TQE", 1, "pound-force foot (lbf·ft)", "pound-force inch (lbf·in)", 12},
    {"TQE", 1, "kilogram-force metre (kgf·m)", "newton metre (N·m)", 9.80665},
    {"TQE", 16, "ounce-force inch (ozf·in)", "pound-force inch (lbf·in)", 1},
};

// Units defined as exact multiples of others: the result is exact in the digits shown, so a factor
// rounded somewhere in its digits shows (the looser table above lets a tenth digit pass).
const Reference kExactReferences[] = {
    {"VOL", 1, "jigger (1.5 US fl oz)", "fluid ounce (US) (fl oz)", 1.5},
    {"VOL", 2, "jigger (1.5 US fl oz)", "tablespoon (US) (tbsp)", 6},
    {"ARE", 121, "pyeong (Korean)", "square metre (m²)", 400},
    {"ARE", 1, "rai (Thai)", "square metre (m²)", 1600},
    {"NRJ", 1, "dekatherm (US) (Dth)", "therm (US)", 10},
    {"NRJ", 1, "million tonnes of oil equivalent (Mtoe)", "tonne of oil equivalent (toe)", 1e6},
    {"PWR", 1, "thousand BTU per hour (MBH)", "BTU (IT) per hour (BTU/h)", 1000},
    {"RAD", 1, "gray per second (Gy/s)", "gray per hour (Gy/h)", 3600},
    {"RAD", 1, "sievert per second (Sv/s)", "millisievert per hour (mSv/h)", 3.6e6},
    {"RAD", 8766, "millisievert per year (mSv/a)", "millisievert per hour (mSv/h)", 1},
    {"RSD", 1, "microgram per decilitre (µg/dL)", "microgram per litre (µg/L)", 10},
    {"RSD", 100, "nanogram per decilitre (ng/dL)", "nanogram per millilitre (ng/mL)", 1},
    {"RSD", 1000, "picogram per millilitre (pg/mL)", "nanogram per millilitre (ng/mL)", 1},
    {"LUX", 1000, "millicandela (mcd)", "candela (cd)", 1},
};

namespace {
/** A reference's value converted between its two units, as the window shows it at full precision. */
void convertReference(const Rubric& category, const Reference& ref, QString& result)
{
    const UnitRecord* from = EnglishCatalogue::unitNamed(category, QString::fromUtf8(ref.from));
    const UnitRecord* to = EnglishCatalogue::unitNamed(category, QString::fromUtf8(ref.to));
    ASSERT_NE(from, nullptr) << ref.code << ": " << ref.from;
    ASSERT_NE(to, nullptr) << ref.code << ": " << ref.to;
    result =
        convertValue(formatNumber(ref.value, 'g', kIntermediateDigits), *from, *to, kExponentNotation, kPrecisionMax);
}
} // namespace

TEST_F(EnglishCatalogue, ExactDefinitionsHoldToTheLastDigitShown)
{
    for (const Reference& ref : kExactReferences) {
        QString result;
        ASSERT_NO_FATAL_FAILURE(convertReference(rubric(ref.code), ref, result));
        EXPECT_TRUE(closeTo(result.toDouble(), ref.expected, kRoundTripTolerance))
            << ref.value << " " << ref.from << " gave " << result.toStdString() << " " << ref.to;
    }
}

TEST_F(EnglishCatalogue, ReferenceConversionsHoldThroughTheConversionPipeline)
{
    QSet<QString> codesSeen;
    for (const Reference& ref : kReferences) {
        QString result;
        ASSERT_NO_FATAL_FAILURE(convertReference(rubric(ref.code), ref, result));
        bool ok = false;
        const double actual = result.toDouble(&ok);
        ASSERT_TRUE(ok) << result.toStdString();
        EXPECT_TRUE(closeTo(actual, ref.expected, kReferenceTolerance))
            << ref.value << " " << ref.from << " gave " << result.toStdString() << " " << ref.to << ", expected "
            << ref.expected;
        codesSeen.insert(QString::fromLatin1(ref.code));
    }
    EXPECT_EQ(codesSeen.size(), kRubricCount) << "every category has reference conversions";
}

TEST_F(EnglishCatalogue, EveryCategoryIsNamedAndHasUnitsInEachSubCategory)
{
    for (const Rubric& category : *s_catalogue) {
        SCOPED_TRACE(category.code().toStdString());
        EXPECT_FALSE(category.name().isEmpty());
        EXPECT_GT(category.unitCount(), 0);
        EXPECT_LE(category.sousRubricCount(), 11);
        for (int n = 0; n < category.sousRubricCount(); ++n) {
            int members = 0;
            for (int i = 0; i < category.unitCount(); ++i) {
                members += category.unit(i).belongsToSousRubric(n) ? 1 : 0;
            }
            EXPECT_GT(members, 0) << "sub-category " << category.sousRubric(n).toStdString();
        }
        // A unit outside every sub-category could never be listed.
        for (int i = 0; category.hasSousRubrics() && i < category.unitCount(); ++i) {
            const UnitRecord& unit = category.unit(i);
            bool listed = false;
            for (int n = 0; n < category.sousRubricCount(); ++n) {
                listed = listed || unit.belongsToSousRubric(n);
            }
            EXPECT_TRUE(listed) << unit.name().toStdString();
        }
    }
}

TEST_F(EnglishCatalogue, CategoriesThatMixQuantitiesAreSplitIntoSubCategories)
{
    const std::pair<const char*, int> expected[] = {{"RAD", 7}, {"CPR", 2}, {"VSY", 2}, {"LUX", 4}, {"MAG", 4}};
    for (const auto& [code, count] : expected) {
        EXPECT_EQ(rubric(code).sousRubricCount(), count) << code;
    }
}

TEST_F(EnglishCatalogue, HasEnoughUnitsOutsideTheCurrencies)
{
    int count = 0;
    for (int i = 0; i < kRubricCount; ++i) {
        count += i == kCurrencyRubric ? 0 : (*s_catalogue)[static_cast<size_t>(i)].unitCount();
    }
    EXPECT_GE(count, kMinimumNonCurrencyUnits);
}

TEST_F(EnglishCatalogue, UnitNamesAreUniqueInTheirCategoryWhateverTheCase)
{
    // Hidden lists and remembered units find a unit by its name without regard to case.
    for (const Rubric& category : *s_catalogue) {
        QSet<QString> names;
        for (int i = 0; i < category.unitCount(); ++i) {
            const QString folded = category.unit(i).name().toCaseFolded();
            EXPECT_FALSE(folded.isEmpty()) << category.code().toStdString();
            EXPECT_FALSE(names.contains(folded))
                << category.code().toStdString() << ": " << category.unit(i).name().toStdString();
            names.insert(folded);
        }
    }
}

TEST_F(EnglishCatalogue, NoSymbolHidesADifferentSizeUnlessTheNamesSayWhichVariantEachIs)
{
    // Texts in the last parentheses that qualify a name rather than abbreviate it.
    const QSet<QString> qualifiers = {"Russian", "Japanese",      "Chinese",   "US",    "imperial", "metric",
                                      "US dry",  "apothecaries'", "Gregorian", "angle", "IT"};
    auto baseName = [](const QString& name) { return name.section(QStringLiteral(" ("), 0, 0); };
    auto qualified = [](const QString& name) { return name.count(QLatin1Char('(')) >= 2; };
    for (const Rubric& category : *s_catalogue) {
        const int kinds = std::max(1, category.sousRubricCount());
        for (int kind = 0; kind < kinds; ++kind) {
            QHash<QString, const UnitRecord*> bySymbol;
            for (int i = 0; i < category.unitCount(); ++i) {
                const UnitRecord& unit = category.unit(i);
                const QString symbol = unitSymbol(unit.name());
                if (symbol.isEmpty() || qualifiers.contains(symbol) ||
                    (category.hasSousRubrics() && !unit.belongsToSousRubric(kind))) {
                    continue;
                }
                if (const UnitRecord* other = bySymbol.value(symbol)) {
                    const double a = applyFormula(unit.toBase(), 1);
                    const double b = applyFormula(other->toBase(), 1);
                    const bool sameSize = std::abs(a - b) <= 1e-9 * std::max(std::abs(a), std::abs(b));
                    // The US and imperial gallons rightly share "gal": one unit's variants, named as such.
                    const bool namedVariants = baseName(unit.name()) == baseName(other->name()) &&
                                               (qualified(unit.name()) || qualified(other->name()));
                    EXPECT_TRUE(sameSize || namedVariants)
                        << category.code().toStdString() << ": " << other->name().toStdString() << " and "
                        << unit.name().toStdString();
                }
                bySymbol.insert(symbol, &unit);
            }
        }
    }
}

TEST_F(EnglishCatalogue, EveryFormulaStartsWithTheValueAndEveryUnitRoundTrips)
{
    const double values[] = {0, 1, -2.5, -4.2e9, 1234.5678, 7.5e15, 1e-6};
    for (const Rubric& category : *s_catalogue) {
        for (int i = 0; i < category.unitCount(); ++i) {
            const UnitRecord& unit = category.unit(i);
            SCOPED_TRACE(category.code().toStdString() + ": " + unit.name().toStdString());
            // Read left to right, a formula is only sound for a negative value when "$" comes first.
            EXPECT_TRUE(unit.toBase().startsWith(QLatin1Char('$'))) << unit.toBase().toStdString();
            EXPECT_TRUE(unit.fromBase().startsWith(QLatin1Char('$'))) << unit.fromBase().toStdString();
            EXPECT_EQ(unit.toBase().count(QLatin1Char('$')), 1);
            EXPECT_EQ(unit.fromBase().count(QLatin1Char('$')), 1);
            for (const double value : values) {
                const double base = applyFormula(unit.toBase(), value);
                ASSERT_TRUE(std::isfinite(base)) << value;
                const double back = applyFormula(unit.fromBase(), base);
                // An offset scale (temperature) loses absolute, not relative, precision near zero.
                EXPECT_LE(std::abs(back - value), kRoundTripTolerance * std::max(std::abs(value), 1.0))
                    << value << " came back as " << back;
            }
        }
    }
}

TEST_F(EnglishCatalogue, CurrencyFormulasAreTheOnesAStoredRateWouldRebuild)
{
    const Rubric& currencies = rubric("CNY");
    const QRegularExpression isoCode(QStringLiteral("^[A-Z]{3}$"));
    // Plain decimal only: the manual rates window keeps digits and points, an exponent would be mangled.
    const QRegularExpression rate(QStringLiteral("^[0-9]+(\\.[0-9]+)?$"));
    QSet<QString> tags;
    bool hasBase = false;
    for (int i = 0; i < currencies.unitCount(); ++i) {
        const UnitRecord& unit = currencies.unit(i);
        SCOPED_TRACE(unit.name().toStdString());
        EXPECT_TRUE(isoCode.match(unit.tag()).hasMatch()) << unit.tag().toStdString();
        EXPECT_TRUE(unit.name().endsWith(QStringLiteral("(%1)").arg(unit.tag())));
        EXPECT_FALSE(tags.contains(unit.tag()));
        tags.insert(unit.tag());
        if (unit.tag() == QLatin1String("EUR")) {
            hasBase = unit.toBase() == QLatin1String("$") && unit.fromBase() == QLatin1String("$");
            continue;
        }
        ASSERT_TRUE(unit.toBase().startsWith(QLatin1String("$*"))) << unit.toBase().toStdString();
        const QString stored = unit.toBase().mid(2);
        EXPECT_TRUE(rate.match(stored).hasMatch()) << stored.toStdString();
        EXPECT_EQ(unit.fromBase(), QStringLiteral("$/") + stored);
    }
    EXPECT_TRUE(hasBase) << "the euro is the base currency";
    EXPECT_GE(tags.size(), 30);
}

TEST(EnglishUnitFile, LinesAndFieldsFitTheirBuffersUncut)
{
    // The loader cuts silently, so a field that is too long must be caught in the file itself.
    QFile file(kUnitFile);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    int lineNumber = 0;
    while (!file.atEnd()) {
        const QByteArray line = file.readLine();
        ++lineNumber;
        EXPECT_LE(line.size(), kMaxUnitLineBytes) << "line " << lineNumber;
        if (line.startsWith('*')) {
            continue;
        }
        const QStringList fields = QString::fromUtf8(line).trimmed().split(QLatin1Char(';'));
        EXPECT_TRUE(fields.size() == 4 || fields.size() == 5) << "line " << lineNumber;
        for (qsizetype f = 1; f < fields.size() && f < 4; ++f) {
            EXPECT_FALSE(fields[f].isEmpty()) << "line " << lineNumber;
            EXPECT_LE(fields[f].size(), kMaxFieldCharacters)
                << "line " << lineNumber << ": " << fields[f].toStdString();
        }
    }
    EXPECT_GT(lineNumber, 0);
}

// A unit renamed since a person hid it or chose it is found under its old name, in every language.
TEST(RenamedUnits, StoredOldNamesStillHideAndSelectTheRenamedUnit)
{
    for (const char* language : {"en", "fr", "de"}) {
        SCOPED_TRACE(language);
        const ResourceSource resources(QStringLiteral(QUANTARO_SOURCE_DIR "/lang/%1/res").arg(language));
        const FormerUnitNames former = FormerUnitNames::fromResources(resources);
        ASSERT_FALSE(former.isEmpty());
        QFile table(QStringLiteral(QUANTARO_SOURCE_DIR "/lang/%1/res/formernames.json").arg(language));
        ASSERT_TRUE(table.open(QIODevice::ReadOnly));
        const QStringList oldNames = QJsonDocument::fromJson(table.readAll()).object().keys();

        QTemporaryDir dir;
        SettingsStore settings(dir.filePath(QStringLiteral("q.ini")));
        const QString section = settings::hiddenUnitsSection(QStringLiteral("MAS"));
        const QString oldPound = oldNames.filter(QRegularExpression(QStringLiteral("\\(lb\\)$"))).value(0);
        ASSERT_FALSE(oldPound.isEmpty());
        settings.putInt(section, settings::kHiddenCount, 1);
        settings.putString(section, settings::hiddenItemName(0), oldPound.toUpper());
        test::RecordingMessageBoxes messages;
        const CatalogueLoader loader(resources, QStringLiteral(QUANTARO_PROGRAM_DIR), settings, messages);
        Catalogue catalogue;
        ASSERT_TRUE(loader.load(catalogue));
        QSet<QString> current;
        int hidden = 0;
        for (const Rubric& category : catalogue) {
            for (int i = 0; i < category.unitCount(); ++i) {
                current.insert(category.unit(i).name());
                hidden += category.unit(i).hidden() ? 1 : 0;
            }
        }
        EXPECT_EQ(hidden, 1) << "the pound hidden under its old name";
        for (const QString& old : oldNames) {
            EXPECT_FALSE(current.contains(old)) << old.toStdString() << " is still a unit's name";
            EXPECT_TRUE(current.contains(former.current(old))) << old.toStdString() << " leads nowhere";
        }
    }
}

// Every currency has its name in every language, with its code as the symbol, and the languages list
// the same currencies in the same order (the base currency first): a stored rate or choice names them.
TEST(CurrencyNames, EveryCurrencyIsNamedInEachLanguage)
{
    constexpr int kCurrencies = 0;
    constexpr int kLeastCurrencies = 150;
    Catalogue english;
    ASSERT_TRUE(test::loadEnglishCatalogue(english));
    const Rubric& englishCurrencies = english[kCurrencies];
    ASSERT_GE(englishCurrencies.unitCount(), kLeastCurrencies);
    EXPECT_EQ(englishCurrencies.unit(0).tag(), QStringLiteral("EUR"));
    for (const char* language : {"en", "fr", "de"}) {
        SCOPED_TRACE(language);
        Catalogue catalogue;
        ASSERT_TRUE(test::loadCatalogue(catalogue, QString::fromLatin1(language)));
        const Rubric& currencies = catalogue[kCurrencies];
        ASSERT_EQ(currencies.unitCount(), englishCurrencies.unitCount());
        QSet<QString> names;
        for (int i = 0; i < currencies.unitCount(); ++i) {
            const UnitRecord& unit = currencies.unit(i);
            const QString suffix = QStringLiteral(" (%1)").arg(unit.tag());
            EXPECT_EQ(unit.tag(), englishCurrencies.unit(i).tag());
            EXPECT_TRUE(unit.name().endsWith(suffix)) << unit.name().toStdString();
            // A name is more than its code: CLDR gave the language's own words.
            EXPECT_FALSE(unit.name().chopped(suffix.size()).contains(unit.tag())) << unit.name().toStdString();
            EXPECT_GT(unit.name().size(), suffix.size() + 1) << unit.name().toStdString();
            EXPECT_TRUE(unit.tag() == QStringLiteral("EUR") || unit.toBase().startsWith(QStringLiteral("$*")))
                << unit.name().toStdString() << " has no built-in rate";
            names.insert(unit.name());
        }
        EXPECT_EQ(names.size(), currencies.unitCount()) << "two currencies share a name";
    }
}

} // namespace
} // namespace quantaro
