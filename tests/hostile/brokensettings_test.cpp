#include "app/settingsstore.h"
#include "support/readonlyfolder.h"
#include "testpaths.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <cerrno>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace quantaro;

namespace {

const QString kLanguage = QStringLiteral("quantaro_en.so");

QByteArray readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeAll(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
    file.write(bytes);
}

struct DamagedFile
{
    const char* what;
    QByteArray bytes;
    /** The values that could still be read: NewInstall 0 and the language name. */
    bool readable;
    bool damaged;
};

const QByteArray kSound = "[Settings]\nNewInstall=0\nLanguageDLLName=quantaro_en.so\n";

class DamagedSettingsTest : public ::testing::TestWithParam<DamagedFile>
{
protected:
    QString iniPath() const { return m_dir.filePath(QStringLiteral("Quantaro.ini")); }
    QTemporaryDir m_dir;
};

// Whatever the file holds, the program starts; the next write keeps every value that was still
// readable, and a file that QSettings could not read whole is kept aside byte for byte first.
TEST_P(DamagedSettingsTest, StartsWithWhatIsReadableAndKeepsTheDamagedFileAside)
{
    const DamagedFile& c = GetParam();
    writeAll(iniPath(), c.bytes);
    {
        SettingsStore store(iniPath());
        EXPECT_EQ(store.getInt(settings::kSettings, settings::kNewInstall, settings::kNewInstallDefault),
                  c.readable ? 0 : settings::kNewInstallDefault);
        EXPECT_FALSE(store.getBinary(settings::kSettings, settings::kLastCurrencyUpdate).has_value());
        EXPECT_FALSE(QFile::exists(iniPath() + QStringLiteral(".bak"))) << "a read alone rewrites nothing";
        EXPECT_TRUE(store.putString(settings::kCurrencies, QStringLiteral("GBP"), QStringLiteral("1.17")));
    }
    SettingsStore reopened(iniPath());
    EXPECT_EQ(reopened.getString(settings::kCurrencies, QStringLiteral("GBP")), QStringLiteral("1.17"));
    EXPECT_EQ(reopened.getString(settings::kSettings, settings::kLanguageDllName), c.readable ? kLanguage : QString());
    EXPECT_EQ(QFile::exists(iniPath() + QStringLiteral(".bak")), c.damaged);
    if (c.damaged) {
        EXPECT_EQ(readAll(iniPath() + QStringLiteral(".bak")), c.bytes);
    }
    // The rewritten file is sound: writing again makes no second backup.
    EXPECT_TRUE(reopened.putInt(settings::kSettings, settings::kNewInstall, 0));
    EXPECT_FALSE(QFile::exists(iniPath() + QStringLiteral(".bak.1")));
}

// A line of binary bytes, its NUL included: sized from the array, never counted by hand.
QByteArray garbageLine()
{
    static const char kGarbage[] = "\x00\xff\xfe garbage [[[ = = \x01\x02\n";
    return QByteArray(kGarbage, sizeof kGarbage - 1);
}

INSTANTIATE_TEST_SUITE_P(Files, DamagedSettingsTest,
                         ::testing::Values(DamagedFile{"sound", kSound, true, false},
                                           DamagedFile{"empty", QByteArray(), false, false},
                                           DamagedFile{"cut inside a section header", kSound + "[Curren", true, true},
                                           DamagedFile{"cut inside a value name", kSound + "LastCurr", true, true},
                                           DamagedFile{"cut inside a byte string",
                                                       kSound + "LastCurrencyUpdate=@ByteArray(\\0\\0", true, true},
                                           DamagedFile{"binary garbage between sections",
                                                       kSound + garbageLine() + "[Currencies]\nUSD=0.9\n", true, true},
                                           DamagedFile{"nothing but binary garbage",
                                                       QByteArray("\x7f"
                                                                  "ELF\x02\x01\x01\x00\x00\x00\x00\xff\xfe\x10[\x01",
                                                                  16),
                                                       false, true}),
                         [](const ::testing::TestParamInfo<DamagedFile>& param) {
                             QString name = QString::fromLatin1(param.param.what);
                             name.replace(QLatin1Char(' '), QLatin1Char('_'));
                             return name.toStdString();
                         });

TEST(SettingsBackupTest, AnEarlierBackupIsNeverOverwrittenAndTheSameDamageIsKeptOnce)
{
    QTemporaryDir dir;
    const QString ini = dir.filePath(QStringLiteral("q.ini"));
    const QByteArray older = "[Settings\nfrom an earlier accident\n";
    const QByteArray damaged = kSound + "[Currencies\nUSD=0.9\n";
    writeAll(ini + QStringLiteral(".bak"), older);
    for (int start = 0; start < 2; ++start) {
        writeAll(ini, damaged);
        SettingsStore store(ini);
        EXPECT_TRUE(store.putInt(settings::kSettings, settings::kNewInstall, 0));
    }
    EXPECT_EQ(readAll(ini + QStringLiteral(".bak")), older);
    EXPECT_EQ(readAll(ini + QStringLiteral(".bak.1")), damaged);
    EXPECT_FALSE(QFile::exists(ini + QStringLiteral(".bak.2")));
}

TEST(SettingsBackupTest, WhenEveryBackupNameIsTakenOnlyTheLastGivesWay)
{
    QTemporaryDir dir;
    const QString ini = dir.filePath(QStringLiteral("q.ini"));
    const auto backupName = [&ini](int n) {
        return ini + (n == 0 ? QStringLiteral(".bak") : QStringLiteral(".bak.%1").arg(n));
    };
    for (int n = 0; n < SettingsStore::kMaxBackups; ++n) {
        writeAll(backupName(n), "[old " + QByteArray::number(n));
    }
    writeAll(ini, kSound + "Truncat");
    SettingsStore store(ini);
    EXPECT_TRUE(store.putInt(settings::kSettings, settings::kNewInstall, 0));
    EXPECT_EQ(readAll(backupName(0)), "[old 0");
    EXPECT_EQ(readAll(backupName(SettingsStore::kMaxBackups - 2)),
              "[old " + QByteArray::number(SettingsStore::kMaxBackups - 2));
    EXPECT_EQ(readAll(backupName(SettingsStore::kMaxBackups - 1)), kSound + "Truncat");
}

struct UnusablePlace
{
    const char* what;
    /** Prepares the folder and answers the settings file's path in it. */
    QString (*prepare)(const QString& folder);
};

// The program runs with the defaults; every write says that it failed and changes nothing.
TEST(UnusableSettingsPlaceTest, ReadsGiveDefaultsAndWritesReportFailure)
{
    const UnusablePlace places[] = {
        {"the path is a folder",
         [](const QString& folder) {
             const QString path = folder + QStringLiteral("/q.ini");
             QDir().mkpath(path);
             return path;
         }},
        {"the folder is a file",
         [](const QString& folder) {
             QFile file(folder + QStringLiteral("/notafolder"));
             EXPECT_TRUE(file.open(QIODevice::WriteOnly));
             return folder + QStringLiteral("/notafolder/q.ini");
         }},
    };
    for (const UnusablePlace& place : places) {
        QTemporaryDir dir;
        const QString path = place.prepare(dir.path());
        SettingsStore store(path);
        EXPECT_EQ(store.getInt(settings::kSettings, settings::kNewInstall, settings::kNewInstallDefault),
                  settings::kNewInstallDefault)
            << place.what;
        EXPECT_FALSE(store.putInt(settings::kSettings, settings::kNewInstall, 0)) << place.what;
        EXPECT_FALSE(store.putString(settings::kSettings, settings::kLanguageDllName, kLanguage)) << place.what;
        EXPECT_FALSE(store.putBinary(settings::kSettings, settings::kLastCurrencyUpdate, QByteArray(8, '\1')))
            << place.what;
        EXPECT_EQ(store.getInt(settings::kSettings, settings::kNewInstall, settings::kNewInstallDefault),
                  settings::kNewInstallDefault)
            << place.what;
        EXPECT_EQ(store.getString(settings::kSettings, settings::kLanguageDllName), QString()) << place.what;
        EXPECT_FALSE(store.getBinary(settings::kSettings, settings::kLastCurrencyUpdate).has_value()) << place.what;
        EXPECT_FALSE(QFileInfo(path).isFile()) << place.what;
    }
}

// Qt's settings would open a FIFO and wait for its writer for ever: no window, no conversion.
TEST(UnusableSettingsPlaceTest, AFifoInThePlaceOfTheFileIsNeverWaitedOnAndIsMovedAside)
{
    constexpr int kEndMs = 10000;
    for (const bool throughLink : {false, true}) {
        QTemporaryDir dir;
        const QString folder = dir.filePath(QStringLiteral("Velmora"));
        ASSERT_TRUE(QDir().mkpath(folder));
        const QString ini = folder + QStringLiteral("/Quantaro.ini");
        const QString fifo = throughLink ? dir.filePath(QStringLiteral("fifo")) : ini;
        ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), S_IRUSR | S_IWUSR), 0);
        if (throughLink) {
            ASSERT_TRUE(QFile::link(fifo, ini));
        }
        QProcess convert;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("XDG_CONFIG_HOME"), dir.path());
        convert.setProcessEnvironment(environment);
        convert.start(QStringLiteral(QUANTARO_PROGRAM_DIR "/quantaro-convert"),
                      {QStringLiteral("--module"), QStringLiteral(QUANTARO_PROGRAM_DIR "/quantaro_en.so"),
                       QStringLiteral("LEN"), QStringLiteral("2"), QStringLiteral("km"), QStringLiteral("m")});
        const bool ended = convert.waitForFinished(kEndMs);
        if (!ended) {
            convert.kill();
            convert.waitForFinished(kEndMs);
        }
        ASSERT_TRUE(ended) << "quantaro-convert waits on the FIFO" << throughLink;
        EXPECT_EQ(convert.readAllStandardOutput(), QByteArray("2000\n"));

        SettingsStore store(ini);
        EXPECT_EQ(store.getInt(settings::kSettings, settings::kNewInstall, 1), 1) << "read as empty";
        EXPECT_TRUE(store.putInt(settings::kSettings, settings::kNewInstall, 0));
        EXPECT_EQ(store.getInt(settings::kSettings, settings::kNewInstall, 1), 0);
        EXPECT_TRUE(QFileInfo(ini).isFile() && !QFileInfo(ini).isSymLink());
        struct stat aside = {};
        EXPECT_EQ(::lstat(QFile::encodeName(ini + QStringLiteral(".bak")).constData(), &aside), 0);
        EXPECT_TRUE(throughLink ? S_ISLNK(aside.st_mode) : S_ISFIFO(aside.st_mode)) << "kept aside as it was";
    }
}

