// A full or failing disk under every writer: the old file stays byte for byte and the failure is
// said, through the settings store, the rate download with its connection run, quantaro-rates, the
// notification registrations and the picture cache.
#include "app/cconverterapp.h"
#include "app/connectionrunmode.h"
#include "app/settingsstore.h"
#include "currency/ratedownloader.h"
#include "platform/curlhttpclient.h"
#include "platform/filenotificationservice.h"
#include "support/failingwrites.h"
#include "support/fakes.h"
#include "support/readonlyfolder.h"
#include "support/scriptedhttpserver.h"
#include "support/virtualclock.h"
#include "testpaths.h"
#include "tools/ratestool.h"
#include "ui/picturecache.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <csignal>
#include <gtest/gtest.h>
#include <sys/statvfs.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace quantaro;
using namespace quantaro::test;

namespace {

constexpr qint64 kPage = 4096;
constexpr int kRateLines = 40;
constexpr int kSmallDiskRates = 150;
constexpr int kManyRates = 250;
constexpr int kManyCurrencies = 200;
constexpr int kManyRegistrations = 20;
constexpr int kPictureSide = 64;
const QString kIniName = QStringLiteral("Quantaro.ini");
const QString kLongRate = QStringLiteral("0.90003512345678");

QByteArray readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    ASSERT_EQ(file.write(bytes), bytes.size());
}

/** A settings file of about 3.4 KB as a person's looks after a while: a language, a server, the
 *  remembered units of every category and some rates. */
void fillSettings(SettingsStore& store, const QString& server, int rates = kSmallDiskRates)
{
    SettingsChanges changes;
    changes.putString(settings::kSettings, settings::kLanguageDllName, QStringLiteral("quantaro_en.so"));
    changes.putInt(settings::kSettings, settings::kNewInstall, 0);
    changes.putString(settings::kSettings, settings::kUpdateServer, server);
    for (const char* code : {"CNY", "LEN", "ARE", "VOL", "MAS", "SPD", "TMP", "PSN", "TME", "ANG",
                             "NRJ", "PWR", "RAD", "FCE", "RSD", "CPR", "VSY", "LUX", "MAG", "TQE"}) {
        const QString c = QString::fromLatin1(code);
        changes.putString(settings::kSettings, settings::fromName(c, std::nullopt),
                          QStringLiteral("a remembered unit"));
        changes.putString(settings::kSettings, settings::toName(c, std::nullopt), QStringLiteral("another unit (x)"));
        changes.putInt(settings::kSettings, c + settings::kViewResultSuffix, 1);
        changes.putInt(settings::kSettings, c + settings::kPrecisionResultSuffix, 8);
    }
    for (int i = 0; i < rates; ++i) {
        changes.putString(settings::kCurrencies, QStringLiteral("R%1").arg(i), QStringLiteral("1.%1").arg(i));
    }
    ASSERT_TRUE(store.write(changes));
}

/** The bank's reference rates of many currencies: a rate file longer than a page. */
QByteArray bankRates()
{
    QByteArray xml = "<Cube>";
    for (int i = 0; i < kManyCurrencies; ++i) {
        xml += "<Cube currency='X" + QByteArray::number(i) + "' rate='1." + QByteArray::number(i) + "'/>";
    }
    return xml + "</Cube>";
}

QByteArray rateFile()
{
    QByteArray body;
    for (int i = 0; i < kRateLines; ++i) {
        body += QStringLiteral("C%1;%2\r\n").arg(i, 2, 10, QLatin1Char('0')).arg(kLongRate).toLatin1();
    }
    return body;
}

/** The connection run with its real download against a loopback server, on a virtual clock. */
ConnectionRunResult connectionRun(SettingsStore& store)
{
    VirtualClock clock;
    ScriptedPeerProbe peers;
    peers.answer = [](PeerKey) { return true; };
    CurlHttpClient http(settings::kApplication);
    RateDownloader downloader(store, http, clock);
    ConnectionRunMode mode(store, clock, peers, [&downloader] { return downloader.download(); });
    return mode.run();
}

