// Cross-checks every unit of the English catalogue against GNU units, a units database kept
// independently of ours: each unit is converted to its category's base unit and back by the real loader
// and conversion pipeline, and the result must agree with GNU units within 1e-9 relative. GNU units
// comes from the set-up script (scripts/quantaro.sh installs the Debian package "units").
#include "app/resourcesource.h"
#include "app/settingsstore.h"
#include "catalogue/catalogueloader.h"
#include "catalogue/rubric.h"
#include "convert/conversion.h"
#include "support/englishcatalogue.h"
#include "support/fakes.h"
#include "testpaths.h"

#include <QFile>
#include <QHash>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <cmath>
#include <gtest/gtest.h>
#include <numbers>
#include <optional>
#include <string>
#include <vector>

namespace quantaro {
namespace {

constexpr double kTolerance = 1e-9;
constexpr int kGnuUnitsTimeoutMs = 120000;
constexpr int kResultPrecision = kPrecisionMax;
constexpr int kExponentNotation = static_cast<int>(Notation::Exponent);
// GNU units prints each marker back; a marker after every query keeps the replies of a batch apart,
// whatever number of lines an error message takes.
constexpr qint64 kFirstMarker = 9000000000;
constexpr double kInch = 0.0254;
constexpr double kBtu = 1055.05585262;

// Values converted by every linear unit, both to the base unit and from it.
constexpr double kLinearValues[] = {1, -2.5e3, 7.25e8};
// Temperatures: values of the scale into kelvin, and kelvin values into the scale.
constexpr double kScaleValues[] = {-40, 0, 36.6, 451};
constexpr double kKelvinValues[] = {1, 250, 310.15, 5000};

const QString kFactorTable = QStringLiteral(QUANTARO_SOURCE_DIR "/lang/units/factors.tsv");
const QString kEnglishNames = QStringLiteral(QUANTARO_SOURCE_DIR "/lang/en/unitnames.tsv");

/**
 * How GNU units writes a unit, from the last column of the factor table: a unit expression ("foot",
 * "lbf/ft^2"), a temperature scale as a function with "()" ("tempF()"), or none ("-" there) for a
 * unit GNU units does not have or defines differently; those carry the base value of one unit from
 * the definition cited in kCitedDefinitions.
 */
struct Mapping
{
    std::string key;
    std::optional<std::string> gnu;
    double citedBaseValue = 0;
};

/** What the factor table's reference column holds for a unit GNU units cannot check. */
const QString kNoReferenceMark = QStringLiteral("-");
constexpr int kReferenceColumn = 5;

/** The base value of one unit of those without a reference in GNU units, from the cited definition. */
struct CitedDefinition
{
    const char* key;
    double baseValue;
};

const CitedDefinition kCitedDefinitions[] = {
    // 9 in = 0.2286 m (international inch, 1959); GNU units counts 9 pre-1959 imperial inches
    {"len.span", 9 * kInch},
    // 1/3 in (international inch, 1959); GNU units counts the pre-1959 imperial inch
    {"len.barleycorn", kInch / 3},
    // English ell = 45 in = 1.143 m (international inch, 1959); GNU units counts the pre-1959 imperial inch
    {"len.ell", 45 * kInch},
    // Scandinavian mile (mil) = 10 km, the metric mile of Sweden and Norway since 1889
    {"len.scandinavian_mile", 10000},
    // li = 500 m, Chinese market unit (shìzhì) since 1984; GNU units has an older li of 10/27.8 mile
    {"len.li", 500},
    // chi = 1/3 m, Chinese market unit (shìzhì)
    {"len.chi", 1.0 / 3},
    // cun = 1/10 chi = 1/30 m, Chinese market unit (shìzhì)
    {"len.cun", 1.0 / 30},
    // metric dunam = 1000 m² (Ottoman dönüm as redefined in the former Mandate territories)
    {"are.dunam", 1000},
    // Korean pyeong: 400/121 m², the same square as the tsubo (Korean Framework Act on Standards).
    {"are.pyeong", 400.0 / 121},
    // Thai rai: 1600 m² (Thai Weights and Measures Act).
    {"are.rai", 1600},
    // mu = 10000/15 m² = 666 2/3 m², Chinese market unit (shìzhì)
    {"are.mu", 10000.0 / 15},
    // jin (catty) = 500 g, Chinese market unit (shìzhì); GNU units has only the older catty
    {"mas.jin", 0.5},
    // liang = 1/10 jin = 50 g, Chinese market unit (shìzhì); GNU units has an older 11/3 oz
    {"mas.liang", 0.05},
    // pood = 40 funt = 16.3804964 kg (Russian weights law of 1899); GNU units uses 40 x 409.51718 g
    {"mas.pood", 40 * 0.40951241},
    // funt = 0.40951241 kg (Russian weights law of 1899); GNU units uses 409.51718 g
    {"mas.funt", 0.40951241},
    // GM = 3.986004418e14 m³/s² (IERS 2010, with the atmosphere) / G = 6.67430e-11 (CODATA 2018); GNU units uses GM
    // without the atmosphere
    {"mas.earth_mass", 3.986004418e14 / 6.67430e-11},
    // speed of sound at sea level in the ICAO standard atmosphere (15 °C) = 340.294 m/s; GNU units has 331.46 m/s (0
    // °C)
    {"spd.mach_sea_level_standard_atmosphere", std::sqrt(1.4 * 287.05287 * 288.15)},
    // °N = (K − 273.15) × 33/100 (Newton 1701: water boils at 33)
    {"tmp.degree_newton", 273.15 + 100.0 / 33},
    // °Rø = (K − 273.15) × 21/40 + 7.5 (water freezes at 7.5 and boils at 60)
    {"tmp.degree_romer", 273.15 + (1 - 7.5) * 40 / 21},
    // °De = (373.15 − K) × 3/2, a falling scale (water boils at 0 and freezes at 150)
    {"tmp.degree_delisle", 373.15 - 2.0 / 3},
    // tce = 7 Gcal(IT) = 29.3076 GJ (United Nations / IEA convention)
    {"nrj.tonne_of_coal_equivalent", 7e9 * 4.1868},
    // bril = 1e-7 apostilb = 1e-11 lambert (Moon, 1942)
    {"lux.bril", 1e-7 / std::numbers::pi},
    // The modern candlepower is the candela (IES lighting handbook).
    {"lux.candlepower", 1},
    // gamma = 1 nT = 1e-5 gauss; GNU units' gamma is a microgram
    {"mag.gamma", 1e-9},
    // Planck length = 1.616255e-35 m (CODATA 2018); GNU units derives it from its own value of G
    {"len.planck_length", 1.616255e-35},
    // imperial tablespoon = 5/8 imperial fluid ounce (the imperial fluid ounce = 28.4130625 mL)
    {"vol.tablespoon_imperial", 0.625 * 28.4130625e-6},
};

/** The base unit of a category or sub-category (-1: the category has none), by key and in GNU units. */
struct Base
{
    const char* code;
    int sousRubric;
    const char* key;
    const char* gnu;
};

const Base kBases[] = {
    {"LEN", -1, "len.metre", "m"},
    {"ARE", -1, "are.square_metre", "m^2"},
    {"VOL", -1, "vol.cubic_metre", "m^3"},
    {"MAS", -1, "mas.kilogram", "kg"},
    {"SPD", -1, "spd.metre_per_second", "m/s"},
    {"TMP", -1, "tmp.kelvin", "K"},
    {"PSN", -1, "psn.pascal", "Pa"},
    {"TME", -1, "tme.second", "s"},
    {"ANG", -1, "ang.radian", "radian"},
    {"NRJ", -1, "nrj.joule", "J"},
    {"PWR", -1, "pwr.watt", "W"},
    {"RAD", 0, "rad.becquerel", "Bq"},
    {"RAD", 1, "rad.gray", "Gy"},
    {"RAD", 2, "rad.sievert", "Sv"},
    {"RAD", 3, "rad.coulomb_per_kilogram", "C/kg"},
    {"RAD", 4, "rad.sievert_per_hour", "Sv/hr"},
    {"RAD", 5, "rad.gray_per_hour", "Gy/hr"},
    {"RAD", 6, "rad.roentgen_per_hour", "roentgen/hr"},
    {"FCE", -1, "fce.newton", "N"},
    {"RSD", -1, "rsd.kilogram_per_cubic_metre", "kg/m^3"},
    {"CPR", 0, "cpr.bit", "bit"},
    {"CPR", 1, "cpr.bit_per_second", "bit/s"},
    {"VSY", 0, "vsy.pascal_second", "Pa s"},
    {"VSY", 1, "vsy.square_metre_per_second", "m^2/s"},
    {"LUX", 0, "lux.lux", "lux"},
    {"LUX", 1, "lux.candela_per_square_metre", "cd/m^2"},
    {"LUX", 2, "lux.candela", "cd"},
    {"LUX", 3, "lux.lumen", "lumen"},
    {"MAG", 0, "mag.tesla", "T"},
    {"MAG", 1, "mag.ampere_per_metre", "A/m"},
    {"MAG", 2, "mag.weber", "Wb"},
    {"MAG", 3, "mag.ampere_turn", "A"},
    {"TQE", -1, "tqe.newton_metre", "N m"},
};

/** One row of the factor table: what the tests need to find a unit in the loaded catalogue. */
struct FactorRow
{
    QString key;
    QString code;
    QString tag;
    /** The unit in GNU units, kNoReferenceMark, or empty (the currencies). */
    QString reference;
};

/** The data rows of a tab-separated table ("#" comments, "*" unit-file comments and blank lines left out). */
std::vector<QStringList> readTable(const QString& path)
{
    std::vector<QStringList> rows;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return rows;
    }
    for (const QString& line : QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'))) {
        if (!line.isEmpty() && !line.startsWith(QLatin1Char('#')) && !line.startsWith(QLatin1Char('*'))) {
            rows.push_back(line.split(QLatin1Char('\t')));
        }
    }
    return rows;
}

/** Runs a batch of GNU units queries in one process; each query is a "You have" expression whose value
 *  is a plain number (the "You want" line is left empty). */
class GnuUnits
{
public:
    int add(const QString& query)
    {
        m_queries.push_back(query);
        return static_cast<int>(m_queries.size()) - 1;
    }

