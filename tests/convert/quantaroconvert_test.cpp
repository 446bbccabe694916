#include "about/programinfo.h"
#include "catalogue/lexicon.h"
#include "convert/converttool.h"
#include "support/languagequeries.h"
#include "support/localeenvironment.h"
#include "testpaths.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

using quantaro::ConvertToolEnvironment;

constexpr int kProcessTimeoutMs = 30000;

struct ToolRun
{
    int exitCode = -1;
    QString out;
    QString err;
};

/** The tool with a test module beside its own unit file, and settings in a temporary folder. */
class QuantaroConvertTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        m_module = m_dir.filePath(QStringLiteral("alpha.so"));
        ASSERT_TRUE(QFile::copy(QStringLiteral(QUANTARO_TEST_MODULE_DIR "/alpha.so"), m_module));
        QFile units(m_dir.filePath(QStringLiteral("alpha.dat")));
        ASSERT_TRUE(units.open(QIODevice::WriteOnly));
        // One sub-category only: the tool refuses pairs across two.
        units.write("* test units\n"
                    "LEN;metre (m);$;$;0\n"
                    "LEN;inch;$/0.0254;$*0.0254;0\n"
                    "LEN;Inchworm;$;$;0\n"
                    "LEN;kilometre (km);$/1000;$*1000;0\n"
                    "LEN;megametre (Mm);$/1000000;$*1000000;0\n"
                    "LEN;millimetre (mm);$*1000;$/1000;0\n"
                    "LEN;mile (mi);$/1609.344;$*1609.344;0\n"
                    "LEN;mile (US survey) (mi);$/1609.3472;$*1609.3472;0\n"
                    "LEN;link (US survey) (li);$/0.201168;$*0.201168;0\n"
                    "LEN;chain (engineer's) (ch);$/30.48;$*30.48;0\n"
                    "LEN;chain (Gunter);$/20.1168;$*20.1168;0\n"
                    "LEN;ångström (Å);$*1e10;$/1e10;0\n"
                    "TMP;kelvin (K);$;$\n"
                    "TMP;degree Celsius (°C);$-273.15;$+273.15\n"
                    "TMP;degree Fahrenheit (°F);$-273.15*1.8+32;$-32/1.8+273.15\n"
                    "CNY;Euro;$;$;EUR\n"
                    "CNY;Dollar;$/0.5;$*0.5;USD\n");
    }

    /** The tool in this process, with what the program would take from its folder and environment. */
    ToolRun run(const QStringList& arguments, bool withModule = true, const QByteArray& input = {})
    {
        QStringList all = arguments;
        if (withModule) {
            all.prepend(m_module);
            all.prepend(QStringLiteral("--module"));
        }
        QByteArray inputBytes = input;
        QBuffer in(&inputBytes);
        QBuffer out;
        QBuffer err;
        EXPECT_TRUE(in.open(QIODevice::ReadOnly) && out.open(QIODevice::WriteOnly) && err.open(QIODevice::WriteOnly));
        const ConvertToolEnvironment environment{QStringLiteral(QUANTARO_PROGRAM_DIR),
                                                 m_dir.filePath(QStringLiteral("config/Velmora/Quantaro.ini")),
                                                 quantaro::userRegion(), quantaro::kProgramVersion};
        ToolRun result;
        result.exitCode = quantaro::runConvertTool(all, in, out, err, environment);
        result.out = QString::fromUtf8(out.data());
        result.err = QString::fromUtf8(err.data());
        return result;
    }

    /** The real program, for what only its process shows: the streams, the exit status, the locale. */
    ToolRun runProcess(const QStringList& arguments, bool withModule = true, const QByteArray& input = {})
    {
        QProcess process;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("XDG_CONFIG_HOME"), m_dir.filePath(QStringLiteral("config")));
        process.setProcessEnvironment(environment);
        QStringList all = arguments;
        if (withModule) {
            all.prepend(m_module);
            all.prepend(QStringLiteral("--module"));
        }
        process.start(QStringLiteral(QUANTARO_PROGRAM_DIR "/quantaro-convert"), all);
        process.write(input);
        process.closeWriteChannel();
        EXPECT_TRUE(process.waitForFinished(kProcessTimeoutMs));
        ToolRun result;
        result.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
        result.out = QString::fromUtf8(process.readAllStandardOutput());
        result.err = QString::fromUtf8(process.readAllStandardError());
        return result;
    }

    QTemporaryDir m_dir;
    QString m_module;
};

