#include "app/cconverterapp.h"
#include "app/connectionrunmode.h"
#include "app/settingsstore.h"
#include "platform/peerprobe.h"
#include "support/fakes.h"
#include "support/virtualclock.h"

#include "testpaths.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtEndian>
#include <csignal>
#include <gtest/gtest.h>

using namespace quantaro;
using namespace quantaro::test;

namespace {

constexpr int64_t kStart = 1'700'000'000;

QByteArray timeStamp(int64_t seconds)
{
    QByteArray bytes(8, '\0');
    qToLittleEndian<qint64>(seconds, bytes.data());
    return bytes;
}

class ConnectionRunModeTest : public ::testing::Test
{
protected:
    ConnectionRunModeTest() : m_store(m_dir.filePath(QStringLiteral("q.ini"))), m_clock(kStart) {}

    void setLastUpdate(int64_t seconds)
    {
        m_store.putBinary(settings::kSettings, settings::kLastCurrencyUpdate, timeStamp(seconds));
    }
    ConnectionRunResult run()
    {
        ConnectionRunMode mode(m_store, m_clock, m_peers, [this] {
            m_downloadTimesMs.push_back(m_clock.nowMs());
            return m_downloadSucceeds;
        });
        return mode.run();
    }

    QTemporaryDir m_dir;
    SettingsStore m_store;
    VirtualClock m_clock;
    ScriptedPeerProbe m_peers;
    bool m_downloadSucceeds = true;
    std::vector<int64_t> m_downloadTimesMs;
};

} // namespace

TEST(RunModeTest, CommandLineAndNewInstallPickTheRunMode)
{
    struct Case
    {
        QString firstArgument;
        std::optional<int> newInstall;
        RunMode expected;
    };
    const Case cases[] = {
        {QStringLiteral("AppRunUpdateConnect"), 0, RunMode::Connection},
        // Only the whole first argument: a unit name or value that holds the word starts no download.
        {QStringLiteral("x AppRunUpdateConnect y"), 1, RunMode::FirstRun},
        {QStringLiteral("--fooAppRunUpdateConnectbar"), std::nullopt, RunMode::FirstRun},
        {QStringLiteral("LEN;AppRunUpdateConnect;x;1;1"), 0, RunMode::Normal},
        {QStringLiteral(" AppRunUpdateConnect"), 0, RunMode::Normal},
        {QStringLiteral("apprunupdateconnect"), 0, RunMode::Normal},
        {QString(), std::nullopt, RunMode::FirstRun},
        {QString(), 1, RunMode::FirstRun},
        {QString(), -3, RunMode::FirstRun},
        {QString(), 0, RunMode::Normal},
    };
    for (const Case& c : cases) {
        QTemporaryDir dir;
        SettingsStore store(dir.filePath(QStringLiteral("q.ini")));
        if (c.newInstall) {
            store.putInt(settings::kSettings, settings::kNewInstall, *c.newInstall);
        }
        EXPECT_EQ(chooseRunMode(c.firstArgument, store), c.expected) << c.firstArgument.toStdString();
    }
}

TEST_F(ConnectionRunModeTest, AgeOfTheLastUpdateDecidesWhetherToGoOn)
{
    struct Case
    {
        std::optional<int64_t> lastUpdate;
        bool proceeds;
    };
    const Case cases[] = {
        {std::nullopt, true},
        {kStart - 28800, true},
        {kStart - 28799, false},
        {kStart + 3600, false},
        {std::numeric_limits<int64_t>::max(), false},
    };
    for (const Case& c : cases) {
        QTemporaryDir dir;
        SettingsStore store(dir.filePath(QStringLiteral("q.ini")));
        if (c.lastUpdate) {
            store.putBinary(settings::kSettings, settings::kLastCurrencyUpdate, timeStamp(*c.lastUpdate));
        }
        VirtualClock clock(kStart);
        ScriptedPeerProbe peers;
        peers.answer = [](PeerKey) { return true; };
        int downloads = 0;
        const ConnectionRunResult result = ConnectionRunMode(store, clock, peers, [&] {
                                               ++downloads;
                                               return true;
                                           }).run();
        if (c.proceeds) {
            EXPECT_EQ(result.outcome, ConnectionOutcome::Downloaded);
            EXPECT_EQ(downloads, 1);
        } else {
            EXPECT_EQ(result.outcome, ConnectionOutcome::TooRecent);
            EXPECT_EQ(peers.asked, 0);
            EXPECT_TRUE(clock.sleeps.empty());
            EXPECT_EQ(downloads, 0);
        }
    }
}

