#include "app/languagemodule.h"
#include "app/resourcesource.h"
#include "app/settingsstore.h"
#include "convert/cconvertdlg.h"
#include "home/cmaindlg.h"

#include "about/programinfo.h"
#include "support/fakes.h"
#include "testpaths.h"
#include "ui/bottommenubar.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <gtest/gtest.h>

using namespace quantaro;
using namespace quantaro::test;

namespace {

/** The English module, loaded once for every test of the home window. */
const ResourceSource& englishResources()
{
    static std::unique_ptr<LanguageModule> module = [] {
        auto loaded = LanguageModule::load(QStringLiteral(QUANTARO_PROGRAM_DIR "/quantaro_en.so"));
        if (loaded) {
            loaded->registerResources();
        }
        return loaded;
    }();
    static ResourceSource source(module ? module->resourceRoot() : QString());
    return source;
}

/** A home window that records which windows it would open instead of opening them. */
class RecordingHome : public CMainDlg
{
public:
    using CMainDlg::CMainDlg;

    std::vector<QString> opened;
    bool manualRatesResult = false;
    std::function<void()> duringUpdateSettings;

protected:
    void runConversionWindow(Rubric& rubric) override { opened.push_back(QStringLiteral("convert:") + rubric.code()); }
    void runAboutWindow() override { opened.push_back(QStringLiteral("about")); }
    void runVersionCheckWindow() override { opened.push_back(QStringLiteral("version")); }
    void runUpdateSettingsWindow() override
    {
        opened.push_back(QStringLiteral("update"));
        if (duringUpdateSettings) {
            duringUpdateSettings();
        }
    }
    bool runManualRatesWindow(Rubric& currencies) override
    {
        opened.push_back(QStringLiteral("rates"));
        if (openRealManualRates) {
            // Look at the real window while it runs, then leave it with Cancel.
            QTimer::singleShot(0, this, [this] {
                QWidget* window = QApplication::activeModalWidget();
                manualRatesParent = window != nullptr ? window->parentWidget() : nullptr;
                if (auto* dialog = qobject_cast<QDialog*>(window)) {
                    dialog->reject();
                }
            });
            return CMainDlg::runManualRatesWindow(currencies);
        }
        return manualRatesResult;
    }

public:
    bool openRealManualRates = false;
    QWidget* manualRatesParent = nullptr;
};

class HomeWindowTest : public ::testing::Test
{
protected:
    HomeWindowTest() : m_settings(m_dir.filePath(QStringLiteral("q.ini"))) {}

    UiServices services() { return UiServices{&m_messages, &m_screen, &m_shell, &m_settings, &englishResources()}; }
    std::unique_ptr<RecordingHome> openHome(const QString& programFolder = QStringLiteral(QUANTARO_PROGRAM_DIR))
    {
        auto home = std::make_unique<RecordingHome>(services(), programFolder);
        home->show();
        EXPECT_TRUE(QTest::qWaitFor([&home] { return home->firstLoadDone(); }));
        return home;
    }
    static const UnitRecord* unitTagged(const Rubric& rubric, const QString& tag)
    {
        for (int i = 0; i < rubric.unitCount(); ++i) {
            if (rubric.unit(i).tag() == tag) {
                return &rubric.unit(i);
            }
        }
        return nullptr;
    }

    QTemporaryDir m_dir;
    SettingsStore m_settings;
    RecordingMessageBoxes m_messages;
    FixedScreen m_screen{QSize(360, 640)};
    RecordingShell m_shell;
};

} // namespace

TEST_F(HomeWindowTest, EveryCategoryButtonOpensItsConversionWindow)
{
    auto home = openHome();
    ASSERT_TRUE(home->isCreated());
    for (int i = 0; i < kRubricCount; ++i) {
        auto* button = home->control<QPushButton>(home::kFirstCategoryButton + i);
        ASSERT_NE(button, nullptr) << i;
        EXPECT_TRUE(button->isVisible());
        button->click();
    }
    ASSERT_EQ(home->opened.size(), static_cast<size_t>(kRubricCount));
    EXPECT_EQ(home->opened.front(), "convert:CNY");
    EXPECT_EQ(home->opened.back(), "convert:TQE");
}

