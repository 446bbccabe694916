// The build step that writes a language's unit file from the shared factor table and the language's
// unit names, run as the build runs it (cmake -P) on small tables.
#include "testpaths.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <utility>

namespace quantaro {
namespace {

constexpr int kGeneratorTimeoutMs = 60000;

struct GeneratorRun
{
    int exitCode = -1;
    QString errors;
    QByteArray output;
    bool outputWritten = false;
};

GeneratorRun generate(const QByteArray& factors, const QByteArray& names)
{
    GeneratorRun run;
    QTemporaryDir dir;
    const QString factorPath = dir.filePath(QStringLiteral("factors.tsv"));
    const QString namePath = dir.filePath(QStringLiteral("unitnames.tsv"));
    const QString outputPath = dir.filePath(QStringLiteral("quantaro_xx.dat"));
    for (const auto& [path, text] : {std::pair{factorPath, factors}, std::pair{namePath, names}}) {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size()) {
            return run;
        }
    }
    QProcess process;
    process.start(QStringLiteral(QUANTARO_CMAKE_COMMAND),
                  {QStringLiteral("-DFACTORS=") + factorPath, QStringLiteral("-DNAMES=") + namePath,
                   QStringLiteral("-DOUTPUT=") + outputPath, QStringLiteral("-P"),
                   QStringLiteral(QUANTARO_UNIT_FILE_GENERATOR)});
    if (!process.waitForFinished(kGeneratorTimeoutMs)) {
        process.kill();
        process.waitForFinished();
        return run;
    }
    run.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    // CMake wraps long messages: join the lines so that a test can look for a phrase.
    run.errors = QString::fromUtf8(process.readAllStandardError()).simplified();
    QFile output(outputPath);
    run.outputWritten = output.exists();
    if (output.open(QIODevice::ReadOnly)) {
        run.output = output.readAll();
    }
    return run;
}

TEST(UnitFileGenerator, WritesUnitLinesInTableOrderWithNamesTagsAndComments)
{
    const QByteArray factors = "# the table's own comment\n"
                               "* Base: metre; [kept] as it stands.\n"
                               "len.metre\tLEN\t$\t$\n"
                               "\n"
                               "len.foot\tLEN\t$/0.3048\t$*0.3048\r\n"
                               "rad.gray\tRAD\t$\t$\t1\n";
    const QByteArray names = "# names\n"
                             "rad.gray\tgray (Gy)\n"
                             "len.foot\tfoot (ft)\r\n"
                             "len.metre\tmètre [m]\n";
    const GeneratorRun run = generate(factors, names);
    ASSERT_EQ(run.exitCode, 0) << run.errors.toStdString();
    EXPECT_EQ(run.output, QByteArray("* Base: metre; [kept] as it stands.\n"
                                     "LEN;mètre [m];$;$\n"
                                     "LEN;foot (ft);$/0.3048;$*0.3048\n"
                                     "RAD;gray (Gy);$;$;1\n"));
}

TEST(UnitFileGenerator, RefusesTablesThatDisagreeAndWritesNothing)
{
    const QByteArray factors = "len.metre\tLEN\t$\t$\nlen.foot\tLEN\t$/0.3048\t$*0.3048\n";
    const QByteArray names = "len.metre\tmetre\nlen.foot\tfoot\n";
    struct Case
    {
        const char* what;
        QByteArray factors;
        QByteArray names;
        const char* message;
    };
    const Case cases[] = {
        {"a unit without a name", factors, "len.metre\tmetre\n", "has no name for 1 unit(s) of"},
        {"a name without a unit", factors, names + "len.yard\tyard\n", "does not have: len.yard"},
        {"a key used twice", factors + "len.foot\tLEN\t$\t$\n", names, "key len.foot is used twice"},
        {"a key named twice", factors, names + "len.foot\tfeet\n", "key len.foot is named twice"},
        {"a name holding the field separator", factors, "len.metre\tmetre;m\nlen.foot\tfoot\n", "field separator"},
        {"a row without its formulas", "len.metre\tLEN\t$\n", "len.metre\tmetre\n", "expected key, code"},
        {"a name line without a tab", factors, "len.metre metre\nlen.foot\tfoot\n", "expected a key, a tab and a name"},
        {"a currency rate with an exponent", "cny.idr\tCNY\t$/5.8e-05\t$*5.8e-05\tIDR\n", "cny.idr\trupiah\n",
         "the rate of cny.idr is not in plain decimal notation"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const GeneratorRun run = generate(c.factors, c.names);
        EXPECT_NE(run.exitCode, 0);
        EXPECT_TRUE(run.errors.contains(QLatin1String(c.message))) << run.errors.toStdString();
        EXPECT_FALSE(run.outputWritten);
    }
}

TEST(UnitFileGenerator, NamesEveryMissingKeyAtOnce)
{
    const GeneratorRun run = generate("a.one\tLEN\t$\t$\na.two\tLEN\t$\t$\na.three\tLEN\t$\t$\n", "a.two\ttwo\n");
    EXPECT_NE(run.exitCode, 0);
    EXPECT_TRUE(run.errors.contains(QLatin1String("a.one, a.three"))) << run.errors.toStdString();
}

} // namespace
} // namespace quantaro