TEST_F(ConnectionRunModeTest, AStampOfTheWrongSizeCountsAsNoUpdate)
{
    m_store.putBinary(settings::kSettings, settings::kLastCurrencyUpdate, QByteArray(4, '\x7f'));
    EXPECT_EQ(lastCurrencyUpdate(m_store), 0);
    m_peers.answer = [](PeerKey) { return true; };
    EXPECT_EQ(run().outcome, ConnectionOutcome::Downloaded);
}

TEST_F(ConnectionRunModeTest, WithoutAPeerForThreeMinutesNothingIsDownloaded)
{
    const ConnectionRunResult result = run();
    EXPECT_EQ(result.outcome, ConnectionOutcome::NoPeer);
    EXPECT_TRUE(m_downloadTimesMs.empty());
    // Two keys a turn, a turn every 2 s, for 180 s.
    EXPECT_EQ(m_peers.asked, 180);
    EXPECT_EQ(m_clock.now(), kStart + 180);
    EXPECT_EQ(m_clock.pumps, 90);
}

TEST_F(ConnectionRunModeTest, APeerOnTheSecondKeyIsEnough)
{
    m_peers.answer = [](PeerKey key) { return key == PeerKey::Desktop; };
    const ConnectionRunResult result = run();
    EXPECT_EQ(result.outcome, ConnectionOutcome::Downloaded);
    ASSERT_EQ(m_downloadTimesMs.size(), 1u);
    // First pause, one turn of 2 s, then the pause before downloading.
    EXPECT_EQ(m_downloadTimesMs[0], kStart * 1000 + 500 + 2000 + 3000);
    const std::vector<int> expectedSleeps = {500, 500, 500, 1000, 3000};
    EXPECT_EQ(m_clock.sleeps, expectedSleeps);
}

TEST_F(ConnectionRunModeTest, APeerSeenInAnEarlierTurnStillCounts)
{
    int calls = 0;
    m_peers.answer = [&calls](PeerKey) { return ++calls == 3; };
    EXPECT_EQ(run().outcome, ConnectionOutcome::Downloaded);
    EXPECT_EQ(m_peers.asked, 4);
}

TEST_F(ConnectionRunModeTest, FailingDownloadsAreRetriedTwoSecondsApartUntilTheDeadline)
{
    m_peers.answer = [](PeerKey) { return true; };
    m_downloadSucceeds = false;
    const ConnectionRunResult result = run();
    EXPECT_EQ(result.outcome, ConnectionOutcome::GaveUp);
    ASSERT_GE(m_downloadTimesMs.size(), 2u);
    EXPECT_EQ(result.attempts, static_cast<int>(m_downloadTimesMs.size()));
    for (size_t i = 1; i < m_downloadTimesMs.size(); ++i) {
        EXPECT_EQ(m_downloadTimesMs[i] - m_downloadTimesMs[i - 1], 2000);
    }
    const int64_t deadline = m_downloadTimesMs.front() / 1000 + 180;
    EXPECT_GE(m_downloadTimesMs.back() / 1000, deadline);
    EXPECT_LT(m_downloadTimesMs[m_downloadTimesMs.size() - 2] / 1000, deadline);
    EXPECT_FALSE(m_store.getBinary(settings::kSettings, settings::kLastCurrencyUpdate).has_value());
}

TEST_F(ConnectionRunModeTest, ASuccessAfterFailuresEndsTheRun)
{
    m_peers.answer = [](PeerKey) { return true; };
    int attempts = 0;
    ConnectionRunMode mode(m_store, m_clock, m_peers, [&attempts] { return ++attempts == 3; });
    const ConnectionRunResult result = mode.run();
    EXPECT_EQ(result.outcome, ConnectionOutcome::Downloaded);
    EXPECT_EQ(result.attempts, 3);
}