TEST_F(HomeWindowTest, CategoryListIsFilledOnceInTwoColumnsOfTen)
{
    auto home = openHome();
    BottomMenuBar* bar = home->menuBar();
    ASSERT_NE(bar, nullptr);
    QMenu* categories = bar->popupByFirstItem(home::kCategoryPlaceholder);
    ASSERT_NE(categories, nullptr);
    for (int opening = 0; opening < 2; ++opening) {
        emit categories->aboutToShow();
        const QList<QAction*> items = BottomMenuBar::items(categories);
        ASSERT_EQ(items.size(), kRubricCount) << "opening " << opening;
        for (int i = 0; i < kRubricCount; ++i) {
            EXPECT_EQ(items[i]->data().toInt(), home::kFirstCategoryButton + i);
            EXPECT_EQ(items[i]->text(), home->catalogue()[static_cast<size_t>(i)].name());
            EXPECT_EQ(BottomMenuBar::startsColumn(items[i]), i == home::kSecondColumnStart) << i;
        }
    }
    EXPECT_EQ(home->catalogue()[1].name(), "Length");
    home->command(home::kFirstCategoryButton + 6);
    EXPECT_EQ(home->opened.back(), "convert:TMP");
}

TEST_F(HomeWindowTest, CheckForUpdatesIsOfferedOnlyWithAnUpdateAddress)
{
    // The built-in address is empty unless the build names one; the settings' address always counts.
    for (const QString& server : {QString(), QStringLiteral("updates.example.org")}) {
        m_settings.putString(settings::kSettings, settings::kUpdateServer, server);
        auto home = openHome();
        const bool expected = !server.isEmpty() || !publisherWebAddress().isEmpty();
        bool offered = false;
        for (QMenu* popup : home->menuBar()->popups()) {
            emit popup->aboutToShow();
            for (const QAction* item : BottomMenuBar::items(popup)) {
                offered = offered || item->data().toInt() == home::kCmdCheckVersion;
            }
        }
        EXPECT_EQ(offered, expected) << server.toStdString();
    }
}

TEST_F(HomeWindowTest, OkAndMinimisingCloseTheWindowAsCancel)
{
    auto home = openHome();
    home->command(1);
    EXPECT_FALSE(home->isVisible());
    EXPECT_EQ(home->result(), QDialog::Rejected);

    auto second = openHome();
    second->setWindowState(Qt::WindowMinimized);
    QApplication::processEvents();
    EXPECT_FALSE(second->isVisible());
    EXPECT_EQ(second->result(), QDialog::Rejected);
}

TEST_F(HomeWindowTest, AMissingUnitFileIsReportedAndEveryButtonStillWorks)
{
    QTemporaryDir emptyFolder;
    auto home = openHome(emptyFolder.path());
    ASSERT_EQ(m_messages.messages.size(), 1u);
    EXPECT_EQ(m_messages.messages[0].text, englishResources().string(res::kMissingUnitFile));
    EXPECT_EQ(m_messages.messages[0].icon, MessageIcon::Exclamation);
    EXPECT_TRUE(m_messages.messages[0].overAWindow);
    for (const Rubric& rubric : home->catalogue()) {
        EXPECT_EQ(rubric.unitCount(), 0);
    }
    home->command(home::kFirstCategoryButton + 3);
    EXPECT_EQ(home->opened.back(), "convert:VOL");
}

