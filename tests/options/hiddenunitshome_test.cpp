// The hidden-units window opened from the home window, with the English module's templates and
// a unit file of its own: what the window confirms reaches the catalogue through the reload.
#include "app/resourcesource.h"
#include "home/cmaindlg.h"
#include "options/coptionsdlg.h"
#include "optionstestsupport.h"
#include "support/fakes.h"
#include "testpaths.h"
#include "ui/controls.h"

#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QListWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>

using namespace quantaro;
using namespace quantaro::test;

namespace {

constexpr int kLen = 1;
constexpr int kMaxAttempts = 50;

/** The home window, with the conversion window replaced by a note of the category it would show. */
class HomeWindow : public CMainDlg
{
public:
    using CMainDlg::CMainDlg;
    std::optional<Rubric> converted;

protected:
    void runConversionWindow(Rubric& rubric) override { converted = rubric; }
};

/** The units a conversion window of this category would offer. */
QStringList offered(const Rubric& rubric)
{
    QStringList names;
    for (int u = 0; u < rubric.unitCount(); ++u) {
        if (!rubric.unit(u).hidden()) {
            names << rubric.unit(u).name();
        }
    }
    return names;
}

class HiddenUnitsFromHome : public ::testing::Test
{
protected:
    void SetUp() override { writeUnitFile(); }

    void writeUnitFile()
    {
        QFile unitFile(unitFilePath());
        ASSERT_TRUE(unitFile.open(QIODevice::WriteOnly | QIODevice::Text));
        unitFile.write("CNY;Euro;$;$;EUR\n"
                       "LEN;metre;$;$\n"
                       "LEN;foot;$/0.3048;$*0.3048\n"
                       "LEN;inch;$/0.0254;$*0.0254\n"
                       "LEN;foot;$/0.3048;$*0.3048\n");
    }

    QString unitFilePath() const { return programDir.filePath(resources.string(res::kUnitFileName)); }

    /** Runs the hidden-units window from the home window's command; act drives it while it is modal. */
    void runHiddenUnits(HomeWindow& home, std::function<void(COptionsDlg&)> act)
    {
        bool reached = false;
        std::function<void(int)> drive = [&](int attemptsLeft) {
            if (auto* window = qobject_cast<COptionsDlg*>(QApplication::activeModalWidget())) {
                reached = true;
                act(*window);
            } else if (attemptsLeft > 0) {
                QTimer::singleShot(0, [&drive, attemptsLeft] { drive(attemptsLeft - 1); });
            } else if (auto* stray = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
                stray->reject(); // never hang on a window this test did not expect
            }
        };
        QTimer::singleShot(0, [&] { drive(kMaxAttempts); });
        home.command(home::kCmdHiddenUnits);
        EXPECT_TRUE(reached) << "the hidden-units window did not open";
        // The currency rebuild that a reload posts.
        QCoreApplication::sendPostedEvents();
    }

    QTemporaryDir programDir;
    QTemporaryDir settingsDir;
    SettingsStore settings{settingsDir.filePath(QStringLiteral("q.ini"))};
    RecordingMessageBoxes messages;
    FixedScreen screen{QSize(360, 640)};
    const ResourceSource resources{QStringLiteral(QUANTARO_SOURCE_DIR "/lang/en/res")};
    UiServices services{&messages, &screen, nullptr, &settings, &resources};
};

TEST_F(HiddenUnitsFromHome, AHiddenUnitIsNoLongerOfferedAndItsNamesakeGoesWithIt)
{
    HomeWindow home(services, programDir.path());
    home.show();
    ASSERT_TRUE(QTest::qWaitFor([&home] { return home.firstLoadDone(); }));
    ASSERT_EQ(home.catalogue()[kLen].unitCount(), 4);

    runHiddenUnits(home, [](COptionsDlg& window) {
        window.control<QComboBox>(options::kRubricCombo)->setCurrentIndex(kLen);
        auto* list = window.control<QListWidget>(options::kUnitList);
        // Two rows called foot: uncheck only one of them.
        list->findItems(QStringLiteral("foot"), Qt::MatchExactly).first()->setCheckState(Qt::Unchecked);
        window.command(kIdOk);
    });

    EXPECT_EQ(storedList(settings, QStringLiteral("LEN")), QStringList{"foot"}) << "the name is stored once";
    home.command(home::kFirstCategoryButton + kLen);
    ASSERT_TRUE(home.converted.has_value());
    EXPECT_EQ(offered(*home.converted), (QStringList{"metre", "inch"}));
    EXPECT_TRUE(messages.messages.empty());
}

TEST_F(HiddenUnitsFromHome, OnlyConfirmingReloadsTheCatalogue)
{
    // With the unit file gone, a reload shows the missing-file message: that tells whether one ran.
    struct Case
    {
        int command;
        bool reloaded;
    };
    for (const Case& c : {Case{kIdCancel, false}, Case{kIdOk, true}}) {
        writeUnitFile();
        messages.messages.clear();
        HomeWindow home(services, programDir.path());
        home.show();
        ASSERT_TRUE(QTest::qWaitFor([&home] { return home.firstLoadDone(); }));
        messages.messages.clear();
        const Catalogue before = home.catalogue();
        runHiddenUnits(home, [&](COptionsDlg& window) {
            QFile::remove(unitFilePath());
            window.command(c.command);
        });
        EXPECT_EQ(messages.messages.size(), c.reloaded ? 1U : 0U) << c.command;
        EXPECT_EQ(home.catalogue(), before) << "a failed reload keeps the catalogue";
    }
}

} // namespace