TEST_F(QuantaroConvertTest, PrintsTheResultFieldTextForAConversion)
{
    const ToolRun inches =
        run({QStringLiteral("len"), QStringLiteral("12*2.54"), QStringLiteral("INCH"), QStringLiteral("metre")});
    EXPECT_EQ(inches.exitCode, 0) << inches.err.toStdString();
    EXPECT_EQ(inches.out, QStringLiteral("0.774192\n"));

    // A value starting with "-" is a value.
    const ToolRun negative =
        run({QStringLiteral("--notation"), QStringLiteral("f"), QStringLiteral("--precision"), QStringLiteral("2"),
             QStringLiteral("LEN"), QStringLiteral("-1"), QStringLiteral("inch"), QStringLiteral("metre")});
    EXPECT_EQ(negative.exitCode, 0) << negative.err.toStdString();
    EXPECT_EQ(negative.out, QStringLiteral("-0.03\n"));

    const ToolRun infinite =
        run({QStringLiteral("LEN"), QStringLiteral("1/0"), QStringLiteral("metre"), QStringLiteral("inch")});
    EXPECT_EQ(infinite.out, QStringLiteral("inf\n"));
}

TEST_F(QuantaroConvertTest, ListsEveryUnitWithTabs)
{
    const ToolRun all = run({QStringLiteral("--list")});
    EXPECT_EQ(all.exitCode, 0) << all.err.toStdString();
    EXPECT_EQ(all.out, QStringLiteral("CNY\tEuro\t$\t$\tEUR\n"
                                      "CNY\tDollar\t$/0.5\t$*0.5\tUSD\n"
                                      "LEN\tmetre (m)\t$\t$\t0\n"
                                      "LEN\tinch\t$/0.0254\t$*0.0254\t0\n"
                                      "LEN\tInchworm\t$\t$\t0\n"
                                      "LEN\tkilometre (km)\t$/1000\t$*1000\t0\n"
                                      "LEN\tmegametre (Mm)\t$/1000000\t$*1000000\t0\n"
                                      "LEN\tmillimetre (mm)\t$*1000\t$/1000\t0\n"
                                      "LEN\tmile (mi)\t$/1609.344\t$*1609.344\t0\n"
                                      "LEN\tmile (US survey) (mi)\t$/1609.3472\t$*1609.3472\t0\n"
                                      "LEN\tlink (US survey) (li)\t$/0.201168\t$*0.201168\t0\n"
                                      "LEN\tchain (engineer's) (ch)\t$/30.48\t$*30.48\t0\n"
                                      "LEN\tchain (Gunter)\t$/20.1168\t$*20.1168\t0\n"
                                      "LEN\tångström (Å)\t$*1e10\t$/1e10\t0\n"
                                      "TMP\tkelvin (K)\t$\t$\t\n"
                                      "TMP\tdegree Celsius (°C)\t$-273.15\t$+273.15\t\n"
                                      "TMP\tdegree Fahrenheit (°F)\t$-273.15*1.8+32\t$-32/1.8+273.15\t\n"));
    const ToolRun money = run({QStringLiteral("--list"), QStringLiteral("cny")});
    EXPECT_EQ(money.out, QStringLiteral("CNY\tEuro\t$\t$\tEUR\nCNY\tDollar\t$/0.5\t$*0.5\tUSD\n"));
}

TEST_F(QuantaroConvertTest, TheLocaleTerritoryChoosesTheVariantAndAnUnknownOneTheInternationalUnit)
{
    struct Case
    {
        const char* lang;
        const char* query;
        const char* expected;
    };
    const Case cases[] = {
        {"en_US.UTF-8", "1 pint in ml", "473.17647 mL\n"},
        {"en_GB.UTF-8", "1 pint in ml", "568.26125 mL\n"},
        {"en_US.UTF-8", "1 ton in kg", "907.18474 kg\n"},
        {"C.UTF-8", "1 ton in kg", "1000 kg\n"},
    };
    quantaro::test::ScopedLocaleEnvironment environment("", "", "");
    for (const Case& c : cases) {
        environment.set("", "", c.lang);
        const QStringList arguments{QStringLiteral("--module"), QStringLiteral(QUANTARO_PROGRAM_DIR "/quantaro_en.so"),
                                    QString::fromUtf8(c.query)};
        EXPECT_EQ(run(arguments, false).out, QString::fromUtf8(c.expected)) << c.lang << " " << c.query;
    }
    // The program itself reads the territory from its environment.
    environment.set("", "", "en_GB.UTF-8");
    EXPECT_EQ(runProcess({QStringLiteral("--module"), QStringLiteral(QUANTARO_PROGRAM_DIR "/quantaro_en.so"),
                          QStringLiteral("1 pint in ml")},
                         false)
                  .out,
              QStringLiteral("568.26125 mL\n"));
}

