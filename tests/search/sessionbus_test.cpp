#include "app/settingsstore.h"
#include "testpaths.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

using namespace quantaro;

constexpr int kInstallTimeoutMs = 120000;
constexpr int kBusTimeoutMs = 60000;
const QString kBusName = QStringLiteral("org.velmora.Quantaro.SearchProvider");
const QString kGnomePath = QStringLiteral("/org/velmora/Quantaro/SearchProvider");
const QString kGnomeInterface = QStringLiteral("org.gnome.Shell.SearchProvider2");

/** A bus of its own that knows only the services of the temporary prefix. */
const char* const kBusConfig = R"(<!DOCTYPE busconfig PUBLIC "-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig>
  <type>session</type>
  <listen>unix:tmpdir=%1</listen>
  <servicedir>%2</servicedir>
  <policy context="default">
    <allow send_destination="*" eavesdrop="true"/>
    <allow eavesdrop="true"/>
    <allow own="*"/>
  </policy>
</busconfig>
)";

QString run(const QString& program, const QStringList& arguments, const QProcessEnvironment& environment, int timeoutMs,
            int& exitCode)
{
    QProcess process;
    process.setProcessEnvironment(environment);
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    EXPECT_TRUE(process.waitForFinished(timeoutMs)) << program.toStdString();
    exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    return QString::fromUtf8(process.readAll());
}

QString gdbusCall(const QString& path, const QString& method, const QStringList& arguments)
{
    QStringList words = {QStringLiteral("gdbus"),
                         QStringLiteral("call"),
                         QStringLiteral("--session"),
                         QStringLiteral("-d"),
                         kBusName,
                         QStringLiteral("-o"),
                         path,
                         QStringLiteral("-m"),
                         method};
    for (QString& word : words) {
        word = QLatin1Char('\'') + word + QLatin1Char('\'');
    }
    for (const QString& argument : arguments) {
        QString quoted = argument;
        quoted.replace(QLatin1Char('\''), QStringLiteral("'\\''"));
        words << QLatin1Char('\'') + quoted + QLatin1Char('\'');
    }
    return words.join(QLatin1Char(' '));
}

/** The installed program, its settings and a private bus that starts the service from its file. */
class SessionBusTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (QStandardPaths::findExecutable(QStringLiteral("dbus-run-session")).isEmpty() ||
            QStandardPaths::findExecutable(QStringLiteral("gdbus")).isEmpty()) {
            GTEST_SKIP() << "needs dbus-run-session (dbus-daemon) and gdbus (libglib2.0-bin)";
        }
        ASSERT_TRUE(m_dir.isValid());
        m_prefix = m_dir.filePath(QStringLiteral("prefix"));
        m_environment = QProcessEnvironment::systemEnvironment();
        m_environment.insert(QStringLiteral("XDG_CONFIG_HOME"), m_dir.filePath(QStringLiteral("config")));
        m_environment.remove(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"));
        int exitCode = -1;
        const QString installed = run(
            QStringLiteral("cmake"),
            {QStringLiteral("--install"), QStringLiteral(QUANTARO_BINARY_DIR), QStringLiteral("--prefix"), m_prefix},
            m_environment, kInstallTimeoutMs, exitCode);
        ASSERT_EQ(exitCode, 0) << installed.toStdString();

        m_settingsFile = m_dir.filePath(QStringLiteral("config/Velmora/Quantaro.ini"));
        SettingsStore settings(m_settingsFile);
        SettingsChanges changes;
        changes.putString(settings::kSettings, settings::kLanguageDllName, QStringLiteral("quantaro_en.so"));
        changes.putInt(settings::kSettings, settings::kNewInstall, 0);
        // Length results in fixed notation with two decimals.
        changes.putInt(settings::kSettings, QStringLiteral("LEN") + settings::kViewResultSuffix, 2);
        changes.putInt(settings::kSettings, QStringLiteral("LEN") + settings::kPrecisionResultSuffix, 2);
        changes.putInt(settings::hiddenUnitsSection(QStringLiteral("LEN")), settings::kHiddenCount, 1);
        changes.putString(settings::hiddenUnitsSection(QStringLiteral("LEN")), settings::hiddenItemName(0),
                          QStringLiteral("furlong (fur)"));
        // A locked rate: one US dollar is half a euro.
        changes.putString(settings::kCurrencies, QStringLiteral("USD"), QStringLiteral("-0.5"));
        ASSERT_TRUE(settings.write(changes));
    }

    QByteArray settingsBytes() const
    {
        QFile file(m_settingsFile);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    /** Runs the calls, one a line, on a new private bus; their answers, one a line. */
    QString onSessionBus(const QStringList& calls)
    {
        const QString busDir = m_dir.filePath(QStringLiteral("bus"));
        EXPECT_TRUE(QDir().mkpath(busDir));
        const QString configPath = m_dir.filePath(QStringLiteral("session.conf"));
        QFile config(configPath);
        EXPECT_TRUE(config.open(QIODevice::WriteOnly));
        config.write(
            QString::fromLatin1(kBusConfig).arg(busDir, m_prefix + QStringLiteral("/share/dbus-1/services")).toUtf8());
        config.close();
        int exitCode = -1;
        const QString out = run(QStringLiteral("dbus-run-session"),
                                {QStringLiteral("--config-file=") + configPath, QStringLiteral("--"),
                                 QStringLiteral("sh"), QStringLiteral("-c"), calls.join(QLatin1Char('\n'))},
                                m_environment, kBusTimeoutMs, exitCode);
        EXPECT_EQ(exitCode, 0) << out.toStdString();
        return out;
    }

    QTemporaryDir m_dir;
    QString m_prefix;
    QString m_settingsFile;
    QProcessEnvironment m_environment;
};

