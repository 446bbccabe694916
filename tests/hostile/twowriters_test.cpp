#include "app/settingsstore.h"
#include "testpaths.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>
#include <cerrno>
#include <gtest/gtest.h>
#include <random>

using namespace quantaro;

namespace {

const QString kHammer = QStringLiteral(QUANTARO_TEST_HELPER_DIR "/settings_hammer");
constexpr int kValuesPerWriter = 60;
constexpr int kProcessWaitMs = 60000;
constexpr int kKills = 12;
constexpr int kMostRoundsBeforeKill = 12;
constexpr int kPayloadLength = 4096;
constexpr int kLetters = 26;
constexpr qint64 kMomentGuardMs = 5000;

class TwoWritersTest : public ::testing::Test
{
protected:
    QString iniPath() const { return m_dir.filePath(QStringLiteral("Quantaro.ini")); }
    QTemporaryDir m_dir;
};

// A writer that hangs holding the lock (stopped, or waiting on a dead disk) is never taken over by Qt
// while it lives. A window waits only a moment; its changes are kept, read back, and written once
// the lock is free.
TEST_F(TwoWritersTest, AWriterThatHangsWithTheLockCostsAMomentAndLosesNothing)
{
    QProcess holder;
    holder.start(QStringLiteral(QUANTARO_TEST_HELPER_DIR "/settings_writer"), {iniPath(), QStringLiteral("hold")});
    ASSERT_TRUE(holder.waitForReadyRead(kProcessWaitMs));
    ASSERT_EQ(holder.readAllStandardOutput().trimmed(), QByteArray("locked"));
    {
        SettingsStore store(iniPath());
        QElapsedTimer took;
        took.start();
        EXPECT_FALSE(store.putInt(settings::kSettings, QStringLiteral("Kept"), 7));
        // A hang guard, not a speed target: before, the window waited 40 s.
        EXPECT_LT(took.elapsed(), kMomentGuardMs);
        EXPECT_EQ(store.lastWriteError(), EBUSY);
        EXPECT_TRUE(store.hasPendingChanges());
        EXPECT_EQ(store.getInt(settings::kSettings, QStringLiteral("Kept"), 0), 7) << "read back while kept";
        EXPECT_FALSE(store.putString(settings::kSettings, QStringLiteral("Later"), QStringLiteral("x")));
        EXPECT_FALSE(QFileInfo::exists(iniPath()));
        holder.kill();
        ASSERT_TRUE(holder.waitForFinished(kProcessWaitMs));
        store.sync();
        EXPECT_FALSE(store.hasPendingChanges());
    }
    const SettingsStore reread(iniPath());
    EXPECT_EQ(reread.getInt(settings::kSettings, QStringLiteral("Kept"), 0), 7);
    EXPECT_EQ(reread.getString(settings::kSettings, QStringLiteral("Later")), QStringLiteral("x"));
}

// The window process keeps its settings while the connection run mode stores rates, both writing
// as fast as they can: every value of both is in the file at the end.
TEST_F(TwoWritersTest, ConcurrentWritersOfDifferentValuesLoseNothing)
{
    {
        SettingsStore store(iniPath());
        ASSERT_TRUE(store.putString(settings::kSettings, settings::kLanguageDllName, QStringLiteral("en.so")));
    }
    QProcess window;
    QProcess connection;
    window.start(kHammer,
                 {iniPath(), settings::kSettings, QStringLiteral("LEN.From."), QString::number(kValuesPerWriter)});
    connection.start(kHammer,
                     {iniPath(), settings::kCurrencies, QStringLiteral("C"), QString::number(kValuesPerWriter)});
    ASSERT_TRUE(window.waitForStarted());
    ASSERT_TRUE(connection.waitForStarted());
    window.write("go\n");
    connection.write("go\n");
    ASSERT_TRUE(window.waitForFinished(kProcessWaitMs));
    ASSERT_TRUE(connection.waitForFinished(kProcessWaitMs));
    EXPECT_EQ(window.exitCode(), 0) << "a write reported failure";
    EXPECT_EQ(connection.exitCode(), 0) << "a write reported failure";

    SettingsStore store(iniPath());
    int missing = 0;
    for (int i = 0; i < kValuesPerWriter; ++i) {
        const QString number = QString::number(i);
        missing += store.getString(settings::kSettings, QStringLiteral("LEN.From.") + number) != number;
        missing += store.getString(settings::kCurrencies, QStringLiteral("C") + number) != number;
    }
    EXPECT_EQ(missing, 0);
    EXPECT_EQ(store.getString(settings::kSettings, settings::kLanguageDllName), QStringLiteral("en.so"));
}

// A writer killed at any moment leaves a file that reads back whole: every other value as it was,
// and the value being rewritten as one complete round, never a mixture.
TEST_F(TwoWritersTest, AWriterKilledMidWriteLeavesTheOldOrTheNewStateWhole)
{
    {
        SettingsStore store(iniPath());
        for (int i = 0; i < kValuesPerWriter; ++i) {
            ASSERT_TRUE(store.putString(settings::kCurrencies, QStringLiteral("C%1").arg(i), QString::number(i)));
        }
    }
    std::mt19937 random(20240612); // fixed, so a failure can be repeated
    std::uniform_int_distribution<int> rounds(1, kMostRoundsBeforeKill);
    int lastRound = 0;
    for (int kill = 0; kill < kKills; ++kill) {
        QProcess writer;
        writer.start(kHammer, {iniPath(), settings::kSettings, QStringLiteral("State"), QStringLiteral("cycle")});
        ASSERT_TRUE(writer.waitForStarted());
        // Rounds are printed once written; the kill lands wherever the writer then is.
        const int wanted = rounds(random);
        int written = 0;
        while (written < wanted && writer.waitForReadyRead(kProcessWaitMs)) {
            while (writer.canReadLine()) {
                writer.readLine();
                ++written;
            }
        }
        writer.kill();
        ASSERT_TRUE(writer.waitForFinished(kProcessWaitMs));
        ASSERT_GE(written, wanted) << "the writer stopped early";

        QSettings raw(iniPath(), QSettings::IniFormat);
        EXPECT_EQ(raw.status(), QSettings::NoError) << "after kill " << kill;
        SettingsStore store(iniPath());
        const QString state = store.getString(settings::kSettings, QStringLiteral("State"));
        const qsizetype colon = state.indexOf(QLatin1Char(':'));
        ASSERT_GT(colon, 0) << "after kill " << kill;
        const int round = state.left(colon).toInt();
        EXPECT_GE(round, written) << "a round reported as written is missing";
        EXPECT_EQ(state.mid(colon + 1), QString(kPayloadLength, QChar(u'a' + round % kLetters)))
            << "after kill " << kill;
        lastRound = round;
        int changed = 0;
        for (int i = 0; i < kValuesPerWriter; ++i) {
            changed += store.getString(settings::kCurrencies, QStringLiteral("C%1").arg(i)) != QString::number(i);
        }
        EXPECT_EQ(changed, 0) << "after kill " << kill;
        // The killed writer's lock does not block the next one.
        EXPECT_TRUE(store.putInt(settings::kSettings, QStringLiteral("Kills"), kill + 1));
    }
    EXPECT_GT(lastRound, 0);
}

} // namespace
