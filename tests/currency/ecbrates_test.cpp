#include "currency/ecbrates.h"
#include "testpaths.h"

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