TEST(UnusableSettingsPlaceTest, AReadOnlyFolderKeepsItsFileAsItWas)
{
    QTemporaryDir dir;
    const QString ini = dir.filePath(QStringLiteral("q.ini"));
    writeAll(ini, kSound);
    {
        const test::ReadOnlyFolder readOnly(dir.path());
        if (!readOnly.why().isEmpty()) {
            GTEST_SKIP() << "the settings folder cannot be made read-only: " << readOnly.why().toStdString();
        }
        SettingsStore store(ini);
        EXPECT_EQ(store.getInt(settings::kSettings, settings::kNewInstall, 1), 0);
        EXPECT_FALSE(store.putInt(settings::kSettings, settings::kNewInstall, 1));
        EXPECT_EQ(store.getInt(settings::kSettings, settings::kNewInstall, 1), 0);
    }
    EXPECT_EQ(readAll(ini), kSound);
}

TEST(UnusableSettingsPlaceTest, AMissingFolderIsCreatedByTheFirstWrite)
{
    QTemporaryDir dir;
    const QString ini = dir.filePath(QStringLiteral("Velmora/deeper/q.ini"));
    SettingsStore store(ini);
    EXPECT_EQ(store.getInt(settings::kSettings, settings::kNewInstall, 1), 1);
    EXPECT_TRUE(store.putInt(settings::kSettings, settings::kNewInstall, 0));
    EXPECT_EQ(SettingsStore(ini).getInt(settings::kSettings, settings::kNewInstall, 1), 0);
}