TEST_F(HomeWindowTest, StoredRatesReachTheCurrencyUnitsAfterTheLoad)
{
    m_settings.putString(settings::kCurrencies, QStringLiteral("USD"), QStringLiteral("0.5"));
    auto home = openHome();
    QApplication::processEvents();
    const UnitRecord* dollar = unitTagged(home->catalogue()[0], QStringLiteral("USD"));
    ASSERT_NE(dollar, nullptr);
    EXPECT_EQ(dollar->toBase(), "$*0.5");
    EXPECT_EQ(dollar->fromBase(), "$/0.5");
}

TEST_F(HomeWindowTest, CurrencyUnitsAreRebuiltAfterUpdateSettingsAlwaysAndAfterManualRatesOnOk)
{
    auto home = openHome();
    QApplication::processEvents();
    home->duringUpdateSettings = [this] {
        m_settings.putString(settings::kCurrencies, QStringLiteral("USD"), QStringLiteral("0.25"));
    };
    home->command(home::kCmdUpdateSettings);
    EXPECT_EQ(unitTagged(home->catalogue()[0], QStringLiteral("USD"))->toBase(), "$*0.25");

    m_settings.putString(settings::kCurrencies, QStringLiteral("USD"), QStringLiteral("-2"));
    home->manualRatesResult = false;
    home->command(home::kCmdManualRates);
    EXPECT_EQ(unitTagged(home->catalogue()[0], QStringLiteral("USD"))->toBase(), "$*0.25");
    home->manualRatesResult = true;
    home->command(home::kCmdManualRates);
    EXPECT_EQ(unitTagged(home->catalogue()[0], QStringLiteral("USD"))->toBase(), "$*2");
    EXPECT_EQ(home->opened, (std::vector<QString>{"update", "rates", "rates"}));
}

TEST_F(HomeWindowTest, ScreenShapePicksTheTemplate)
{
    struct Case
    {
        QSize screen;
        int expected;
    };
    const Case cases[] = {{{240, 320}, 102}, {{320, 240}, 103}, {{480, 480}, 137}};
    for (const Case& c : cases) {
        m_screen.size = c.screen;
        auto home = openHome();
        home->resize(c.screen);
        QApplication::processEvents();
        EXPECT_EQ(home->currentTemplate(), c.expected);
    }
}

TEST_F(HomeWindowTest, RendersInEveryShape)
{
    const QString folder = QStringLiteral(QUANTARO_BINARY_DIR "/renders");
    QDir().mkpath(folder);
    const QSize sizes[] = {{360, 640}, {640, 360}, {480, 480}, {240, 320}, {320, 240}};
    for (const QSize& size : sizes) {
        m_screen.size = size;
        auto home = openHome();
        home->resize(size);
        QApplication::processEvents();
        const QString file = QStringLiteral("%1/home-%2x%3.png").arg(folder).arg(size.width()).arg(size.height());
        EXPECT_TRUE(home->grab().save(file)) << file.toStdString();
    }
}

TEST_F(HomeWindowTest, TheManualRatesWindowOpensOverTheHomeWindow)
{
    auto home = openHome();
    home->openRealManualRates = true;
    home->command(home::kCmdManualRates);
    EXPECT_EQ(home->manualRatesParent, home.get());
}

TEST_F(HomeWindowTest, AStartRequestOpensItsCategoryOnceTheCatalogueIsLoaded)
{
    auto home = std::make_unique<RecordingHome>(services(), QStringLiteral(QUANTARO_PROGRAM_DIR));
    home->openOnStart(ConvertRequest{QStringLiteral("TMP"), {}, {}, {}});
    home->show();
    ASSERT_TRUE(QTest::qWaitFor([&home] { return home->firstLoadDone(); }));
    EXPECT_EQ(home->opened, std::vector<QString>{QStringLiteral("convert:TMP")});
}