    /** Empty when the batch ran; otherwise why it did not. */
    QString run()
    {
        const QString program = QStandardPaths::findExecutable(QStringLiteral("units"));
        if (program.isEmpty()) {
            return QStringLiteral("GNU units is not installed: run scripts/quantaro.sh test once, which installs "
                                  "the Debian package \"units\" with the rest of the set-up");
        }
        QByteArray input;
        for (size_t i = 0; i < m_queries.size(); ++i) {
            input += m_queries[i].toUtf8() + "\n\n" + QByteArray::number(kFirstMarker + qint64(i)) + "\n\n";
        }
        QProcess process;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        // A point as the decimal separator whatever the user's locale; "-l en_US" picks the definitions.
        environment.insert(QStringLiteral("LC_ALL"), QStringLiteral("C"));
        process.setProcessEnvironment(environment);
        process.setProgram(program);
        process.setArguments({QStringLiteral("-l"), QStringLiteral("en_US"), QStringLiteral("-t"), QStringLiteral("-d"),
                              QStringLiteral("15")});
        process.start();
        if (!process.waitForStarted()) {
            return QStringLiteral("GNU units did not start: ") + process.errorString();
        }
        process.write(input);
        process.closeWriteChannel();
        if (!process.waitForFinished(kGnuUnitsTimeoutMs)) {
            process.kill();
            process.waitForFinished();
            return QStringLiteral("GNU units did not finish");
        }
        const QStringList lines = QString::fromUtf8(process.readAllStandardOutput()).split(QLatin1Char('\n'));
        m_replies.assign(m_queries.size(), {});
        size_t next = 0;
        QStringList reply;
        for (const QString& line : lines) {
            if (next < m_queries.size() && line.trimmed() == QString::number(kFirstMarker + qint64(next))) {
                m_replies[next++] = reply;
                reply.clear();
            } else {
                reply.push_back(line.trimmed());
            }
        }
        if (next != m_queries.size()) {
            return QStringLiteral("GNU units answered %1 of %2 queries").arg(next).arg(m_queries.size());
        }
        return {};
    }