struct Failure
{
    friend void PrintTo(const Failure& f, std::ostream* os) { *os << f.what; }
    const char* what;
    FailingWrites::Stage stage;
    qint64 bytes;
    int error;
};

class FullDiskTest : public ::testing::TestWithParam<Failure>
{
protected:
    QString path(const QString& name) const { return m_dir.filePath(name); }
    QStringList files() const { return QDir(m_dir.path()).entryList(QDir::Files | QDir::Hidden); }
    FailingWrites failing() const { return FailingWrites(GetParam().stage, GetParam().bytes, GetParam().error); }

    QTemporaryDir m_dir;
};

TEST_P(FullDiskTest, ASettingsWriteKeepsTheOldFileAndSaysItFailed)
{
    QByteArray old;
    {
        SettingsStore store(path(kIniName));
        fillSettings(store, QStringLiteral("http://127.0.0.1:1"), kManyRates);
        old = readAll(path(kIniName));
    }
    ASSERT_GT(old.size(), kPage);
    SettingsStore store(path(kIniName));
    {
        const FailingWrites disk = failing();
        EXPECT_FALSE(store.putString(settings::kCurrencies, QStringLiteral("R1"), kLongRate));
        EXPECT_EQ(store.lastWriteError(), GetParam().error);
    }
    EXPECT_EQ(readAll(path(kIniName)), old);
    EXPECT_EQ(files(), QStringList{kIniName}) << "nothing left beside it";
    EXPECT_EQ(store.getString(settings::kCurrencies, QStringLiteral("R1")), QStringLiteral("1.1"));
    EXPECT_TRUE(store.putString(settings::kCurrencies, QStringLiteral("R1"), kLongRate)) << "the disk is back";
}

TEST_P(FullDiskTest, ADownloadThatStoredNothingFailsAndIsTriedAgain)
{
    ScriptedHttpServer server(httpResponse(rateFile()));
    ASSERT_TRUE(server.listening());
    {
        SettingsStore store(path(kIniName));
        fillSettings(store, server.baseUrl(), kManyRates);
    }
    const QByteArray old = readAll(path(kIniName));
    SettingsStore store(path(kIniName));
    const FailingWrites disk = failing();

    const ConnectionRunResult result = connectionRun(store);

    EXPECT_EQ(result.outcome, ConnectionOutcome::GaveUp);
    EXPECT_GT(result.attempts, 1);
    EXPECT_EQ(readAll(path(kIniName)), old);
    EXPECT_EQ(lastCurrencyUpdate(store), 0);
}

TEST_P(FullDiskTest, QuantaroRatesKeepsTheOldRateFileAndFails)
{
    writeFile(path(QStringLiteral("in.xml")), bankRates());
    writeFile(path(QStringLiteral("out.cvf")), "USD;0.9\n");
    {
        const FailingWrites disk = failing();
        EXPECT_EQ(runRatesTool({path(QStringLiteral("in.xml")), path(QStringLiteral("out.cvf"))}),
                  kRatesToolWriteFailed);
    }
    EXPECT_EQ(readAll(path(QStringLiteral("out.cvf"))), "USD;0.9\n");
    EXPECT_EQ(files(), (QStringList{QStringLiteral("in.xml"), QStringLiteral("out.cvf")}));
}