TEST_F(QuantaroConvertTest, EveryLanguageAnswersAQueryAsItsPeopleTypeIt)
{
    quantaro::test::ScopedLocaleEnvironment environment("", "", "C.UTF-8");
    for (const quantaro::test::LanguageQuery& q : quantaro::test::kLanguageQueries) {
        const QStringList arguments{QStringLiteral("--module"),
                                    QStringLiteral(QUANTARO_PROGRAM_DIR "/") + QString::fromUtf8(q.module),
                                    QString::fromUtf8(q.query)};
        EXPECT_EQ(run(arguments, false).out, QString::fromUtf8(q.answer) + QLatin1Char('\n'))
            << q.module << " " << q.query;
    }
}

TEST_F(QuantaroConvertTest, UnitsAreFoundByNameThenSymbolThenParenthesesThenAUniquePrefix)
{
    struct Case
    {
        const char* code;
        const char* from;
        const char* to;
        int exitCode;
        const char* expected; // standard output, or a text standard error must hold
    };
    const Case cases[] = {
        {"LEN", "inch", "metre", 0, "0.0508\n"}, // a whole name beats the prefix of "Inchworm"
        {"LEN", "mi", "km", 0, "3.218688\n"},    // a symbol beats the prefix of "millimetre"
        {"LEN", "m", "mm", 0, "2000\n"},         // a symbol beats the beginnings of many names
        {"LEN", "Mm", "km", 0, "2000\n"},        // symbols keep their case first...
        {"LEN", "mm", "m", 0, "0.002\n"},
        {"LEN", "KM", "m", 0, "2000\n"},             // ...then any case when that names one unit
        {"LEN", "KILOMETRE (KM)", "m", 0, "2000\n"}, // names in any case, with or without the symbol
        {"LEN", "Kilometre", "m", 0, "2000\n"},
        {"LEN", "mile", "m", 0, "3218.688\n"},
        {"LEN", "li", "m", 0, "0.402336\n"},                   // text in parentheses
        {"LEN", "Å", "nm", 1, "unknown unit nm"},              // ångström found by its symbol; nm is no unit here
        {"LEN", "ång", "m", 0, "2e-10\n"},                     // a beginning only one name has
        {"LEN", "US survey", "m", 2, "mile (US survey) (mi)"}, // shared by several: candidates listed
        {"LEN", "inc", "m", 2, "Inchworm"},
        {"LEN", "chain", "m", 2, "chain (Gunter)"}, // two variants and no plain one: neither is meant
        {"LEN", "mil", "m", 2, "millimetre (mm)"},
        {"TMP", "C", "F", 0, "35.6\n"}, // temperatures without the degree sign
        {"TMP", "°C", "°F", 0, "35.6\n"},
        {"LEN", "furlong", "m", 1, "unknown unit furlong"},
    };
    for (const Case& c : cases) {
        const ToolRun converted =
            run({QString::fromUtf8(c.code), QStringLiteral("2"), QString::fromUtf8(c.from), QString::fromUtf8(c.to)});
        EXPECT_EQ(converted.exitCode, c.exitCode) << c.from << " " << converted.err.toStdString();
        if (c.exitCode == 0) {
            EXPECT_EQ(converted.out, QString::fromUtf8(c.expected)) << c.from;
        } else {
            EXPECT_TRUE(converted.out.isEmpty()) << c.from;
            EXPECT_TRUE(converted.err.contains(QString::fromUtf8(c.expected))) << c.from << converted.err.toStdString();
        }
    }
}