// The folder vanishes under a running program and comes back: the write in between fails and its
// value is not shown; the writes before and after report success again.
TEST(SettingsWriteFailureTest, AFailedWriteLeavesTheOldValueAndLaterWritesSucceedAgain)
{
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("Velmora"));
    const QString ini = folder + QStringLiteral("/q.ini");
    SettingsStore store(ini);
    ASSERT_TRUE(store.putString(settings::kSettings, settings::kLanguageDllName, QStringLiteral("old.so")));

    ASSERT_TRUE(QDir(folder).removeRecursively());
    writeAll(folder, "a file where the folder was");
    EXPECT_FALSE(store.putString(settings::kSettings, settings::kLanguageDllName, QStringLiteral("new.so")));
    EXPECT_FALSE(store.putInt(settings::kSettings, settings::kNewInstall, 0));
    EXPECT_EQ(store.getString(settings::kSettings, settings::kLanguageDllName), QStringLiteral("old.so"));
    EXPECT_EQ(store.getInt(settings::kSettings, settings::kNewInstall, 1), 1);

    ASSERT_TRUE(QFile::remove(folder));
    EXPECT_TRUE(store.putString(settings::kCurrencies, QStringLiteral("USD"), QStringLiteral("0.92")));
    EXPECT_TRUE(store.putInt(settings::kSettings, settings::kViewResultSuffix, 2));

    SettingsStore reopened(ini);
    EXPECT_EQ(reopened.getString(settings::kCurrencies, QStringLiteral("USD")), QStringLiteral("0.92"));
    EXPECT_NE(reopened.getString(settings::kSettings, settings::kLanguageDllName), QStringLiteral("new.so"));
    EXPECT_EQ(reopened.getInt(settings::kSettings, settings::kNewInstall, 1), 1);
}

} // namespace

