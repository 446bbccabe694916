#include "catalogue/lexicon.h"
#include "catalogue/unitrecord.h"
#include "convert/conversion.h"
#include "convert/queryreader.h"
#include "support/englishcatalogue.h"
#include "support/localeenvironment.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <map>

namespace {

using namespace quantaro;

constexpr int kNotation = 0;
constexpr int kPrecision = 8;
constexpr qsizetype kOneMegabyte = 1024 * 1024;
constexpr qsizetype kManySpaces = 10000;

/** The English catalogue, loaded once for all the cases. */
const Catalogue& english()
{
    static const Catalogue catalogue = [] {
        Catalogue loaded;
        EXPECT_TRUE(test::loadEnglishCatalogue(loaded));
        return visibleCatalogue(loaded);
    }();
    return catalogue;
}

const QStringList& englishWords()
{
    static const QStringList words = test::lexicon(QStringLiteral("en")).connectingWords();
    return words;
}

/** The reading of a query with the catalogue's names and symbols alone, without a lexicon. */
QueryReading read(const QString& query, const QStringList& words = englishWords())
{
    static const QueryIndex index(english());
    return readQuery(query, english(), words, &index);
}

struct AnswerCase
{
    const char* query;
    const char* code;
    const char* from;
    const char* to;
    const char* title;
};

class QueryAnswerTest : public ::testing::TestWithParam<AnswerCase>
{
};

TEST_P(QueryAnswerTest, ReadsTheValueAndTheTwoUnits)
{
    const AnswerCase& c = GetParam();
    const QueryReading reading = read(QString::fromUtf8(c.query));
    ASSERT_EQ(reading.answers.size(), 1) << c.query;
    const QueryAnswer& answer = reading.answers.front();
    EXPECT_EQ(english()[static_cast<size_t>(answer.rubric)].code(), QString::fromUtf8(c.code)) << c.query;
    EXPECT_EQ(answer.from->name(), QString::fromUtf8(c.from)) << c.query;
    EXPECT_EQ(answer.to->name(), QString::fromUtf8(c.to)) << c.query;
    if (c.title != nullptr) {
        EXPECT_EQ(answerTitle(answer, kNotation, kPrecision, false), QString::fromUtf8(c.title)) << c.query;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Queries, QueryAnswerTest,
    ::testing::Values(AnswerCase{"5 mi in km", "LEN", "mile (mi)", "kilometre (km)", "8.04672 km"},
                      AnswerCase{"5 mile to kilometre", "LEN", "mile (mi)", "kilometre (km)", "8.04672 km"},
                      AnswerCase{"  5 MI AS KM  ", "LEN", "mile (mi)", "kilometre (km)", "8.04672 km"},
                      AnswerCase{"5mi->km", "LEN", "mile (mi)", "kilometre (km)", "8.04672 km"},
                      AnswerCase{"5 mi=km", "LEN", "mile (mi)", "kilometre (km)", "8.04672 km"},
                      AnswerCase{"5 mi km", "LEN", "mile (mi)", "kilometre (km)", "8.04672 km"},
                      // Symbols beat the millikelvin whose name begins with "mi" and "m".
                      AnswerCase{"5 mi in m", "LEN", "mile (mi)", "metre (m)", "8046.72 m"},
                      // "in" as a unit, with and without a connecting word after it.
                      AnswerCase{"12*2.54 in m", "LEN", "inch (in)", "metre (m)", "0.774192 m"},
                      AnswerCase{"5 in in cm", "LEN", "inch (in)", "centimetre (cm)", "12.7 cm"},
                      AnswerCase{"100 usd eur", "CNY", "US dollar (USD)", "euro (EUR)", nullptr},
                      AnswerCase{"-40 °C °F", "TMP", "degree Celsius (°C)", "degree Fahrenheit (°F)", "-40 °F"},
                      AnswerCase{"-40 C to F", "TMP", "degree Celsius (°C)", "degree Fahrenheit (°F)", "-40 °F"},
                      AnswerCase{"1,5 kg lb", "MAS", "kilogram (kg)", "pound (avoirdupois) (lb)", "3.3069339 lb"},
                      AnswerCase{"2 square mile in square kilometre", "ARE", "square mile (mi²)",
                                 "square kilometre (km²)", "5.1799762 km²"}));

TEST(QueryReaderTest, AnAmbiguousWordGivesEachCandidateNamedInFull)
{
    const QueryReading reading = read(QStringLiteral("1 gal in L"));
    ASSERT_TRUE(reading.ambiguous());
    QStringList titles;
    for (const QueryAnswer& answer : reading.answers) {
        EXPECT_EQ(answer.to->name(), QStringLiteral("litre (L)"));
        titles << answerTitle(answer, kNotation, kPrecision, true);
    }
    EXPECT_TRUE(titles.contains(QStringLiteral("3.7854118 litre (L)")));
    EXPECT_TRUE(titles.contains(QStringLiteral("4.54609 litre (L)")));
}

TEST(QueryReaderTest, NeverOffersMoreThanThreeCandidates)
{
    // "m" begins many names in several categories; "s" too.
    for (const QString& query : {QStringLiteral("1 c in d"), QStringLiteral("1 gal gal")}) {
        EXPECT_LE(read(query).answers.size(), kQueryMaxAnswers) << query.toStdString();
    }
}

TEST(QueryReaderTest, UnitsOfDifferentSubCategoriesGiveNoAnswer)
{
    EXPECT_FALSE(read(QStringLiteral("1 Ci in Gy")).isAnswer());
    EXPECT_TRUE(read(QStringLiteral("1 Ci in Bq")).isAnswer());
}

TEST(QueryReaderTest, TheDescriptionNamesValueUnitsAndCategory)
{
    const QueryReading reading = read(QStringLiteral("5 mi in km"));
    ASSERT_TRUE(reading.isAnswer());
    const QueryAnswer& answer = reading.answers.front();
    EXPECT_EQ(answerDescription(answer, english()[static_cast<size_t>(answer.rubric)], kNotation, kPrecision),
              QStringLiteral("5 mile = 8.04672 kilometre \u00B7 Length"));
    // The category's own result format.
    EXPECT_EQ(answerTitle(answer, static_cast<int>(Notation::Fixed), 2, false), QStringLiteral("8.05 km"));
}

TEST(QueryReaderTest, ConnectingWordsOfTheChosenLanguage)
{
    const QStringList french = test::lexicon(QStringLiteral("fr")).connectingWords();
    const QStringList german = test::lexicon(QStringLiteral("de")).connectingWords();
    EXPECT_TRUE(read(QStringLiteral("5 mi en km"), french).isAnswer());
    EXPECT_TRUE(read(QStringLiteral("5 mi vers km"), french).isAnswer());
    EXPECT_TRUE(read(QStringLiteral("5 mi nach km"), german).isAnswer());
    EXPECT_FALSE(read(QStringLiteral("5 mi nach km")).isAnswer());
}

TEST(QueryReaderTest, HiddenUnitsAreNotOffered)
{
    Catalogue catalogue;
    ASSERT_TRUE(test::loadEnglishCatalogue(catalogue));
    Rubric& lengths = catalogue[1];
    for (int u = 0; u < lengths.unitCount(); ++u) {
        if (lengths.unit(u).name() == QStringLiteral("kilometre (km)")) {
            lengths.unit(u).setHidden(true);
        }
    }
    const Catalogue visible = visibleCatalogue(catalogue);
    EXPECT_FALSE(readQuery(QStringLiteral("5 mi in km"), visible, englishWords()).isAnswer());
    EXPECT_TRUE(readQuery(QStringLiteral("5 mi in m"), visible, englishWords()).isAnswer());
}

/** A query in a language, read with that module's lexicon for a territory ("" for none known). */
struct WordsCase
{
    const char* language;
    const char* region;
    const char* query;
    const char* title; ///< the one answer's title, or null when the query must be refused as ambiguous
};

class QueryWordsTest : public ::testing::TestWithParam<WordsCase>
{
};

TEST_P(QueryWordsTest, UnitsAreFoundByTheWordsPeopleUse)
{
    const WordsCase& c = GetParam();
    const QString language = QString::fromUtf8(c.language);
    static std::map<QString, Catalogue> catalogues;
    if (!catalogues.contains(language)) {
        Catalogue loaded;
        ASSERT_TRUE(test::loadCatalogue(loaded, language));
        catalogues.emplace(language, visibleCatalogue(loaded));
    }
    const Catalogue& catalogue = catalogues.at(language);
    const Lexicon& lexicon = test::lexicon(language);
    const QueryIndex index(catalogue, &lexicon, QString::fromUtf8(c.region));
    const QueryReading reading = readQuery(QString::fromUtf8(c.query), catalogue, lexicon.connectingWords(), &index);
    if (c.title == nullptr) {
        ASSERT_TRUE(reading.ambiguous()) << c.query;
        for (const QueryAnswer& answer : reading.answers) {
            // Each candidate is named in full, so that variants can be told apart.
            EXPECT_TRUE(answerTitle(answer, kNotation, kPrecision, true).endsWith(answer.to->name())) << c.query;
        }
        return;
    }
    ASSERT_EQ(reading.answers.size(), 1) << c.query;
    EXPECT_EQ(answerTitle(reading.answers.front(), kNotation, kPrecision, false), QString::fromUtf8(c.title))
        << c.query;
}

INSTANTIATE_TEST_SUITE_P(
    English, QueryWordsTest,
    ::testing::Values(
        // Plurals, regular and irregular.
        WordsCase{"en", "", "10 miles to km", "16.09344 km"}, WordsCase{"en", "", "1 mile in feet", "5280 ft"},
        WordsCase{"en", "", "3 days in hours", "72 h"}, WordsCase{"en", "", "5 inches to cm", "12.7 cm"},
        // Spellings.
        WordsCase{"en", "", "1 meter in feet", "3.2808399 ft"}, WordsCase{"en", "", "2 liters in ml", "2000 mL"},
        // Abbreviations and ASCII forms of symbols.
        WordsCase{"en", "", "150 lbs in kg", "68.038855 kg"}, WordsCase{"en", "", "100 kmh in mph", "62.137119 mph"},
        WordsCase{"en", "", "5 um in mm", "0.005 mm"}, WordsCase{"en", "", "30 degC in degF", "86 °F"},
        WordsCase{"en", "", "100 fahrenheit to celsius", "37.777778 °C"},
        // Composite names, built by rule.
        WordsCase{"en", "", "1000 sq ft in m2", "92.90304 m²"},
        WordsCase{"en", "", "10 square feet in square meters", "0.9290304 m²"},
        WordsCase{"en", "", "10 cu in in cm3", "163.87064 cm³"},
        WordsCase{"en", "", "60 miles per hour in meters per second", "26.8224 m/s"},
        // Case: the first letter decides milli against mega; b is a bit in rates, bare mb a megabyte.
        WordsCase{"en", "", "1 kj in kcal", "0.2388459 kcal"}, WordsCase{"en", "", "1 ml in cl", "0.1 cL"},
        WordsCase{"en", "", "10 mbps in MB/s", "1.25 MB/s"}, WordsCase{"en", "", "5 gb in mb", "5000 MB"},
        // The territory's variant, and the international one where none is known.
        WordsCase{"en", "US", "1 gallon in liters", "3.7854118 L"},
        WordsCase{"en", "GB", "1 gallon in liters", "4.54609 L"},
        WordsCase{"en", "", "1 gallon in liters", "3.7854118 L"}, WordsCase{"en", "US", "1 cup in ml", "236.58824 mL"},
        WordsCase{"en", "GB", "1 cup in ml", "250 mL"}, WordsCase{"en", "US", "1 ton in kg", "907.18474 kg"},
        WordsCase{"en", "IE", "1 ton in kg", "1016.0469 kg"}, WordsCase{"en", "", "1 ton in kg", "1000 kg"},
        WordsCase{"en", "", "1 knot in km/h", "1.852 km/h"}, WordsCase{"en", "", "1 nautical mile in km", "1.852 km"},
        WordsCase{"en", "US", "3 tablespoons to cups", "0.1875 cup (US customary)"},
        // A word of several categories takes the one where the pair converts.
        WordsCase{"en", "US", "500 ml in oz", "16.907011 fl oz"}, WordsCase{"en", "", "1 kg in oz", "35.273962 oz"},
        WordsCase{"en", "GB", "500 ml in ounces", "17.59754 fl oz"},
        // Sums and answers in two units.
        WordsCase{"en", "", "5 ft 10 in in cm", "177.8 cm"}, WordsCase{"en", "", "1 h 30 min in min", "90 min"},
        WordsCase{"en", "", "180 cm in ft and in", "5 ft 10.866142 in"},
        WordsCase{"en", "", "180 cm in ft+in", "5 ft 10.866142 in"},
        // A real choice is refused with its candidates.
        WordsCase{"en", "", "1 US survey in m", nullptr}));

INSTANTIATE_TEST_SUITE_P(FrenchAndGerman, QueryWordsTest,
                         ::testing::Values(WordsCase{"fr", "FR", "10 kilomètres en miles", "6.2137119 mi"},
                                           WordsCase{"fr", "FR", "3 pieds en cm", "91.44 cm"},
                                           WordsCase{"fr", "FR", "1 heure en secondes", "3600 s"},
                                           WordsCase{"fr", "FR", "1,5 kg en livres", "3.3069339 lb"},
                                           WordsCase{"fr", "FR", "50 mètres carrés en pieds carrés", "538.19552 ft²"},
                                           WordsCase{"fr", "FR", "180 cm en pieds et pouces", "5 ft 10.866142 in"},
                                           WordsCase{"fr", "FR", "10 metres en pieds", "32.808399 ft"},
                                           WordsCase{"fr", "FR", "90 km/h en mph", "55.923407 mph"},
                                           WordsCase{"fr", "FR", "1 Go en Mo", "1000 Mo"},
                                           WordsCase{"fr", "FR", "2 tasses en ml", "500 mL"},
                                           WordsCase{"fr", "FR", "1 cuillère à soupe en ml", "15 mL"},
                                           WordsCase{"fr", "FR", "500 ml en onces", "16.907011 fl oz"},
                                           WordsCase{"fr", "FR", "1 pied 3 pouces en cm", "38.1 cm"},
                                           WordsCase{"de", "DE", "10 Kilometer in Meilen", "6.2137119 mi"},
                                           WordsCase{"de", "DE", "3 Tage in Stunden", "72 h"},
                                           WordsCase{"de", "DE", "100 Grad Fahrenheit in Celsius", "37.777778 °C"},
                                           WordsCase{"de", "DE", "100 Quadratmeter in Quadratfuß", "1076.391 ft²"},
                                           WordsCase{"de", "DE", "50 Meilen pro Stunde in km/h", "80.4672 km/h"},
                                           WordsCase{"de", "DE", "2 Pfund in kg", "0.90718474 kg"},
                                           WordsCase{"de", "DE", "5 Fuss in Meter", "1.524 m"},
                                           WordsCase{"de", "DE", "10 qm in Quadratfuß", "107.6391 ft²"},
                                           WordsCase{"de", "DE", "1 Seemeile in km", "1.852 km"},
                                           WordsCase{"de", "DE", "100 PS in kW", "73.549875 kW"},
                                           WordsCase{"de", "DE", "5 Gigabyte in Megabyte", "5000 MB"},
                                           WordsCase{"de", "DE", "500 ml in Unzen", "16.907011 fl oz"},
                                           WordsCase{"de", "CH", "180 cm in Fuß und Zoll", "5 ft 10.866142 in"}));

// Every currency by its code, its name, its noun and plural, its country and, where the territory
// tells which currency it means, its symbol: "$" is the US dollar in the US and the Canadian dollar in
// Canada, and is refused with its candidates where neither is at home. Built-in rates.
INSTANTIATE_TEST_SUITE_P(
    Currencies, QueryWordsTest,
    ::testing::Values(
        WordsCase{"en", "", "100 NGN in EUR", "0.062982761 EUR"},
        WordsCase{"en", "", "100 NGN in USD", "0.074333262 USD"},
        WordsCase{"en", "", "100 TWD in EUR", "2.7063676 EUR"}, WordsCase{"en", "", "100 KZT in USD", "0.19900727 USD"},
        WordsCase{"en", "", "100 SAR in EUR", "22.596067 EUR"}, WordsCase{"en", "", "100 BDT in USD", "0.81826563 USD"},
        WordsCase{"en", "", "100 naira in euros", "0.062982761 EUR"},
        WordsCase{"en", "", "100 Nigerian nairas in euro", "0.062982761 EUR"},
        WordsCase{"en", "", "100 Nigeria in EUR", "0.062982761 EUR"},
        WordsCase{"en", "", "1000 yen in euros", "5.4209321 EUR"},
        WordsCase{"en", "US", "100 $ in EUR", "84.730253 EUR"}, WordsCase{"en", "CA", "100 $ in EUR", "61.933924 EUR"},
        WordsCase{"en", "DE", "100 $ in EUR", nullptr}, WordsCase{"en", "", "100 dollars in euros", nullptr},
        WordsCase{"en", "CA", "100 dollars in euros", "61.933924 EUR"},
        WordsCase{"en", "JP", "100 ¥ in EUR", "0.54209321 EUR"}, WordsCase{"en", "CN", "100 ¥ in EUR", "12.334969 EUR"},
        WordsCase{"en", "", "100 ¥ in EUR", nullptr}, WordsCase{"en", "", "100 € in $", nullptr},
        WordsCase{"en", "US", "100 € in $", "118.0216 USD"},
        // "pounds" is a mass too: the pair's other word makes it money.
        WordsCase{"en", "GB", "10 pounds in euros", "11.474891 EUR"},
        WordsCase{"en", "GB", "10 £ in €", "11.474891 EUR"},
        WordsCase{"en", "EG", "100 pounds in euros", "1.7711687 EUR"},
        WordsCase{"fr", "FR", "100 nairas en euros", "0.062982761 EUR"},
        WordsCase{"fr", "CA", "100 $ en €", "61.933924 EUR"},
        WordsCase{"de", "DE", "100 Naira in Euro", "0.062982761 EUR"},
        WordsCase{"de", "CH", "100 Franken in Euro", "109.58748 EUR"}));

INSTANTIATE_TEST_SUITE_P(
    JapaneseWords, QueryWordsTest,
    ::testing::Values(
        // Everyday short forms and the question form "は何".
        WordsCase{"ja", "JP", "10 キロ は何 マイル", "6.2137119 mi"},
        WordsCase{"ja", "JP", "10キロは何マイルですか", "6.2137119 mi"},
        WordsCase{"ja", "JP", "10 キロメートル から マイル", "6.2137119 mi"},
        // Composite names by rule: "平方" + the kilometre's "キロ", "毎" between a length and a duration.
        WordsCase{"ja", "JP", "1 平方キロ は ヘクタール", "100 ha"},
        WordsCase{"ja", "JP", "100 キロ毎時 を マイル毎時", "62.137119 mph"},
        // A qualifier in Japanese script is shown with the name, never as a symbol.
        WordsCase{"ja", "JP", "1 m は 尺", "3.3 尺 (日本)"}, WordsCase{"ja", "JP", "100 平米 は 坪", "30.25 坪 (日本)"},
        // In Japan a bare "馬力" is the metric horsepower.
        WordsCase{"ja", "JP", "100 馬力 は キロワット", "73.549875 kW"},
        WordsCase{"ja", "US", "1 ガロン は リットル", "3.7854118 L"},
        WordsCase{"ja", "GB", "1 ガロン は リットル", "4.54609 L"},
        WordsCase{"ja", "JP", "100 ナイラ は ユーロ", "0.062982761 EUR"},
        WordsCase{"ja", "JP", "100 ドル は 円", "15630.2 JPY"}));

TEST(UserRegionTest, FollowsTheMeasurementLocaleOfTheEnvironment)
{
    struct Case
    {
        const char* all;
        const char* measurement;
        const char* lang;
        const char* region;
    };
    const Case cases[] = {
        {"", "", "en_US.UTF-8", "US"},
        {"", "", "en_GB.UTF-8", "GB"},
        {"", "en_IE.UTF-8", "en_US.UTF-8", "IE"},
        {"de_AT.UTF-8", "en_GB.UTF-8", "en_US", "AT"},
        {"", "", "C.UTF-8", ""},
        {"", "", "xx_QQ.UTF-8", ""},
    };
    test::ScopedLocaleEnvironment environment("", "", "");
    for (const Case& c : cases) {
        environment.set(c.all, c.measurement, c.lang);
        EXPECT_EQ(userRegion(), QString::fromUtf8(c.region)) << c.all << " " << c.measurement << " " << c.lang;
    }
}

/** A lexicon of a few words in scripts written without spaces (and a Turkish end word), over the
 *  English catalogue: the reader must find its words inside unspaced text from the data alone. */
QByteArray unspacedLexicon(bool withEnd)
{
    QByteArray text = "@connect\t\t\t等于|等于多少|换算成|は何|は|kaç|to\n"
                      "@and\t\t\t和|and\n"
                      "LEN\tkilometre (km)\t\t公里|キロ\n"
                      "LEN\tmile (mi)\t\t英里|マイル\n"
                      "LEN\tcentimetre (cm)\t\t厘米\n"
                      "LEN\tfoot (ft)\t\t英尺\n"
                      "LEN\tinch (in)\t\t英寸|inç\n";
    if (withEnd) {
        text += "@end\t\t\t吗|ですか|eder\n";
    }
    return text;
}

struct UnspacedCase
{
    bool withEnd; ///< whether the module gives its question's end words
    QString query;
    const char* title; ///< the one answer's title, or null for no answer
};

class UnspacedQueryTest : public ::testing::TestWithParam<UnspacedCase>
{
};

TEST_P(UnspacedQueryTest, WordsAreFoundInsideTextWithoutSpaces)
{
    const UnspacedCase& c = GetParam();
    static const Lexicon withEnd = Lexicon::fromText(unspacedLexicon(true));
    static const Lexicon withoutEnd = Lexicon::fromText(unspacedLexicon(false));
    const Lexicon& lexicon = c.withEnd ? withEnd : withoutEnd;
    ASSERT_EQ(lexicon.endWords().isEmpty(), !c.withEnd);
    const QueryIndex index(english(), &lexicon);
    const QueryReading reading = readQuery(c.query, english(), lexicon.connectingWords(), &index);
    const std::string shown = c.query.left(40).toStdString();
    if (c.title == nullptr) {
        EXPECT_FALSE(reading.isAnswer()) << shown;
        return;
    }
    ASSERT_EQ(reading.answers.size(), 1) << shown;
    EXPECT_EQ(answerTitle(reading.answers.front(), kNotation, kPrecision, false), QString::fromUtf8(c.title)) << shown;
}

const QString kUnspacedRun = QString(60, QChar(0x516C)); // 公 again and again
const QString kUnspacedMarks = QString::fromUtf8("公里等于").repeated(40);

INSTANTIATE_TEST_SUITE_P(
    ChineseAndJapanese, UnspacedQueryTest,
    ::testing::Values(
        // Connecting words inside the text, the longest first.
        UnspacedCase{true, QString::fromUtf8("10公里等于多少英里"), "6.2137119 mi"},
        UnspacedCase{true, QString::fromUtf8("10km等于mi"), "6.2137119 mi"},
        UnspacedCase{true, QString::fromUtf8("10キロは何マイルですか"), "6.2137119 mi"},
        // A question's end, against the last unit or apart, and question marks.
        UnspacedCase{true, QString::fromUtf8("10公里等于多少英里吗？"), "6.2137119 mi"},
        UnspacedCase{true, QString::fromUtf8("10 km kaç mi eder"), "6.2137119 mi"},
        UnspacedCase{true, QString::fromUtf8("10 KM KAÇ MI EDER?"), "6.2137119 mi"},
        UnspacedCase{true, QString::fromUtf8("10 km to mi?"), "6.2137119 mi"},
        // Two units written together without a connecting word.
        UnspacedCase{true, QString::fromUtf8("10公里英里"), "6.2137119 mi"},
        UnspacedCase{true, QString::fromUtf8("10公里英里吗"), "6.2137119 mi"},
        // Joining words, and a Turkish dotted capital I.
        UnspacedCase{true, QString::fromUtf8("180厘米换算成英尺和英寸"), "5 ft 10.866142 in"},
        UnspacedCase{true, QString::fromUtf8("5 İNÇ to cm"), "12.7 cm"},
        // Still being typed, or no pair of units.
        UnspacedCase{true, QString::fromUtf8("10公里等于"), nullptr},
        UnspacedCase{true, QString::fromUtf8("10公里"), nullptr},
        UnspacedCase{true, QString::fromUtf8("10吗"), nullptr},
        // Long hostile runs: too long to cut into two units, or too many words once cut.
        UnspacedCase{true, QStringLiteral("10") + kUnspacedRun, nullptr},
        UnspacedCase{true, QStringLiteral("10") + kUnspacedMarks, nullptr},
        UnspacedCase{true, QStringLiteral("10") + kUnspacedRun + QString::fromUtf8("英里"), nullptr},
        // A module without end words reads as before; question marks are dropped whatever the module.
        UnspacedCase{false, QString::fromUtf8("10 km kaç mi eder"), nullptr},
        UnspacedCase{false, QString::fromUtf8("10公里英里吗"), nullptr},
        UnspacedCase{false, QString::fromUtf8("10公里英里？"), "6.2137119 mi"},
        UnspacedCase{false, QString::fromUtf8("10公里等于多少英里"), "6.2137119 mi"}));

class QueryNoAnswerTest : public ::testing::TestWithParam<QString>
{
};

TEST_P(QueryNoAnswerTest, GivesNoAnswer)
{
    EXPECT_FALSE(read(GetParam()).isAnswer()) << GetParam().left(80).toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Hostile, QueryNoAnswerTest,
    ::testing::Values(QString(), QStringLiteral("5"), QStringLiteral("mi in km"), QStringLiteral("5 mi"),
                      QStringLiteral("5 mi to"), QStringLiteral("5 mi in"), QStringLiteral("5 zzz in km"),
                      QStringLiteral("hello world"), QStringLiteral("+"), QStringLiteral("*"), QStringLiteral("- / *"),
                      QStringLiteral("5 + * km m"), QStringLiteral("1e999"), QStringLiteral("1e999 mi in km"),
                      QStringLiteral("1/0 mi in km"),
                      QStringLiteral("5 mi in km in m in ft in yd in mi in km in m in ft in yd in"),
                      QStringLiteral("5 kg in km"), QString(kManySpaces, QLatin1Char(' ')),
                      QString(kManySpaces, QLatin1Char(' ')) + QStringLiteral("5 mi in km"),
                      QString(kOneMegabyte, QLatin1Char('5')),
                      QStringLiteral("5 mi in km ") + QString(kOneMegabyte, QLatin1Char('m')),
                      QString::fromUtf8("5 mi in \xff\xfe km"), QString::fromUtf8("5 mi\0 in km", 11),
                      QStringLiteral("5 mi\tin\nkm\x01"),
                      // Too long a run without spaces to be two units, and one just short enough to be cut.
                      QStringLiteral("5 ") + QString(kQueryMaxLength - 2, QChar(0x516C)),
                      QStringLiteral("5 ") + QString(2 * kQueryMaxUnspacedUnit, QChar(0x516C))));

INSTANTIATE_TEST_SUITE_P(SpanishWords, QueryWordsTest,
                         ::testing::Values(WordsCase{"es", "ES", "1 kilómetro en millas", "0.62137119 mi"},
                                           WordsCase{"es", "ES", "10 kilometros a millas", "6.2137119 mi"},
                                           WordsCase{"es", "ES", "3 decámetros en metros", "30 m"},
                                           WordsCase{"es", "ES", "50 metros cuadrados en pies cuadrados",
                                                     "538.19552 ft²"},
                                           WordsCase{"es", "ES", "10 km cuántas millas", "6.2137119 mi"},
                                           WordsCase{"es", "US", "1 galón en litros", "3.7854118 L"},
                                           WordsCase{"es", "GB", "1 galón en litros", "4.54609 L"},
                                           WordsCase{"es", "ES", "30 ºC en ºF", "86 °F"},
                                           WordsCase{"es", "ES", "100 nairas en euros", "0.062982761 EUR"}));

INSTANTIATE_TEST_SUITE_P(PortugueseWords, QueryWordsTest,
                         ::testing::Values(WordsCase{"pt", "BR", "10 quilômetros em milhas", "6.2137119 mi"},
                                           WordsCase{"pt", "BR", "3 decâmetros em metros", "30 m"},
                                           WordsCase{"pt", "BR", "50 metros quadrados em pés quadrados",
                                                     "538.19552 ft²"},
                                           WordsCase{"pt", "BR", "10 km quantas milhas", "6.2137119 mi"},
                                           WordsCase{"pt", "BR", "1 xícara em ml", "240 mL"},
                                           WordsCase{"pt", "US", "1 xícara em ml", "236.58824 mL"},
                                           WordsCase{"pt", "PT", "1 xícara em ml", "250 mL"},
                                           WordsCase{"pt", "BR", "100 cv em kW", "73.549875 kW"},
                                           WordsCase{"pt", "BR", "100 nairas em euros", "0.062982761 EUR"}));

INSTANTIATE_TEST_SUITE_P(
    ItalianWords, QueryWordsTest,
    ::testing::Values(WordsCase{"it", "IT", "10 chilometri in miglia", "6.2137119 mi"},
                      // A connecting word of several words; a unit written like a connecting word.
                      WordsCase{"it", "IT", "10 km in quante miglia", "6.2137119 mi"},
                      WordsCase{"pl", "PL", "1 kW na W", "1000 W"},
                      WordsCase{"it", "IT", "1 miglio a metri", "1609.344 m"},
                      WordsCase{"it", "IT", "50 metri quadrati in piedi quadrati", "538.19552 ft²"},
                      WordsCase{"it", "IT", "90 chilometri orari in miglia all'ora", "55.923407 mph"},
                      WordsCase{"it", "IT", "2 etti in grammi", "200 g"},
                      WordsCase{"it", "IT", "100 cv in kw", "73.549875 kW"},
                      WordsCase{"it", "IT", "1 gallone in litri", "3.7854118 L"},
                      WordsCase{"it", "GB", "1 gallone in litri", "4.54609 L"},
                      WordsCase{"it", "IT", "1 tonnellata in kg", "1000 kg"},
                      WordsCase{"it", "US", "1 tonnellata in kg", "907.18474 kg"},
                      WordsCase{"it", "IT", "100 naire in euro", "0.062982761 EUR"},
                      WordsCase{"it", "IT", "10 km quante miglia", "6.2137119 mi"}));

INSTANTIATE_TEST_SUITE_P(DutchWords, QueryWordsTest,
                         ::testing::Values(WordsCase{"nl", "NL", "10 kilometer in mijlen", "6.2137119 mi"},
                                           WordsCase{"nl", "NL", "10 meters naar voeten", "32.808399 ft"},
                                           WordsCase{"nl", "NL", "50 vierkante meter in vierkante voet",
                                                     "538.19552 ft²"},
                                           WordsCase{"nl", "NL", "90 km/u in mph", "55.923407 mph"},
                                           WordsCase{"nl", "NL", "2 ons in gram", "200 g"},
                                           WordsCase{"nl", "NL", "100 pk in kW", "73.549875 kW"},
                                           WordsCase{"nl", "NL", "10 kuub in liter", "10000 L"},
                                           WordsCase{"nl", "NL", "1 gallon in liter", "3.7854118 L"},
                                           WordsCase{"nl", "IE", "1 gallon in liter", "4.54609 L"},
                                           WordsCase{"nl", "NL", "1 ton in kg", "1000 kg"},
                                           WordsCase{"nl", "US", "1 ton in kg", "907.18474 kg"},
                                           WordsCase{"nl", "NL", "100 naira in euro", "0.062982761 EUR"},
                                           WordsCase{"nl", "BE", "10 km hoeveel mijl", "6.2137119 mi"}));

INSTANTIATE_TEST_SUITE_P(RussianWords, QueryWordsTest,
                         ::testing::Values(
                             // Every plural form after a number, and the plural after "в".
                             WordsCase{"ru", "RU", "1 километр в метры", "1000 m"},
                             WordsCase{"ru", "RU", "2 километра в метры", "2000 m"},
                             WordsCase{"ru", "RU", "5 километров в метры", "5000 m"},
                             WordsCase{"ru", "RU", "100 квадратных метров в кв. футы", "1076.391 ft²"},
                             // "галлон" is the imperial gallon only where the imperial units are used.
                             WordsCase{"ru", "US", "1 галлон в литры", "3.7854118 L"},
                             WordsCase{"ru", "GB", "1 галлон в литры", "4.54609 L"},
                             // "л. с." is the metric horsepower in Russian.
                             WordsCase{"ru", "RU", "2 л. с. в кВт", "1.4709975 kW"},
                             WordsCase{"ru", "RU", "100 найр в евро", "0.062982761 EUR"},
                             WordsCase{"ru", "RU", "10 км сколько миль", "6.2137119 mi"}));

INSTANTIATE_TEST_SUITE_P(UkrainianWords, QueryWordsTest,
                         ::testing::Values(WordsCase{"uk", "UA", "1 кілометр у метри", "1000 m"},
                                           WordsCase{"uk", "UA", "2 кілометри у метри", "2000 m"},
                                           WordsCase{"uk", "UA", "5 кілометрів у метри", "5000 m"},
                                           WordsCase{"uk", "UA", "100 квадратних метрів у кв. фути", "1076.391 ft²"},
                                           WordsCase{"uk", "US", "1 галон у літри", "3.7854118 L"},
                                           WordsCase{"uk", "GB", "1 галон у літри", "4.54609 L"},
                                           // CLDR's "тонна" is the short ton: Ukrainian users mean the tonne.
                                           WordsCase{"uk", "US", "1 тонна в кг", "1000 kg"},
                                           WordsCase{"uk", "UA", "100 найр в євро", "0.062982761 EUR"},
                                           WordsCase{"uk", "UA", "10 км скільки миль", "6.2137119 mi"}));

INSTANTIATE_TEST_SUITE_P(PolishAndTurkishWords, QueryWordsTest,
                         ::testing::Values(
                             // Polish: the number chooses the form (1 kilometr, 2 kilometry, 5 kilometrów); "mil" is
                             // the miles' form after five, not the thousandth of an inch.
                             WordsCase{"pl", "PL", "1 kilometr na mile", "0.62137119 mi"},
                             WordsCase{"pl", "PL", "2 kilometry na metry", "2000 m"},
                             WordsCase{"pl", "PL", "5 kilometrów na mile", "3.106856 mi"},
                             WordsCase{"pl", "PL", "10 mil na km", "16.09344 km"},
                             WordsCase{"pl", "PL", "10 metrów kwadratowych na stopy kwadratowe", "107.6391 ft²"},
                             WordsCase{"pl", "US", "1 galon na litry", "3.7854118 L"},
                             WordsCase{"pl", "GB", "1 galon na litry", "4.54609 L"},
                             WordsCase{"pl", "PL", "100 nair na euro", "0.062982761 EUR"},
                             WordsCase{"pl", "PL", "10 mil ile km", "16.09344 km"},
                             // "KM" is the metric horsepower in Polish; "dkg" the decagram of shops.
                             WordsCase{"pl", "PL", "100 KM na kW", "73.549875 kW"},
                             WordsCase{"pl", "PL", "5 dkg na g", "50 g"},
                             // Turkish: the question form, also typed without Turkish letters; "gr" is the gram.
                             WordsCase{"tr", "TR", "10 mil kaç km", "16.09344 km"},
                             WordsCase{"tr", "TR", "10 mil kac km", "16.09344 km"},
                             WordsCase{"tr", "TR", "100 metrekare kaç fit kare", "1076.391 ft²"},
                             WordsCase{"tr", "US", "1 galon kaç litre", "3.7854118 L"},
                             WordsCase{"tr", "GB", "1 galon kaç litre", "4.54609 L"},
                             WordsCase{"tr", "TR", "100 naira kaç avro", "0.062982761 EUR"},
                             WordsCase{"tr", "TR", "250 gr kaç ons", "8.8184905 oz"},
                             WordsCase{"tr", "TR", "1 dönüm kaç metrekare", "1000 m²"},
                             WordsCase{"tr", "TR", "30 derece kaç fahrenhayt", "86 °F"}));

// Chinese words, with the question forms people type (是多少, 等于多少) as joining words.
INSTANTIATE_TEST_SUITE_P(ChineseWords, QueryWordsTest,
                         ::testing::Values(WordsCase{"zh", "CN", "10 公里 是多少 英里", "6.2137119 mi"},
                                           WordsCase{"zh", "CN", "10公里等于多少英里？", "6.2137119 mi"},
                                           WordsCase{"zh", "CN", "1斤是多少公斤", "0.5 kg"},
                                           WordsCase{"zh", "CN", "10 km 到 mi", "6.2137119 mi"},
                                           WordsCase{"zh", "CN", "5 平方米 换算成 平方英尺", "53.819552 ft²"},
                                           WordsCase{"zh", "CN", "100 平米 到 平方英尺", "1076.391 ft²"},
                                           // 吨 is the tonne, 度 the degree Celsius beside a temperature and the
                                           // kilowatt-hour beside an energy, 码 the kilometre per hour beside a speed.
                                           WordsCase{"zh", "US", "1 吨 等于多少 公斤", "1000 kg"},
                                           WordsCase{"zh", "CN", "30 度 等于多少 华氏度", "86 °F"},
                                           WordsCase{"zh", "CN", "10 度 等于多少 千焦", "36000 kJ"},
                                           WordsCase{"zh", "CN", "120 码 等于多少 英里每小时", "74.564543 mph"},
                                           WordsCase{"zh", "CN", "3 斤 是多少 千克", "1.5 kg"},
                                           WordsCase{"zh", "US", "1 加仑 等于多少 升", "3.7854118 L"},
                                           WordsCase{"zh", "GB", "1 加仑 等于多少 升", "4.54609 L"},
                                           WordsCase{"zh", "CN", "180 厘米 等于多少 英尺 和 英寸", "5 ft 10.866142 in"},
                                           WordsCase{"zh", "CN", "100 尼日利亚奈拉 换算成 欧元", "0.062982761 EUR"}));

} // namespace