TEST_F(SessionBusTest, TheBusStartsTheInstalledServiceAndBothSearchBoxesGetAnswers)
{
    const QByteArray before = settingsBytes();
    ASSERT_FALSE(before.isEmpty());
    const QString id = QStringLiteral("LEN;mile (mi);kilometre (km);5;1");
    const QString out = onSessionBus({
        gdbusCall(kGnomePath, kGnomeInterface + QStringLiteral(".GetInitialResultSet"),
                  {QStringLiteral("['5', 'mi', 'in', 'km']")}),
        gdbusCall(kGnomePath, kGnomeInterface + QStringLiteral(".GetResultMetas"), {QStringLiteral("['%1']").arg(id)}),
        gdbusCall(QStringLiteral("/runner"), QStringLiteral("org.kde.krunner1.Match"),
                  {QStringLiteral("5 miles to kilometers")}),
        gdbusCall(QStringLiteral("/runner"), QStringLiteral("org.kde.krunner1.Match"),
                  {QStringLiteral("1 US survey in m")}),
        gdbusCall(QStringLiteral("/runner"), QStringLiteral("org.kde.krunner1.Match"),
                  {QStringLiteral("5 furlong in m")}),
        gdbusCall(QStringLiteral("/runner"), QStringLiteral("org.kde.krunner1.Match"), {QStringLiteral("100 usd eur")}),
        gdbusCall(kGnomePath, kGnomeInterface + QStringLiteral(".GetInitialResultSet"),
                  {QStringLiteral("['hello', 'world']")}),
        gdbusCall(QStringLiteral("/runner"), QStringLiteral("org.kde.krunner1.Teardown"), {}),
    });
    QStringList lines = out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    // dbus-daemon's own remarks (an fd limit it may not raise) are no answers.
    lines.removeIf([](const QString& line) { return line.startsWith(QStringLiteral("dbus-daemon")); });
    ASSERT_EQ(lines.size(), 8) << out.toStdString();
    // GNOME: the id, then the metas in the category's own format.
    EXPECT_EQ(lines[0], QStringLiteral("(['%1'],)").arg(id));
    EXPECT_TRUE(lines[1].contains(QStringLiteral("'name': <'8.05 km'>"))) << lines[1].toStdString();
    EXPECT_TRUE(lines[1].contains(QStringLiteral("'description': <'5 mile = 8.05 kilometre \u00B7 Length'>")))
        << lines[1].toStdString();
    // KRunner: the same answer, asked in the words people use, as an exact match.
    EXPECT_TRUE(lines[2].contains(QStringLiteral("'%1', '8.05 km', 'org.velmora.Quantaro', 100").arg(id)))
        << lines[2].toStdString();
    // A word of several variants: its candidates, named in full, as possible matches.
    EXPECT_TRUE(lines[3].contains(QStringLiteral("'0.3 metre (m)', 'org.velmora.Quantaro', 30")))
        << lines[3].toStdString();
    EXPECT_TRUE(lines[3].contains(QStringLiteral("'20.12 metre (m)', 'org.velmora.Quantaro', 30")))
        << lines[3].toStdString();
    // The hidden furlong is not offered (only speeds whose names begin with its words are).
    EXPECT_FALSE(lines[4].contains(QStringLiteral("'LEN;"))) << lines[4].toStdString();
    // The locked rate is the one used.
    EXPECT_TRUE(lines[5].contains(QStringLiteral("'50 EUR'"))) << lines[5].toStdString();
    // No conversion, no answer.
    EXPECT_EQ(lines[6], QStringLiteral("(@as [],)"));
    // KRunner ends each search with Teardown, which must not be an unknown method.
    EXPECT_EQ(lines[7], QStringLiteral("()"));
    EXPECT_EQ(settingsBytes(), before);
}

// Every window's save writes the settings file again with the same module: the service loads that
// module a second time while the first load lives, and lets the first go. A crash would show as a
// call without a reply.
TEST_F(SessionBusTest, TheServiceAnswersAfterTheSameModuleIsSavedAgainAndThenAnotherChosen)
{
    const QString match =
        gdbusCall(QStringLiteral("/runner"), QStringLiteral("org.kde.krunner1.Match"), {QStringLiteral("5 mi in km")});
    const QString file = QLatin1Char('\'') + m_settingsFile + QLatin1Char('\'');
    // A save replaces the file by a rename: a new file with the same module, then one with another.
    const QString sameAgain = QStringLiteral("cp %1 %1.new && mv %1.new %1").arg(file);
    const QString french = QStringLiteral("sed -i s/quantaro_en.so/quantaro_fr.so/ %1").arg(file);
    const QString out = onSessionBus({match, sameAgain, match, sameAgain, match, french, match, sameAgain, match});
    QStringList lines = out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    lines.removeIf([](const QString& line) { return line.startsWith(QStringLiteral("dbus-daemon")); });
    ASSERT_EQ(lines.size(), 5) << out.toStdString();
    for (const QString& line : std::as_const(lines)) {
        EXPECT_TRUE(line.contains(QStringLiteral("'LEN;"))) << out.toStdString();
    }
}

} // namespace
