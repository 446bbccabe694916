#include "app/cconverterapp.h"
#include "app/resourcesource.h"
#include "app/settingsstore.h"
#include "home/clanguedlg.h"
#include "home/cmaindlg.h"
#include "program/desktopwindows.h"
#include "support/fakes.h"
#include "support/readonlyfolder.h"
#include "support/virtualclock.h"
#include "testpaths.h"
#include "ui/controls.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLocale>
#include <QTemporaryDir>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>

using namespace quantaro;
using namespace quantaro::test;

namespace {

/**
 * Drives the modal windows of a start: each time a window of the program is shown, records its kind
 * and runs the step given for it. A window nobody expected is closed, so a test fails instead of
 * hanging.
 */
class WindowDriver : public QObject
{
public:
    std::function<void(CLangueDlg&)> onLanguageWindow;
    std::function<void(CMainDlg&)> onHomeWindow;
    QStringList seen;

    WindowDriver()
    {
        m_timer.setInterval(0);
        connect(&m_timer, &QTimer::timeout, this, [this] { poll(); });
        m_timer.start();
    }

private:
    void poll()
    {
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            if (!widget->isVisible() || m_handled.contains(widget)) {
                continue;
            }
            // The home window loads its catalogue once it has been painted.
            if (auto* home = qobject_cast<CMainDlg*>(widget); home && !home->firstLoadDone()) {
                continue;
            }
            m_handled << widget;
            if (auto* language = qobject_cast<CLangueDlg*>(widget)) {
                seen << QStringLiteral("language");
                if (onLanguageWindow) {
                    onLanguageWindow(*language);
                }
            } else if (auto* home = qobject_cast<CMainDlg*>(widget)) {
                seen << QStringLiteral("home");
                if (onHomeWindow) {
                    onHomeWindow(*home);
                }
                home->done(QDialog::Rejected);
            } else if (auto* dialog = qobject_cast<QDialog*>(widget)) {
                seen << QStringLiteral("unexpected");
                dialog->done(QDialog::Rejected);
            }
        }
    }

    QTimer m_timer;
    QList<QWidget*> m_handled;
};

class FirstRunTest : public ::testing::Test
{
protected:
    FirstRunTest() : m_settings(m_settingsDir.filePath(QStringLiteral("q.ini")))
    {
        QLocale::setDefault(QLocale(QLocale::French, QLocale::France));
    }
    ~FirstRunTest() override
    {
        QLocale::setDefault(QLocale::c());
        ResourceSource::current().setRoot(kProgramResourceRoot);
        if (m_program.isValid()) {
            QFile::setPermissions(m_program.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        }
    }

    void SetUp() override
    {
        for (const char* module : {"deutsch.so", "english.so", "francais.so", "alpha.so", "nokey.so"}) {
            const QString name = QString::fromLatin1(module);
            ASSERT_TRUE(QFile::copy(QStringLiteral(QUANTARO_TEST_MODULE_DIR "/") + name, m_program.filePath(name)));
        }
        // Every language's unit file: the English one under each language's name.
        for (const char* unitFile : {"deutsch.dat", "english.dat", "francais.dat", "alpha.dat"}) {
            ASSERT_TRUE(QFile::copy(QStringLiteral(QUANTARO_PROGRAM_DIR "/quantaro_en.dat"),
                                    m_program.filePath(QString::fromLatin1(unitFile))));
        }
    }

    /** One start of the program, its windows driven by whichever WindowDriver exists; start-up's result. */
    int start()
    {
        AppServices services;
        services.settings = &m_settings;
        services.clock = &m_clock;
        services.peers = &m_peers;
        services.messages = &m_messages;
        services.shell = &m_shell;
        services.programFolder = m_program.path();
        CConverterApp app(services);
        DesktopWindows windows(app);
        app.setWindows(&windows);
        return app.startUp(QString());
    }

    QStringList files() const { return QDir(m_program.path()).entryList(QDir::Files, QDir::Name); }

    static void chooseDeutsch(CLangueDlg& window)
    {
        // The device speaks French, so Français is preselected; the user taps Deutsch instead.
        ASSERT_EQ(window.selectedIndex(), 0);
        for (int row = 0; row < langue::kVisibleRows; ++row) {
            const int index = window.firstVisibleRow() + row;
            if (index < int(window.entries().size()) && window.entries()[size_t(index)].languageName == "Deutsch") {
                window.command(langue::kFirstRow + row);
            }
        }
        window.command(kIdOk);
    }

    QTemporaryDir m_program;
    QTemporaryDir m_settingsDir;
    SettingsStore m_settings;
    VirtualClock m_clock;
    ScriptedPeerProbe m_peers;
    RecordingMessageBoxes m_messages;
    RecordingShell m_shell;
};

} // namespace

