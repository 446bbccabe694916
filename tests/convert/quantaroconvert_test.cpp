#include "testpaths.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

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
        units.write("* test units\n"
                    "LEN;metre;$;$;0\n"
                    "LEN;inch;$/0.0254;$*0.0254;1\n"
                    "LEN;Inchworm;$;$;1\n"
                    "LEN;kilometre (km);$/1000;$*1000;0\n"
                    "LEN;megametre (Mm);$/1000000;$*1000000;0\n"
                    "CNY;Euro;$;$;EUR\n"
                    "CNY;Dollar;$/0.5;$*0.5;USD\n");
    }

    ToolRun run(const QStringList& arguments, bool withModule = true)
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

    // A value starting with "-" is a value; "inc" picks the exact match "inch" before prefix matches.
    const ToolRun negative =
        run({QStringLiteral("--notation"), QStringLiteral("f"), QStringLiteral("--precision"), QStringLiteral("2"),
             QStringLiteral("LEN"), QStringLiteral("-1"), QStringLiteral("inc"), QStringLiteral("metre")});
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
                                      "LEN\tmetre\t$\t$\t0\n"
                                      "LEN\tinch\t$/0.0254\t$*0.0254\t1\n"
                                      "LEN\tInchworm\t$\t$\t1\n"
                                      "LEN\tkilometre (km)\t$/1000\t$*1000\t0\n"
                                      "LEN\tmegametre (Mm)\t$/1000000\t$*1000000\t0\n"));
    const ToolRun money = run({QStringLiteral("--list"), QStringLiteral("cny")});
    EXPECT_EQ(money.out, QStringLiteral("CNY\tEuro\t$\t$\tEUR\nCNY\tDollar\t$/0.5\t$*0.5\tUSD\n"));
}

TEST_F(QuantaroConvertTest, UnitsAreFoundByNameThenPrefixThenSymbol)
{
    struct Case
    {
        const char* from;
        const char* to;
        const char* expected;
    };
    const Case cases[] = {
        {"km", "metre", "2000\n"},         // the symbol, when no name begins with it
        {"Mm", "km", "2000\n"},            // symbols keep their case
        {"KILOMETRE (KM)", "m", "2000\n"}, // names do not
    };
    for (const Case& c : cases) {
        const ToolRun converted = run({QStringLiteral("LEN"), QStringLiteral("2"), QString::fromUtf8(c.from),
                                       QString::fromUtf8(c.to)});
        EXPECT_EQ(converted.out, QString::fromUtf8(c.expected)) << c.from << " " << converted.err.toStdString();
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
    const ToolRun converted = run({QStringLiteral("CNY"), QStringLiteral("10"), QStringLiteral("dollar"),
                                   QStringLiteral("euro")});
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

TEST_F(QuantaroConvertTest, ReportsErrorsOnOneLineAndFails)
{
    const QList<QStringList> failures = {
        {QStringLiteral("XYZ"), QStringLiteral("1"), QStringLiteral("metre"), QStringLiteral("inch")},
        {QStringLiteral("LEN"), QStringLiteral("1"), QStringLiteral("furlong"), QStringLiteral("inch")},
        {QStringLiteral("--precision"), QStringLiteral("11"), QStringLiteral("LEN"), QStringLiteral("1"),
         QStringLiteral("metre"), QStringLiteral("inch")},
        {QStringLiteral("--notation"), QStringLiteral("x"), QStringLiteral("LEN"), QStringLiteral("1"),
         QStringLiteral("metre"), QStringLiteral("inch")},
        {QStringLiteral("--verbose"), QStringLiteral("LEN"), QStringLiteral("1"), QStringLiteral("metre"),
         QStringLiteral("inch")},
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

} // namespace