namespace {

/** A user other than root, as the one whose settings a "sudo quantaro" saves. */
constexpr uid_t kPerson = 65534;
constexpr gid_t kPersonsGroup = 65534;

struct stat statusOf(const QString& path)
{
    struct stat info = {};
    ::lstat(QFile::encodeName(path).constData(), &info);
    return info;
}

} // namespace

TEST(SettingsOwnershipTest, ASaveAsRootLeavesThePersonsFilesThePersons)
{
    if (::geteuid() != 0) {
        GTEST_SKIP() << "needs root, as sudo gives";
    }
    QTemporaryDir dir;
    const QString ini = dir.filePath(QStringLiteral("Quantaro.ini"));
    writeAll(ini, kSound);
    ASSERT_EQ(::chown(QFile::encodeName(ini).constData(), kPerson, kPersonsGroup), 0);
    ASSERT_EQ(::chown(QFile::encodeName(dir.path()).constData(), kPerson, kPersonsGroup), 0);
    SettingsStore store(ini);
    ASSERT_TRUE(store.putInt(settings::kSettings, settings::kNewInstall, 1));
    // A file that root makes in the person's folder (a first save) is the person's too.
    SettingsStore fresh(dir.filePath(QStringLiteral("Fresh.ini")));
    ASSERT_TRUE(fresh.putInt(settings::kSettings, settings::kNewInstall, 1));
    for (const QString& file : {ini, fresh.fileName()}) {
        EXPECT_EQ(statusOf(file).st_uid, kPerson) << file.toStdString();
        EXPECT_EQ(statusOf(file).st_gid, kPersonsGroup) << file.toStdString();
    }
}

TEST(SettingsLinkTest, ALinkToASettingsFileNotYetThereGetsItsTargetMade)
{
    QTemporaryDir dir;
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("synced")));
    const QString ini = dir.filePath(QStringLiteral("Quantaro.ini"));
    ASSERT_TRUE(QFile::link(QStringLiteral("synced/Quantaro.ini"), ini));
    {
        SettingsStore store(ini);
        EXPECT_TRUE(store.putString(settings::kSettings, settings::kLanguageDllName, kLanguage));
    }
    EXPECT_TRUE(QFileInfo(ini).isSymLink());
    EXPECT_TRUE(readAll(dir.filePath(QStringLiteral("synced/Quantaro.ini"))).contains(kLanguage.toUtf8()));

    // A link into a folder that is not there: the save says it failed, and the link stays.
    const QString lost = dir.filePath(QStringLiteral("Lost.ini"));
    ASSERT_TRUE(QFile::link(QStringLiteral("missing/Lost.ini"), lost));
    SettingsStore store(lost);
    EXPECT_FALSE(store.putString(settings::kSettings, settings::kLanguageDllName, kLanguage));
    EXPECT_EQ(store.lastWriteError(), ENOENT);
    EXPECT_TRUE(QFileInfo(lost).isSymLink());
}