TEST_F(HomeWindowTest, AStartRequestShowsItsUnitsAndValueOrElseTheCategoryAlone)
{
    struct Case
    {
        ConvertRequest request;
        QStringList shown; ///< the chosen units, the value, the result, "1" when every recent pair is a requested one,
                           ///< the newest's source; empty for the category alone
    };
    const Case cases[] = {
        // Gray and rad are listed under the second sub-category of radiation, which the window does
        // not show first.
        {{"RAD", "gray (Gy)", "rad (rad)", "2"}, {"gray (Gy)", "rad (rad)", "2", "200", "1", "gray (Gy)"}},
        // Units are found as a query finds them: by symbol, plural, the degree-less symbol.
        {{"LEN", "km", "miles", "5"}, {"kilometre (km)", "mile (mi)", "5", "3.106856", "1", "kilometre (km)"}},
        {{"LEN", "mile (mi)", "kilometre (km)", "5"},
         {"mile (mi)", "kilometre (km)", "5", "8.04672", "1", "mile (mi)"}},
        {{"TMP", "C", "F", "-40"},
         {"degree Celsius (°C)", "degree Fahrenheit (°F)", "-40", "-40", "1", "degree Celsius (°C)"}},
        // What names no unit, a unit of another quantity or no value opens the category alone.
        {{"LEN", "km", "kg", "5"}, {}},
        {{"LEN", "parsnip", "mi", "5"}, {}},
        {{"RAD", "gray (Gy)", "curie (Ci)", "2"}, {}},
        {{"LEN", "km", "mi", "five"}, {}},
    };
    // The recent pairs may hold only pairs that were shown with a value.
    QSet<QString> requested;
    for (const Case& c : cases) {
        if (!c.shown.isEmpty()) {
            requested.insert(c.shown[0] + QLatin1Char('|') + c.shown[1]);
        }
    }
    for (const Case& c : cases) {
        auto home = std::make_unique<RecordingHome>(services(), QStringLiteral(QUANTARO_PROGRAM_DIR));
        home->openOnStart(c.request);
        QStringList seen;
        bool opened = false;
        QTimer watcher;
        QObject::connect(&watcher, &QTimer::timeout, [&seen, &opened, &c, &requested] {
            auto* dialog = qobject_cast<QuantaroDialog*>(QApplication::activeModalWidget());
            auto* result = dialog != nullptr ? dialog->control<QLabel>(convertdlg::kResult) : nullptr;
            if (result == nullptr || (!c.shown.isEmpty() && result->text().isEmpty())) {
                return;
            }
            if (!c.shown.isEmpty()) {
                for (int id : {convertdlg::kFromList, convertdlg::kToList}) {
                    const QListWidgetItem* item = dialog->control<QListWidget>(id)->currentItem();
                    seen << (item != nullptr ? item->text() : QString());
                }
                seen << dialog->control<QLineEdit>(convertdlg::kInput)->text() << result->text();
                // Only the pair shown with the value is a conversion the person saw: not the pair
                // the window opened on before the request's units were chosen.
                const QList<UnitPair> recent = static_cast<CConvertDlg*>(dialog)->offeredRecentPairs();
                const bool onlyRequested = std::all_of(recent.cbegin(), recent.cend(), [&requested](const UnitPair& p) {
                    return requested.contains(p.from + QLatin1Char('|') + p.to);
                });
                seen << QString::number(int(onlyRequested)) << (recent.isEmpty() ? QString() : recent.first().from);
            } else {
                seen << dialog->control<QLineEdit>(convertdlg::kInput)->text();
            }
            opened = true;
            dialog->reject();
        });
        watcher.start(0);
        home->show();
        const bool requestedPair = !c.shown.isEmpty();
        if (!requestedPair) {
            // The category alone opens through the ordinary way, which the recording home notes.
            ASSERT_TRUE(QTest::qWaitFor([&home] { return home->firstLoadDone(); })) << c.request.from.toStdString();
            EXPECT_EQ(home->opened, std::vector<QString>{"convert:" + c.request.code}) << c.request.from.toStdString();
            continue;
        }
        ASSERT_TRUE(QTest::qWaitFor([&opened] { return opened; })) << c.request.from.toStdString();
        EXPECT_EQ(seen, c.shown) << c.request.from.toStdString();
    }
}