    /** The number GNU units gave for query index, if its reply is one plain number. */
    std::optional<double> value(int index) const
    {
        const QStringList& reply = m_replies[static_cast<size_t>(index)];
        bool ok = false;
        const double result = reply.size() == 1 ? reply.front().toDouble(&ok) : 0;
        return ok ? std::optional<double>(result) : std::nullopt;
    }

    std::string reply(int index) const
    {
        return m_replies[static_cast<size_t>(index)].join(QLatin1Char(' ')).toStdString();
    }

private:
    std::vector<QString> m_queries;
    std::vector<QStringList> m_replies;
};

QString number(double value)
{
    return formatNumber(value, 'g', kIntermediateDigits);
}

bool agrees(double actual, double expected)
{
    return std::abs(actual - expected) <= kTolerance * std::abs(expected);
}

class GnuUnitsCrossCheck : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        s_catalogue = new Catalogue;
        s_loaded = test::loadEnglishCatalogue(*s_catalogue);
        s_rows = new std::vector<FactorRow>;
        for (const QStringList& row : readTable(kFactorTable)) {
            if (row.size() >= 4) {
                s_rows->push_back({row[0], row[1], row.value(4), row.value(kReferenceColumn)});
            }
        }
        s_names = new QHash<QString, QString>;
        for (const QStringList& row : readTable(kEnglishNames)) {
            if (row.size() == 2) {
                s_names->insert(row[0], row[1]);
            }
        }
    }

    static void TearDownTestSuite()
    {
        delete s_catalogue;
        delete s_rows;
        delete s_names;
        s_catalogue = nullptr;
        s_rows = nullptr;
        s_names = nullptr;
    }

    void SetUp() override
    {
        ASSERT_TRUE(s_loaded) << "the English unit file did not load from the program folder";
        ASSERT_FALSE(s_rows->empty()) << kFactorTable.toStdString();
    }

    static const FactorRow* row(const QString& key)
    {
        for (const FactorRow& candidate : *s_rows) {
            if (candidate.key == key) {
                return &candidate;
            }
        }
        return nullptr;
    }

    /** The loaded unit of a key, found by its category and English name. */
    static const UnitRecord* unit(const QString& key)
    {
        const FactorRow* factors = row(key);
        const int index = factors ? rubricIndexOf(factors->code) : -1;
        if (index < 0 || !s_names->contains(key)) {
            return nullptr;
        }
        const Rubric& category = (*s_catalogue)[static_cast<size_t>(index)];
        for (int i = 0; i < category.unitCount(); ++i) {
            if (category.unit(i).name() == s_names->value(key)) {
                return &category.unit(i);
            }
        }
        return nullptr;
    }

    /** Every unit with a reference column, in the order of the factor table. */
    static std::vector<Mapping> mappings()
    {
        std::vector<Mapping> all;
        for (const FactorRow& factors : *s_rows) {
            if (factors.reference.isEmpty()) {
                continue;
            }
            Mapping mapping{factors.key.toStdString(), std::nullopt};
            if (factors.reference != kNoReferenceMark) {
                mapping.gnu = factors.reference.toStdString();
            }
            for (const CitedDefinition& definition : kCitedDefinitions) {
                if (factors.key == QLatin1String(definition.key)) {
                    mapping.citedBaseValue = definition.baseValue;
                }
            }
            all.push_back(mapping);
        }
        return all;
    }

    static const Base* baseOf(const FactorRow& factors)
    {
        for (const Base& base : kBases) {
            const bool sameSousRubric =
                base.sousRubric < 0 ||
                (!factors.tag.isEmpty() && factors.tag.front().unicode() - u'0' == base.sousRubric);
            if (factors.code == QLatin1String(base.code) && sameSousRubric) {
                return &base;
            }
        }
        return nullptr;
    }

    static double convert(double value, const UnitRecord& from, const UnitRecord& to)
    {
        return convertValue(number(value), from, to, kExponentNotation, kResultPrecision).toDouble();
    }

    static Catalogue* s_catalogue;
    static bool s_loaded;
    static std::vector<FactorRow>* s_rows;
    static QHash<QString, QString>* s_names;
};

