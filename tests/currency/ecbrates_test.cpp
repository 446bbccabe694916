#include "currency/ecbrates.h"
#include "testpaths.h"
#include "tools/ratestool.h"

#include <QDateTime>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace quantaro {
namespace {

QByteArray dailyRates(const QByteArray& cubes)
{
    return R"(<?xml version="1.0" encoding="UTF-8"?>
<gesmes:Envelope xmlns:gesmes="http://www.gesmes.org/xml/2002-08-01" xmlns="http://www.ecb.int/vocabulary/2002-08-01/eurofxref">
	<gesmes:subject>Reference rates</gesmes:subject>
	<gesmes:Sender><gesmes:name>European Central Bank</gesmes:name></gesmes:Sender>
	<Cube>
		<Cube time='2024-05-02'>
)" + cubes +
           R"(
		</Cube>
	</Cube>
</gesmes:Envelope>
)";
}

const QByteArray kSample = dailyRates(R"(<Cube currency='USD' rate='1.0702'/>
<Cube currency='JPY' rate='164.62'/>
<Cube currency='GBP' rate='0.85550'/>
<Cube currency='IDR' rate='17079.71'/>
<Cube currency='XAA' rate='0.0000001'/>)");
// Rates are plain decimal: an exponent would not survive a person's edit of the rate.
const QByteArray kSampleLines = "USD;0.934404784152495\nJPY;0.00607459603936338\nGBP;1.16890707188778\n"
                                "IDR;0.0000585490034666865\nXAA;10000000\n";

TEST(EcbRatesTest, EachCurrencyBecomesALineWithTheValueOfOneUnitInEuro)
{
    EXPECT_EQ(ecbRatesToRateFile(kSample), kSampleLines);
}

TEST(EcbRatesTest, UnusableEntriesAreLeftOut)
{
    const QByteArray xml = dailyRates(R"(<Cube currency='USD' rate='0'/>
<Cube currency='AAA' rate='-2'/>
<Cube currency='BBB' rate='abc'/>
<Cube currency='CCC'/>
<Cube rate='2'/>
<Cube currency='' rate='2'/>
<Cube currency='D;D' rate='2'/>
<Cube currency='E/E' rate='2'/>
<Cube currency='F&#10;F' rate='2'/>
<Cube currency='GGG' rate='1e-320'/>
<Cube currency='HHH' rate=' 4 '/>
<Cube currency='III' rate='1e300'/>
<Cube currency='JJJ' rate='1e-300'/>
<Cube currency='KKK' rate='1e-100'/>)");
    // E/E passes here: the rate line handling refuses it as a value name later.
    // III and JJJ would be rate lines of over 300 digits, longer than the rate reader takes.
    EXPECT_EQ(ecbRatesToRateFile(xml), QByteArray("E/E;0.5\nHHH;0.25\nKKK;1" + QByteArray(100, '0') + "\n"));
}

TEST(EcbRatesTest, WellFormedXmlWithoutRatesGivesAnEmptyFileAndBrokenXmlNothing)
{
    EXPECT_EQ(ecbRatesToRateFile("<?xml version='1.0'?><root/>"), QByteArray());
    EXPECT_EQ(ecbRatesToRateFile(kSample.left(kSample.size() / 2)), std::nullopt);
    EXPECT_EQ(ecbRatesToRateFile("USD;0.92\n"), std::nullopt);
    EXPECT_EQ(ecbRatesToRateFile(""), std::nullopt);
}

class RatesToolTest : public ::testing::Test
{
protected:
    int runTool(const QStringList& arguments, const QByteArray& input = {})
    {
        QProcess tool;
        tool.start(QStringLiteral(QUANTARO_PROGRAM_DIR "/quantaro-rates"), arguments);
        EXPECT_TRUE(tool.waitForStarted());
        tool.write(input);
        tool.closeWriteChannel();
        EXPECT_TRUE(tool.waitForFinished());
        m_output = tool.readAllStandardOutput();
        return tool.exitStatus() == QProcess::NormalExit ? tool.exitCode() : -1;
    }
    QString path(const char* name) const { return m_dir.filePath(QString::fromLatin1(name)); }

    QTemporaryDir m_dir;
    QByteArray m_output;
};

TEST_F(RatesToolTest, WritesTheRateFileOfTheProgram)
{
    QFile xml(path("daily.xml"));
    ASSERT_TRUE(xml.open(QIODevice::WriteOnly));
    xml.write(kSample);
    xml.close();

    EXPECT_EQ(runTool({path("daily.xml"), path("CurrenciesUpdate.cvf")}), 0);

    QFile rates(path("CurrenciesUpdate.cvf"));
    ASSERT_TRUE(rates.open(QIODevice::ReadOnly));
    EXPECT_EQ(rates.readAll(), kSampleLines);
}