TEST_P(FullDiskTest, QuantaroRatesWithBothSourcesKeepsTheOldRateFileAndFails)
{
    const QDate today(2026, 12, 10);
    writeFile(path(QStringLiteral("in.xml")),
              "<Cube><Cube time='2026-12-09'><Cube currency='USD' rate='1.25'/></Cube></Cube>");
    // Enough currencies that the file outgrows the failures' first page and the quota's bytes.
    QByteArray json = R"({"date":"2026-12-10","eur":{"aed":4)";
    for (char a = 'a'; a <= 'z'; ++a) {
        for (char b = 'a'; b <= 'z'; ++b) {
            json += QByteArray(",\"q") + a + b + "\":1.2345";
        }
    }
    writeFile(path(QStringLiteral("eur.json")), json + "}}");
    writeFile(path(QStringLiteral("out.cvf")), "USD;0.9;2026-12-01\n");
    {
        const FailingWrites disk = failing();
        EXPECT_EQ(runRatesTool({path(QStringLiteral("in.xml")), path(QStringLiteral("eur.json")),
                                path(QStringLiteral("out.cvf"))},
                               today),
                  kRatesToolWriteFailed);
    }
    EXPECT_EQ(readAll(path(QStringLiteral("out.cvf"))), "USD;0.9;2026-12-01\n");
    EXPECT_EQ(files(), (QStringList{QStringLiteral("eur.json"), QStringLiteral("in.xml"), QStringLiteral("out.cvf")}));
}