TEST_F(FirstRunTest, TheChosenLanguageStaysAloneAndTheHomeWindowSpeaksIt)
{
    QString firstCategory;
    {
        WindowDriver driver;
        driver.onLanguageWindow = [](CLangueDlg& window) { chooseDeutsch(window); };
        driver.onHomeWindow = [&](CMainDlg& home) { firstCategory = home.catalogue()[0].name(); };
        EXPECT_EQ(start(), 0);
        EXPECT_EQ(driver.seen, (QStringList{"language", "home"}));
    }
    EXPECT_EQ(firstCategory, "Währungen");
    EXPECT_EQ(files(), (QStringList{"deutsch.dat", "deutsch.so", "nokey.so"}));
    EXPECT_TRUE(m_messages.messages.empty());

    // The second start goes straight to the home window.
    WindowDriver driver;
    driver.onHomeWindow = [&](CMainDlg& home) { firstCategory = home.catalogue()[0].name(); };
    EXPECT_EQ(start(), 0);
    EXPECT_EQ(driver.seen, (QStringList{"home"}));
    EXPECT_EQ(firstCategory, "Währungen");
}

TEST_F(FirstRunTest, AReadOnlyProgramFolderKeepsEveryFileAndStillStartsInTheChosenLanguage)
{
    const ReadOnlyFolder readOnly(m_program.path());
    if (!readOnly.why().isEmpty()) {
        GTEST_SKIP() << "the program folder cannot be made read-only: " << readOnly.why().toStdString();
    }
    const QStringList before = files();
    QString firstCategory;
    WindowDriver driver;
    driver.onLanguageWindow = [](CLangueDlg& window) { chooseDeutsch(window); };
    driver.onHomeWindow = [&](CMainDlg& home) { firstCategory = home.catalogue()[0].name(); };
    EXPECT_EQ(start(), 0);
    EXPECT_EQ(driver.seen, (QStringList{"language", "home"}));
    EXPECT_EQ(files(), before);
    EXPECT_EQ(firstCategory, "Währungen");
    EXPECT_EQ(m_settings.getInt(settings::kSettings, settings::kNewInstall, 1), 0);
}

TEST_F(FirstRunTest, WithoutAValidModuleTheDamageIsReportedAndTheNextStartAsksAgain)
{
    for (const char* module : {"deutsch.so", "english.so", "francais.so", "alpha.so"}) {
        ASSERT_TRUE(QFile::remove(m_program.filePath(QString::fromLatin1(module))));
    }
    WindowDriver driver;
    EXPECT_EQ(start(), 1);
    EXPECT_TRUE(driver.seen.isEmpty());
    // Once from the language window, once from loading the module.
    ASSERT_EQ(m_messages.messages.size(), 2u);
    EXPECT_EQ(m_messages.messages[0].text, kDamagedMessage);
    EXPECT_EQ(m_messages.messages[0].icon, MessageIcon::Error);
    EXPECT_EQ(m_settings.getInt(settings::kSettings, settings::kNewInstall, -1), 1);
    EXPECT_FALSE(m_settings.contains(settings::kSettings, settings::kLanguageDllName));
    // Unit files are only removed once a language is known.
    EXPECT_EQ(files(), (QStringList{"alpha.dat", "deutsch.dat", "english.dat", "francais.dat", "nokey.so"}));
}
