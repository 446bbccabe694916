// The real program in its connection run mode, against a rate server on 127.0.0.1.
#include "app/connectionrunmode.h"
#include "app/settingsstore.h"
#include "currency/ratedownloader.h"
#include "support/scriptedhttpserver.h"
#include "testpaths.h"

#include <QDateTime>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace quantaro {
namespace {

// The run sleeps about 5.5 s before its first download; this only bounds a hung program.
constexpr int kProgramLimitMs = 60000;

class ConnectionRunTest : public ::testing::Test
{
protected:
    QString iniFile() const { return m_config.filePath(QStringLiteral("Velmora/Quantaro.ini")); }

    int runProgram(const QString& peer)
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("XDG_CONFIG_HOME"), m_config.path());
        environment.insert(QStringLiteral("QUANTARO_PEER"), peer);
        environment.remove(QStringLiteral("DISPLAY"));
        environment.remove(QStringLiteral("WAYLAND_DISPLAY"));
        environment.remove(QStringLiteral("QT_QPA_PLATFORM"));
        QProcess program;
        program.setProcessEnvironment(environment);
        program.start(QStringLiteral(QUANTARO_PROGRAM_DIR "/quantaro"), {QStringLiteral("AppRunUpdateConnect")});
        EXPECT_TRUE(program.waitForFinished(kProgramLimitMs));
        return program.exitStatus() == QProcess::NormalExit ? program.exitCode() : -1;
    }

    QTemporaryDir m_config;
};

TEST_F(ConnectionRunTest, StoresTheRatesAndTheTimeWithoutADisplay)
{
    test::ScriptedHttpServer server(test::httpResponse("USD;0.92\r\nGBP;1.17\r\nCHF;1.04\r\n"));
    ASSERT_TRUE(server.listening());
    {
        SettingsStore settings(iniFile());
        settings.putString(settings::kSettings, settings::kUpdateServer, server.baseUrl());
        settings.putString(settings::kCurrencies, QStringLiteral("CHF"), QStringLiteral("-1.00"));
    }
    const int64_t before = QDateTime::currentSecsSinceEpoch();

    EXPECT_EQ(runProgram(QStringLiteral("present")), 0);

    SettingsStore settings(iniFile());
    EXPECT_EQ(settings.getString(settings::kCurrencies, QStringLiteral("USD")), QStringLiteral("0.92"));
    EXPECT_EQ(settings.getString(settings::kCurrencies, QStringLiteral("GBP")), QStringLiteral("1.17"));
    EXPECT_EQ(settings.getString(settings::kCurrencies, QStringLiteral("CHF")), QStringLiteral("-1.00"));
    EXPECT_GE(lastCurrencyUpdate(settings), before);
    EXPECT_EQ(server.requests().size(), 1);
}

TEST_F(ConnectionRunTest, ARecentUpdateMeansNoNetworkAtAll)
{
    test::ScriptedHttpServer server(test::httpResponse("USD;0.92\n"));
    const int64_t recent = QDateTime::currentSecsSinceEpoch() - 60;
    {
        SettingsStore settings(iniFile());
        settings.putString(settings::kSettings, settings::kUpdateServer, server.baseUrl());
        storeLastCurrencyUpdate(settings, recent);
    }

    EXPECT_EQ(runProgram(QStringLiteral("present")), 0);

    SettingsStore settings(iniFile());
    EXPECT_TRUE(server.requests().isEmpty());
    EXPECT_EQ(lastCurrencyUpdate(settings), recent);
}

} // namespace
} // namespace quantaro