TEST_P(FullDiskTest, ARegistrationThatCannotBeWrittenIsRefusedAndTheOldFileStays)
{
    const QString file = path(QStringLiteral("notifications.json"));
    const QDateTime start = QDateTime::fromSecsSinceEpoch(1'700'000'000, Qt::UTC);
    const QString arguments(300, u'a');
    FileNotificationService service(file);
    for (int i = 0; i < kManyRegistrations; ++i) {
        ASSERT_NE(service.registerApplication(notification::kCableConnectionEvent, QStringLiteral("/opt/q/quantaro"),
                                              arguments, start, start.addYears(1)),
                  notification::kNoHandle);
    }
    const QByteArray old = readAll(file);
    ASSERT_GT(old.size(), kPage);
    {
        const FailingWrites disk = failing();
        EXPECT_EQ(service.registerApplication(notification::kNetworkFunctionEvent, QStringLiteral("/opt/q/quantaro"),
                                              arguments, start, start),
                  notification::kNoHandle);
    }
    EXPECT_EQ(readAll(file), old);
    EXPECT_EQ(files(), QStringList{QStringLiteral("notifications.json")}) << "nothing left beside it";
}

TEST_P(FullDiskTest, APictureThatCannotBeKeptLeavesTheKeptOneAndNothingBeside)
{
    QImage blue(QSize(kPictureSide, kPictureSide), QImage::Format_ARGB32_Premultiplied);
    blue.fill(Qt::blue);
    QImage red = blue;
    red.fill(Qt::red);
    const QString key = QStringLiteral("picture");
    PictureCache(m_dir.path()).store(key, {blue.size(), blue});
    ASSERT_EQ(PictureCache(m_dir.path()).rendering(key, blue.size()), blue);

    const PictureCache cache(m_dir.path());
    {
        const FailingWrites disk = failing();
        cache.store(key, {red.size(), red});
        cache.store(QStringLiteral("other"), {red.size(), red});
    }
    // A cache is not flushed to the disk: a disk that fails only at the flush keeps it.
    const bool kept = GetParam().stage == FailingWrites::Stage::Flush;
    EXPECT_EQ(cache.rendering(key, red.size()), kept ? red : blue);
    EXPECT_EQ(files(), kept ? (QStringList{QStringLiteral("other.pic"), QStringLiteral("picture.pic")})
                            : QStringList{QStringLiteral("picture.pic")})
        << "nothing left beside it, and after a failure nothing more tried";
}

INSTANTIATE_TEST_SUITE_P(Failures, FullDiskTest,
                         ::testing::Values(Failure{"full at once", FailingWrites::Stage::Write, 0, ENOSPC},
                                           Failure{"full after a byte", FailingWrites::Stage::Write, 1, ENOSPC},
                                           Failure{"full after a page", FailingWrites::Stage::Write, kPage, ENOSPC},
                                           Failure{"over the quota", FailingWrites::Stage::Write, 3000, EDQUOT},
                                           Failure{"disk error at the flush", FailingWrites::Stage::Flush, 0, EIO},
                                           Failure{"error at the close", FailingWrites::Stage::Close, 0, EIO}));

TEST(FullDeviceTest, QuantaroRatesToAFullDeviceOrStandardOutputThereFails)
{
    if (!QFile::exists(QStringLiteral("/dev/full"))) {
        GTEST_SKIP() << "no /dev/full here";
    }
    QTemporaryDir dir;
    const QString input = dir.filePath(QStringLiteral("in.xml"));
    writeFile(input, "<Cube><Cube currency='USD' rate='1.0876'/></Cube>");
    for (const QStringList& arguments : {QStringList{input, QStringLiteral("/dev/full")}, QStringList{input}}) {
        QProcess tool;
        tool.setStandardOutputFile(QStringLiteral("/dev/full"));
        tool.start(QStringLiteral(QUANTARO_PROGRAM_DIR "/quantaro-rates"), arguments);
        ASSERT_TRUE(tool.waitForFinished());
        EXPECT_EQ(tool.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(tool.exitCode(), kRatesToolWriteFailed) << arguments.join(' ').toStdString();
        EXPECT_TRUE(tool.readAllStandardError().contains("cannot write")) << arguments.join(' ').toStdString();
    }
}

// Interrupted writes leave a new file beside the settings; the next start removes those and only those.
TEST(WriteLeftoversTest, TheNextStartRemovesOnlyTheSettingsWritersLeftovers)
{
    QTemporaryDir dir;
    const QStringList leftovers = {QStringLiteral("Quantaro.ini.QasImi"), QStringLiteral("Quantaro.ini.x9Y8z7")};
    const QStringList others = {QStringLiteral("Other.ini.QasImi"),    QStringLiteral("Quantaro.ini"),
                                QStringLiteral("Quantaro.ini.QasIm"),  QStringLiteral("Quantaro.ini.QasImi7"),
                                QStringLiteral("Quantaro.ini.bak"),    QStringLiteral("Quantaro.ini.bak.1"),
                                QStringLiteral("Quantaro.ini.backup"), QStringLiteral("Quantaro.ini.BEFORE")};
    for (const QString& name : leftovers + others) {
        writeFile(dir.filePath(name), "[Settings]\nNewInstall=0\n");
    }
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("Quantaro.ini.Folder")));
    SettingsStore store(dir.filePath(kIniName));
    storeLastCurrencyUpdate(store, VirtualClock().now());
    VirtualClock clock;
    ScriptedPeerProbe peers;
    AppServices services;
    services.settings = &store;
    services.clock = &clock;
    services.peers = &peers;
    CConverterApp app(services);

    app.startUp(kConnectionRunWord);

    QStringList kept = others;
    kept << QStringLiteral("Quantaro.ini.Folder");
    kept.sort();
    QStringList left = QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
    left.sort();
    EXPECT_EQ(left, kept);
}