TEST_F(QuantaroConvertTest, PairsAcrossQuantitiesAndValuesWithoutDigitsAreRefused)
{
    struct Case
    {
        const char* code;
        const char* value;
        const char* from;
        const char* to;
        int exitCode;
        const char* output; // standard output, or a text standard error must hold
    };
    const Case cases[] = {
        {"RAD", "1", "curie", "gray", 2, "Activity"}, {"MAG", "1", "tesla", "ampere per metre", 2, "Field strength"},
        {"RAD", "1", "curie", "Bq", 0, "3.7e+10\n"},  {"LEN", "abc", "metre", "km", 2, "no number"},
        {"LEN", "", "metre", "km", 2, "no number"},
    };
    const QString english = QStringLiteral(QUANTARO_PROGRAM_DIR "/quantaro_en.so");
    for (const Case& c : cases) {
        const ToolRun converted = run({QStringLiteral("--module"), english, QString::fromUtf8(c.code),
                                       QString::fromUtf8(c.value), QString::fromUtf8(c.from), QString::fromUtf8(c.to)},
                                      false);
        EXPECT_EQ(converted.exitCode, c.exitCode) << c.from << converted.err.toStdString();
        EXPECT_TRUE((c.exitCode == 0 ? converted.out : converted.err).contains(QString::fromUtf8(c.output)))
            << c.from << converted.err.toStdString();
    }
}

TEST_F(QuantaroConvertTest, ARelativeModulePathIsTakenFromTheWorkingFolder)
{
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), m_dir.filePath(QStringLiteral("config")));
    process.setProcessEnvironment(environment);
    process.setWorkingDirectory(m_dir.path());
    process.start(QStringLiteral(QUANTARO_PROGRAM_DIR "/quantaro-convert"),
                  {QStringLiteral("--module"), QStringLiteral("alpha.so"), QStringLiteral("LEN"), QStringLiteral("1"),
                   QStringLiteral("inch"), QStringLiteral("metre")});
    ASSERT_TRUE(process.waitForFinished(kProcessTimeoutMs));
    EXPECT_EQ(QString::fromUtf8(process.readAllStandardOutput()), QStringLiteral("0.0254\n"))
        << process.readAllStandardError().toStdString();
}

TEST_F(QuantaroConvertTest, StoredRatesReplaceTheCurrencyFormulas)
{
    QDir().mkpath(m_dir.filePath(QStringLiteral("config/Velmora")));
    QFile ini(m_dir.filePath(QStringLiteral("config/Velmora/Quantaro.ini")));
    ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
    ini.write("[Currencies]\nUSD=-0.8\n");
    ini.close();
    const ToolRun converted =
        run({QStringLiteral("CNY"), QStringLiteral("10"), QStringLiteral("dollar"), QStringLiteral("euro")});
    EXPECT_EQ(converted.exitCode, 0) << converted.err.toStdString();
    EXPECT_EQ(converted.out, QStringLiteral("8\n"));
    const ToolRun listed = run({QStringLiteral("--list"), QStringLiteral("CNY")});
    EXPECT_TRUE(listed.out.contains(QStringLiteral("Dollar\t$/0.8\t$*0.8\tUSD"))) << listed.out.toStdString();
}

TEST_F(QuantaroConvertTest, EvaluatesWithFifteenDigits)
{
    const ToolRun third = run({QStringLiteral("--eval"), QStringLiteral("1/3")}, false);
    EXPECT_EQ(third.exitCode, 0);
    EXPECT_EQ(third.out, QStringLiteral("0.333333333333333\n"));
}

TEST_F(QuantaroConvertTest, HelpVersionOptionsAndExitStatuses)
{
    struct Case
    {
        QStringList arguments;
        int exitCode;
        const char* out; // a text standard output holds
        const char* err; // a text standard error holds
    };
    const Case cases[] = {
        {{QStringLiteral("--help")}, 0, "Exit status:\n  0  converted", ""},
        {{QStringLiteral("-h")}, 0, "--precision N", ""},
        {{QStringLiteral("--version")}, 0, "quantaro-convert 1.", ""},
        {{QStringLiteral("--verbose"), QStringLiteral("LEN"), QStringLiteral("1"), QStringLiteral("m"),
          QStringLiteral("km")},
         2,
         "",
         "unknown option --verbose\nusage: quantaro-convert"},
        {{QStringLiteral("--precision=3"), QStringLiteral("--notation=e"), QStringLiteral("LEN"), QStringLiteral("1"),
          QStringLiteral("mile"), QStringLiteral("km")},
         0,
         "1.609e+00\n",
         ""},
        {{QStringLiteral("LEN"), QStringLiteral("1/0"), QStringLiteral("m"), QStringLiteral("km")}, 3, "inf\n", ""},
        {{QStringLiteral("--eval"), QStringLiteral("0/0")}, 3, "nan", ""},
    };
    for (const Case& c : cases) {
        const ToolRun ran = run(c.arguments);
        EXPECT_EQ(ran.exitCode, c.exitCode) << c.arguments.join(' ').toStdString() << ran.err.toStdString();
        EXPECT_TRUE(ran.out.contains(QString::fromUtf8(c.out))) << ran.out.toStdString();
        EXPECT_TRUE(ran.err.contains(QString::fromUtf8(c.err))) << ran.err.toStdString();
    }
}