Catalogue* GnuUnitsCrossCheck::s_catalogue = nullptr;
bool GnuUnitsCrossCheck::s_loaded = false;
std::vector<FactorRow>* GnuUnitsCrossCheck::s_rows = nullptr;
QHash<QString, QString>* GnuUnitsCrossCheck::s_names = nullptr;

TEST_F(GnuUnitsCrossCheck, EveryUnitOutsideTheCurrenciesHasAReferenceOrACitedDefinition)
{
    QHash<QString, int> cited;
    for (const CitedDefinition& definition : kCitedDefinitions) {
        const QString key = QString::fromLatin1(definition.key);
        EXPECT_FALSE(cited.contains(key)) << definition.key << " is cited twice";
        cited.insert(key, 1);
        EXPECT_NE(row(key), nullptr) << definition.key << " is not in the factor table";
        EXPECT_TRUE(row(key) == nullptr || row(key)->reference == kNoReferenceMark)
            << definition.key << " is cited but has a reference in GNU units";
    }
    for (const Mapping& mapping : mappings()) {
        EXPECT_TRUE(mapping.gnu || mapping.citedBaseValue > 0) << mapping.key;
    }
    for (const FactorRow& factors : *s_rows) {
        if (factors.code != QLatin1String("CNY")) {
            EXPECT_FALSE(factors.reference.isEmpty()) << factors.key.toStdString() << " has no GNU units mapping";
            EXPECT_NE(baseOf(factors), nullptr) << factors.key.toStdString() << " has no base unit";
        }
        EXPECT_NE(unit(factors.key), nullptr) << factors.key.toStdString() << " is not in the loaded catalogue";
    }
}