// The case as it happened: a 16 KiB disk with two free pages under the settings, and a connection
// run downloading 40 rates.
TEST(SmallDiskTest, ANearlyFullDiskCutsNoSettingsAndNoRate)
{
    QTemporaryDir dir;
    const SmallDisk disk(dir.path(), "16k");
    if (!disk.why().isEmpty()) {
        GTEST_SKIP() << "no small disk: " << disk.why().toStdString();
    }
    ScriptedHttpServer server(httpResponse(rateFile()));
    ASSERT_TRUE(server.listening());
    const QString ini = dir.filePath(kIniName);
    {
        SettingsStore store(ini);
        fillSettings(store, server.baseUrl());
    }
    struct statvfs space = {};
    ASSERT_EQ(::statvfs(QFile::encodeName(dir.path()).constData(), &space), 0);
    const qint64 free = static_cast<qint64>(space.f_bavail) * static_cast<qint64>(space.f_bsize);
    writeFile(dir.filePath(QStringLiteral("filler")), QByteArray(free - 2 * kPage, 'x'));

    SettingsStore store(ini);
    const ConnectionRunResult result = connectionRun(store);

    EXPECT_EQ(result.outcome, ConnectionOutcome::GaveUp);
    EXPECT_GT(result.attempts, 1);
    SettingsStore reread(ini);
    EXPECT_EQ(reread.getString(settings::kSettings, settings::kLanguageDllName), QStringLiteral("quantaro_en.so"));
    EXPECT_EQ(reread.getInt(settings::kSettings, settings::kNewInstall, 1), 0);
    EXPECT_EQ(reread.getString(settings::kSettings, settings::kUpdateServer), server.baseUrl());
    EXPECT_EQ(reread.getString(settings::kSettings, QStringLiteral("TQE.To")), QStringLiteral("another unit (x)"));
    EXPECT_EQ(lastCurrencyUpdate(reread), 0);
    int stored = 0;
    for (int i = 0; i < kRateLines; ++i) {
        const QString code = QStringLiteral("C%1").arg(i, 2, 10, QLatin1Char('0'));
        if (reread.contains(settings::kCurrencies, code)) {
            ++stored;
            EXPECT_EQ(reread.getString(settings::kCurrencies, code), kLongRate) << code.toStdString();
        }
    }
    EXPECT_LT(stored, kRateLines);
    QStringList left = QDir(dir.path()).entryList(QDir::Files);
    left.sort();
    EXPECT_EQ(left, (QStringList{kIniName, QStringLiteral("filler")}));
}

} // namespace

namespace {

/** Writes as a process killed in the middle of its write: the first bytes go out, then it dies. */
class KilledWhileWriting final : public WriteCalls
{
public:
    ssize_t write(int fd, const void* data, size_t size) override
    {
        const ssize_t written = WriteCalls::write(fd, data, std::min(size, size_t{kPage}));
        ::raise(SIGKILL);
        return written;
    }
};

} // namespace

// A rate file in a folder a web server serves: a run killed while it writes leaves no full-size new
// file there, and a run finds and removes what an older one left where the file system could not
// keep the new file unnamed.
TEST(KilledWriterTest, QuantaroRatesKilledWhileWritingLeavesNothingBeside)
{
    QTemporaryDir dir;
    const QString input = dir.filePath(QStringLiteral("in.xml"));
    const QString output = dir.filePath(QStringLiteral("out.cvf"));
    writeFile(input, bankRates());
    writeFile(output, "USD;0.9\n");
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        static KilledWhileWriting killed;
        WriteCalls::install(&killed);
        runRatesTool({input, output});
        ::_exit(0);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status));
    const QStringList inputs = {QStringLiteral("in.xml"), QStringLiteral("out.cvf")};
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), inputs);
    EXPECT_EQ(readAll(output), "USD;0.9\n");

    const QString stale = output + QStringLiteral(".Ab3dE9");
    const QString fresh = output + QStringLiteral(".Xy7zQ2");
    const QString persons = output + QStringLiteral(".backup");
    for (const QString& file : {stale, fresh, persons}) {
        writeFile(file, "USD;0.8\n");
    }
    const QDateTime longAgo = QDateTime::currentDateTimeUtc().addSecs(-3600);
    QFile staleFile(stale);
    ASSERT_TRUE(staleFile.open(QIODevice::ReadWrite) &&
                staleFile.setFileTime(longAgo, QFileDevice::FileModificationTime));
    staleFile.close();
    EXPECT_EQ(runRatesTool({input, output}), kRatesToolOk);
    EXPECT_FALSE(QFile::exists(stale));
    EXPECT_TRUE(QFile::exists(fresh)) << "a write that may still run keeps its file";
    EXPECT_TRUE(QFile::exists(persons));
}