TEST_F(QuantaroConvertTest, ValuesFromStandardInputGiveOneAnswerALine)
{
    constexpr int kLines = 10000;
    QByteArray input;
    QString expected;
    for (int i = 0; i < kLines; ++i) {
        input += QByteArray::number(i) + (i % 2 == 0 ? "\n" : "\r\n");
        expected += QString::number(i * 1000) + QLatin1Char('\n');
    }
    const ToolRun many =
        run({QStringLiteral("LEN"), QStringLiteral("-"), QStringLiteral("km"), QStringLiteral("m")}, true, input);
    EXPECT_EQ(many.exitCode, 0) << many.err.toStdString();
    EXPECT_EQ(many.out, expected);

    // Lines without a number stay paired with an empty answer; a last line without its newline counts.
    // The program's own standard input and output, and its exit status.
    const ToolRun mixed =
        runProcess({QStringLiteral("LEN"), QStringLiteral("-"), QStringLiteral("km"), QStringLiteral("m")}, true,
                   "abc\n\n1/0\n" + QByteArray(1 << 20, '7') + "\n2");
    EXPECT_EQ(mixed.exitCode, 3);
    EXPECT_EQ(mixed.out, QStringLiteral("\n\ninf\n\n2000\n")) << "a megabyte line is no value";
}

TEST_F(QuantaroConvertTest, EachLineIsAnsweredBeforeTheNextIsRead)
{
    // A script that writes one value and waits for its answer must get it while standard input stays open.
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), m_dir.filePath(QStringLiteral("config")));
    process.setProcessEnvironment(environment);
    process.start(QStringLiteral(QUANTARO_PROGRAM_DIR "/quantaro-convert"),
                  {QStringLiteral("--module"), m_module, QStringLiteral("LEN"), QStringLiteral("-"),
                   QStringLiteral("km"), QStringLiteral("m")});
    ASSERT_TRUE(process.waitForStarted(kProcessTimeoutMs));
    struct Exchange
    {
        const char* line;
        const char* answer;
    };
    for (const Exchange& exchange : {Exchange{"5\n", "5000\n"}, Exchange{"0.25\n", "250\n"}}) {
        process.write(exchange.line);
        QByteArray answer;
        while (!answer.endsWith('\n') && process.waitForReadyRead(kProcessTimeoutMs)) {
            answer += process.readAllStandardOutput();
        }
        EXPECT_EQ(answer, QByteArray(exchange.answer)) << process.readAllStandardError().toStdString();
    }
    process.closeWriteChannel();
    ASSERT_TRUE(process.waitForFinished(kProcessTimeoutMs));
    EXPECT_EQ(process.exitCode(), 0);
}

TEST_F(QuantaroConvertTest, TextThatIsNoTextGivesNoAnswer)
{
    // A NUL or bytes that are no UTF-8 are not dropped to leave a number behind ("1", NUL, "2" is no 12).
    const ToolRun lines =
        run({QStringLiteral("LEN"), QStringLiteral("-"), QStringLiteral("km"), QStringLiteral("m")}, true,
            QByteArray("1\0002\n\xff\xfe"
                       "1\n3\n",
                       10));
    EXPECT_EQ(lines.out, QStringLiteral("\n\n3000\n"));

    // QProcess passes only valid text: the shell hands over the raw bytes.
    QProcess process;
    process.start(QStringLiteral("/bin/sh"),
                  {QStringLiteral("-c"),
                   QStringLiteral("exec \"$0\" --module \"$1\" LEN \"$(printf '\\377\\376%s' 1)\" km m"),
                   QStringLiteral(QUANTARO_PROGRAM_DIR "/quantaro-convert"), m_module});
    ASSERT_TRUE(process.waitForFinished(kProcessTimeoutMs));
    EXPECT_EQ(process.readAllStandardOutput(), QByteArray());
    EXPECT_EQ(process.exitCode(), 2) << process.readAllStandardError().toStdString();
}