TEST_F(RatesToolTest, ReadsStandardInputAndRefusesWhatHoldsNoRates)
{
    EXPECT_EQ(runTool({}, kSample), 0);
    EXPECT_EQ(m_output, kSampleLines);

    EXPECT_NE(runTool({QStringLiteral("-"), path("out.cvf")}, "<html>Service unavailable</html>"), 0);
    EXPECT_FALSE(QFile::exists(path("out.cvf")));
    EXPECT_NE(runTool({path("missing.xml")}), 0);
}

} // namespace
} // namespace quantaro

namespace quantaro {
namespace {

// quantaro-rates with the bank's XML and the open source's JSON: the same merge as the program's.
struct BothInputsCase
{
    const char* what;
    const char* xml;    // nullptr: no such file
    const char* json;   // nullptr: no such file
    const char* before; // the rate file it replaces, nullptr: none
    int status;
    const char* after; // the rate file afterwards, nullptr: none
};

TEST(RatesToolBothInputsTest, WritesTheMergeAndKeepsWhatAFailedSourceGaveBefore)
{
    const QDate today(2026, 12, 10);
    const char* bank = "<Cube><Cube time='2026-12-09'><Cube currency='USD' rate='1.25'/></Cube></Cube>";
    const char* open = R"({"date":"2026-12-10","eur":{"usd":1.3,"aed":4,"jpy":160,"eur":1}})";
    const char* oldOpen = R"({"date":"2026-11-20","eur":{"aed":4}})";
    const BothInputsCase cases[] = {
        {"both", bank, open, nullptr, kRatesToolOk,
         "USD;0.8;2026-12-09\nAED;0.25;2026-12-10\nJPY;0.00625;2026-12-10\n"},
        {"open source missing: yesterday's lines stay", bank, nullptr,
         "USD;0.7;2026-12-08\nAED;0.26;2026-12-08\nEUR;2;2026-12-08\nX/Y;2;2026-12-08\nGBP;1.1\n", kRatesToolOk,
         "USD;0.8;2026-12-09\nAED;0.26;2026-12-08\n"},
        {"open source three weeks old", bank, oldOpen, nullptr, kRatesToolOk, "USD;0.8;2026-12-09\n"},
        {"bank missing", nullptr, open, nullptr, kRatesToolOk,
         "AED;0.25;2026-12-10\nJPY;0.00625;2026-12-10\nUSD;0.769230769230769;2026-12-10\n"},
        {"neither usable: the old file stays", "<html>", oldOpen, "USD;0.7;2026-12-08\n", kRatesToolNotRates,
         "USD;0.7;2026-12-08\n"},
        {"neither readable", nullptr, nullptr, nullptr, kRatesToolReadFailed, nullptr},
    };
    for (const BothInputsCase& c : cases) {
        QTemporaryDir dir;
        auto put = [&dir](const char* name, const char* text) {
            QFile file(dir.filePath(QString::fromLatin1(name)));
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
            file.write(text);
        };
        if (c.xml) {
            put("daily.xml", c.xml);
        }
        if (c.json) {
            put("eur.json", c.json);
        }
        if (c.before) {
            put("out.cvf", c.before);
        }
        EXPECT_EQ(runRatesTool({dir.filePath("daily.xml"), dir.filePath("eur.json"), dir.filePath("out.cvf")}, today),
                  c.status)
            << c.what;
        QFile out(dir.filePath("out.cvf"));
        EXPECT_EQ(out.exists(), c.after != nullptr) << c.what;
        if (c.after && out.open(QIODevice::ReadOnly)) {
            EXPECT_EQ(out.readAll(), QByteArray(c.after)) << c.what;
        }
    }
}

TEST_F(RatesToolTest, TakesBothInputsAndStandardInputForOne)
{
    const QByteArray day = QDateTime::currentDateTimeUtc().date().toString(Qt::ISODate).toLatin1();
    QFile json(path("eur.json"));
    ASSERT_TRUE(json.open(QIODevice::WriteOnly));
    json.write(R"({"date":")" + day + R"(","eur":{"aed":4}})");
    json.close();

    EXPECT_EQ(runTool({"-", path("eur.json"), "-"},
                      "<Cube><Cube time='" + day + "'><Cube currency='USD' rate='1.25'/></Cube></Cube>"),
              0);
    EXPECT_EQ(m_output, "USD;0.8;" + day + "\nAED;0.25;" + day + "\n");
    EXPECT_EQ(runTool({"-", "-", "-"}), kRatesToolUsage);
}

} // namespace
} // namespace quantaro