TEST_F(ConnectionRunModeTest, ASignalEndsTheRunBeforeItsNextStep)
{
    // The signal arrives at a given time: while waiting for a peer, before the first download, or
    // in the pause between two failed downloads. A download already started is not cut short.
    struct Case
    {
        bool peer;
        bool downloadSucceeds;
        int64_t stopAfterMs;
        int attempts;
    };
    const Case cases[] = {
        {false, true, 10'000, 0},
        {true, true, 500, 0},
        {true, false, 8'000, 2},
    };
    for (const Case& c : cases) {
        VirtualClock clock(kStart);
        m_peers.answer = [&c](PeerKey) { return c.peer; };
        int attempts = 0;
        ConnectionRunMode mode(m_store, clock, m_peers, [&] {
            ++attempts;
            return c.downloadSucceeds;
        });
        const int64_t stopAt = clock.nowMs() + c.stopAfterMs;
        mode.setStopRequest([&] { return clock.nowMs() >= stopAt; });
        const ConnectionRunResult result = mode.run();
        EXPECT_EQ(result.outcome, ConnectionOutcome::Stopped) << c.stopAfterMs;
        EXPECT_EQ(attempts, c.attempts) << c.stopAfterMs;
        EXPECT_LT(clock.nowMs() - stopAt, 3'000) << "ends within one pause of the signal";
    }
}

TEST(EndOfSessionTest, ASignalClosesTheConversionWindowAsItsCancelWould)
{
    constexpr int kProcessTimeoutMs = 30000;
    for (const int signal : {SIGTERM, SIGHUP, SIGINT}) {
        QTemporaryDir dir;
        const QString ini = dir.filePath(QStringLiteral("q.ini"));
        QProcess child;
        child.start(QStringLiteral(QUANTARO_TEST_HELPER_DIR "/window_under_signal"), {ini});
        ASSERT_TRUE(child.waitForReadyRead(kProcessTimeoutMs)) << child.readAllStandardError().toStdString();
        ASSERT_EQ(child.readAllStandardOutput().trimmed(), QByteArray("ready"));
        ::kill(static_cast<pid_t>(child.processId()), signal);
        ASSERT_TRUE(child.waitForFinished(kProcessTimeoutMs));
        EXPECT_EQ(child.exitStatus(), QProcess::NormalExit) << signal;
        const SettingsStore store(ini);
        EXPECT_TRUE(store.getString(settings::kSettings, settings::fromName(QStringLiteral("LEN"), std::nullopt))
                        .startsWith(QStringLiteral("foot")))
            << signal;
        EXPECT_TRUE(store.getString(settings::kSettings, settings::toName(QStringLiteral("LEN"), std::nullopt))
                        .startsWith(QStringLiteral("kilometre")))
            << signal;
    }
}

TEST(EndOfSessionTest, ASaveThatFailsAtTheSignalIsToldOnStandardErrorAndTheWindowEnds)
{
    // Before, the window waited for OK on "could not be saved" that nobody would press.
    constexpr int kProcessTimeoutMs = 30000;
    constexpr int kEndTimeoutMs = 10000;
    for (const int signal : {SIGTERM, SIGHUP, SIGINT}) {
        QTemporaryDir dir;
        QFile blocker(dir.filePath(QStringLiteral("file")));
        ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        // A folder that cannot be made, below a file: every save fails, for root as well.
        QProcess child;
        child.start(QStringLiteral(QUANTARO_TEST_HELPER_DIR "/window_under_signal"),
                    {dir.filePath(QStringLiteral("file/q.ini")), QStringLiteral("real-boxes")});
        ASSERT_TRUE(child.waitForReadyRead(kProcessTimeoutMs)) << child.readAllStandardError().toStdString();
        ::kill(static_cast<pid_t>(child.processId()), signal);
        const bool ended = child.waitForFinished(kEndTimeoutMs);
        if (!ended) {
            child.kill();
            child.waitForFinished(kEndTimeoutMs);
        }
        EXPECT_TRUE(ended) << "the window still waits after signal " << signal;
        EXPECT_TRUE(child.readAllStandardError().contains("could not be saved")) << signal;
    }
}

TEST(PeerProbeTest, OnlyAnUpRunningNonLoopbackInterfaceWithAnAddressIsAPeer)
{
    // up, running, loopback, point-to-point, internet address
    const InterfaceRecord loopback{true, true, true, false, true};
    const InterfaceRecord ethernet{true, true, false, false, true};
    const InterfaceRecord dialUp{true, true, false, true, true};
    const InterfaceRecord down{false, false, false, false, true};
    const InterfaceRecord noCarrier{true, false, false, false, true};
    const InterfaceRecord linkLayerOnly{true, true, false, false, false};
    const InterfaceRecord dialUpDown{false, false, false, true, true};
    struct Case
    {
        const char* machine;
        std::vector<InterfaceRecord> interfaces;
        bool pointToPoint;
        bool desktop;
    };
    const Case cases[] = {
        {"nothing", {}, false, false},
        {"loopback only", {loopback}, false, false},
        {"cable", {loopback, ethernet}, false, true},
        {"dial-up", {loopback, dialUp}, true, false},
        {"both", {dialUp, ethernet}, true, true},
        {"down", {loopback, down, dialUpDown}, false, false},
        {"no carrier", {noCarrier}, false, false},
        {"no address yet", {linkLayerOnly}, false, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(peerAmong(c.interfaces, PeerKey::PointToPoint), c.pointToPoint) << c.machine;
        EXPECT_EQ(peerAmong(c.interfaces, PeerKey::Desktop), c.desktop) << c.machine;
    }
}