TEST_F(QuantaroConvertTest, ReportsErrorsOnOneLineAndFails)
{
    const QList<QStringList> failures = {
        {QStringLiteral("XYZ"), QStringLiteral("1"), QStringLiteral("metre"), QStringLiteral("inch")},
        {QStringLiteral("LEN"), QStringLiteral("1"), QStringLiteral("furlong"), QStringLiteral("inch")},
        {QStringLiteral("--precision"), QStringLiteral("11"), QStringLiteral("LEN"), QStringLiteral("1"),
         QStringLiteral("metre"), QStringLiteral("inch")},
        {QStringLiteral("--notation"), QStringLiteral("x"), QStringLiteral("LEN"), QStringLiteral("1"),
         QStringLiteral("metre"), QStringLiteral("inch")},
    };
    for (const QStringList& arguments : failures) {
        const ToolRun failed = run(arguments);
        EXPECT_NE(failed.exitCode, 0) << arguments.join(' ').toStdString();
        EXPECT_TRUE(failed.out.isEmpty());
        EXPECT_EQ(failed.err.count(QLatin1Char('\n')), 1) << failed.err.toStdString();
    }

    ASSERT_TRUE(QFile::remove(m_dir.filePath(QStringLiteral("alpha.dat"))));
    const ToolRun missing = run({QStringLiteral("--list")});
    EXPECT_NE(missing.exitCode, 0);
    EXPECT_TRUE(missing.err.contains(QStringLiteral("alpha.dat"))) << missing.err.toStdString();

    const ToolRun noModule =
        run({QStringLiteral("--module"), m_dir.filePath(QStringLiteral("none.so")), QStringLiteral("--list")}, false);
    EXPECT_NE(noModule.exitCode, 0);
    EXPECT_FALSE(QDir(m_dir.filePath(QStringLiteral("config"))).exists()) << "nothing is written to settings";
}

/** An output on a full disk: every write fails. */
class FullDevice : public QIODevice
{
public:
    FullDevice()
    {
        open(QIODevice::WriteOnly);
        setErrorString(QStringLiteral("No space left on device"));
    }

protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char*, qint64) override { return -1; }
};

TEST_F(QuantaroConvertTest, AnOutputThatCannotBeWrittenFailsWithItsReason)
{
    struct Case
    {
        QStringList arguments;
        QByteArray input;
        const char* message;
    };
    const QString module = QStringLiteral("--module");
    const Case cases[] = {
        {{module, m_module, QStringLiteral("LEN"), QStringLiteral("1"), QStringLiteral("inch"), QStringLiteral("m")},
         {},
         "cannot write the result: No space left on device\n"},
        {{module, m_module, QStringLiteral("LEN"), QStringLiteral("-"), QStringLiteral("inch"), QStringLiteral("m")},
         "1\n2\n",
         "cannot write the results: No space left on device\n"},
        {{module, m_module, QStringLiteral("1 inch in m")}, {}, "cannot write the result: No space left on device\n"},
        {{module, m_module, QStringLiteral("--list")}, {}, "cannot write the output: No space left on device\n"},
        {{QStringLiteral("--help")}, {}, "cannot write the output: No space left on device\n"},
        {{QStringLiteral("--eval"), QStringLiteral("1/0")}, {}, "cannot write the output: No space left on device\n"},
    };
    const ConvertToolEnvironment environment{QStringLiteral(QUANTARO_PROGRAM_DIR),
                                             m_dir.filePath(QStringLiteral("config/Velmora/Quantaro.ini")), QString(),
                                             quantaro::kProgramVersion};
    for (const Case& c : cases) {
        QByteArray input = c.input;
        QBuffer in(&input);
        ASSERT_TRUE(in.open(QIODevice::ReadOnly));
        FullDevice out;
        QBuffer err;
        ASSERT_TRUE(err.open(QIODevice::WriteOnly));
        EXPECT_EQ(quantaro::runConvertTool(c.arguments, in, out, err, environment), quantaro::kConvertToolFailure)
            << c.arguments.join(' ').toStdString();
        EXPECT_EQ(QString::fromUtf8(err.data()), QString::fromUtf8(c.message)) << c.arguments.join(' ').toStdString();
    }
}

} // namespace