TEST_F(GnuUnitsCrossCheck, EveryUnitAgreesWithGnuUnitsBothWays)
{
    struct Check
    {
        const Mapping* mapping;
        const UnitRecord* unit;
        const UnitRecord* base;
        double value;
        bool toBase;
        int query;
        bool scaled; // the query gives one unit's factor, to be multiplied by the value
    };
    GnuUnits gnu;
    std::vector<Check> checks;
    const std::vector<Mapping> all = mappings();
    for (const Mapping& mapping : all) {
        const QString key = QString::fromStdString(mapping.key);
        const FactorRow* factors = row(key);
        const Base* base = factors ? baseOf(*factors) : nullptr;
        const UnitRecord* from = unit(key);
        const UnitRecord* baseUnit = base ? unit(QString::fromLatin1(base->key)) : nullptr;
        ASSERT_TRUE(from && baseUnit) << mapping.key;
        if (!mapping.gnu) {
            continue;
        }
        const QString expression = QString::fromStdString(*mapping.gnu);
        const QString baseExpression = QString::fromLatin1(base->gnu);
        if (expression.endsWith(QLatin1String("()"))) {
            const QString function = expression.chopped(2);
            for (const double value : kScaleValues) {
                const int query = gnu.add(QStringLiteral("%1(%2)/(%3)").arg(function, number(value), baseExpression));
                checks.push_back({&mapping, from, baseUnit, value, true, query, false});
            }
            for (const double value : kKelvinValues) {
                const int query = gnu.add(QStringLiteral("~%1(%2 %3)").arg(function, number(value), baseExpression));
                checks.push_back({&mapping, from, baseUnit, value, false, query, false});
            }
            continue;
        }
        const int toBase = gnu.add(QStringLiteral("(%1)/(%2)").arg(expression, baseExpression));
        const int fromBase = gnu.add(QStringLiteral("(%1)/(%2)").arg(baseExpression, expression));
        for (const double value : kLinearValues) {
            checks.push_back({&mapping, from, baseUnit, value, true, toBase, true});
            checks.push_back({&mapping, from, baseUnit, value, false, fromBase, true});
        }
    }
    const QString failure = gnu.run();
    ASSERT_TRUE(failure.isEmpty()) << failure.toStdString();

    for (const Check& check : checks) {
        const std::optional<double> reference = gnu.value(check.query);
        if (!reference) {
            ADD_FAILURE() << check.mapping->key << ": GNU units does not read \"" << *check.mapping->gnu
                          << "\": " << gnu.reply(check.query);
            continue;
        }
        const double expected = check.scaled ? *reference * check.value : *reference;
        const double actual = check.toBase ? convert(check.value, *check.unit, *check.base)
                                           : convert(check.value, *check.base, *check.unit);
        EXPECT_TRUE(agrees(actual, expected))
            << check.mapping->key << " (" << check.unit->name().toStdString() << ") " << (check.toBase ? "to" : "from")
            << " its base at " << check.value << ": " << actual << ", GNU units (" << *check.mapping->gnu
            << "): " << expected;
    }
}

TEST_F(GnuUnitsCrossCheck, UnitsWithoutAReferenceAgreeWithTheirCitedDefinition)
{
    for (const Mapping& mapping : mappings()) {
        if (mapping.gnu) {
            continue;
        }
        const QString key = QString::fromStdString(mapping.key);
        const UnitRecord* from = unit(key);
        const Base* base = row(key) ? baseOf(*row(key)) : nullptr;
        const UnitRecord* baseUnit = base ? unit(QString::fromLatin1(base->key)) : nullptr;
        ASSERT_TRUE(from && baseUnit) << mapping.key;
        const double actual = convert(1, *from, *baseUnit);
        EXPECT_TRUE(agrees(actual, mapping.citedBaseValue))
            << mapping.key << ": " << actual << ", cited " << mapping.citedBaseValue;
    }
}

} // namespace
} // namespace quantaro
