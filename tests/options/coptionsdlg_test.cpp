#include "app/resourcesource.h"
#include "options/coptionsdlg.h"
#include "optionstestsupport.h"
#include "support/fakes.h"
#include "testpaths.h"
#include "ui/bottommenubar.h"
#include "ui/controls.h"

#include <QComboBox>
#include <QDir>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

using namespace quantaro;
using namespace quantaro::test;

namespace {

constexpr int kCny = 0;
constexpr int kLen = 1;
constexpr int kVol = 3;

class OptionsWindow : public ::testing::Test
{
protected:
    UiServices services() { return UiServices{&messages, &screen, nullptr, &settings, &resources}; }

    /** Opens the window non-modally on a copy of the catalogue, as the home window does. */
    std::unique_ptr<COptionsDlg> open(const Catalogue& start)
    {
        auto window = std::make_unique<COptionsDlg>(start, services());
        window->resize(screen.size);
        window->show();
        return window;
    }

    static QListWidget* list(COptionsDlg& w) { return w.control<QListWidget>(options::kUnitList); }
    static QComboBox* combo(COptionsDlg& w) { return w.control<QComboBox>(options::kRubricCombo); }

    static QListWidgetItem* row(COptionsDlg& w, const QString& text)
    {
        const auto found = list(w)->findItems(text, Qt::MatchExactly);
        return found.isEmpty() ? nullptr : found.first();
    }

    /** The rows in list order, an unchecked one marked with a leading "-". */
    static QStringList rows(COptionsDlg& w)
    {
        QStringList shown;
        for (int i = 0; i < list(w)->count(); ++i) {
            const QListWidgetItem* item = list(w)->item(i);
            shown << (item->checkState() == Qt::Checked ? QString() : QStringLiteral("-")) + item->text();
        }
        return shown;
    }

    static void uncheck(COptionsDlg& w, const char* name)
    {
        QListWidgetItem* item = row(w, QString::fromUtf8(name));
        ASSERT_NE(item, nullptr) << name;
        item->setCheckState(Qt::Unchecked);
    }

    QTemporaryDir dir;
    SettingsStore settings{dir.filePath(QStringLiteral("q.ini"))};
    RecordingMessageBoxes messages;
    FixedScreen screen{QSize(360, 640)};
    const ResourceSource resources{QStringLiteral(QUANTARO_SOURCE_DIR "/lang/en/res")};

    const Catalogue catalogue = makeCatalogue({
        {kCny, {{"Euro"}, {"dollar", true}, {"Yen"}}},
        {kLen, {{"metre"}, {"inch"}, {"foot"}, {"yard"}, {"Mile"}}},
    });
};

TEST_F(OptionsWindow, OpensOnTheFirstCategoryWithHiddenUnitsUnchecked)
{
    auto window = open(catalogue);
    ASSERT_TRUE(window->isCreated());
    EXPECT_EQ(window->currentTemplate(), options::kTemplates.portrait);
    ASSERT_EQ(combo(*window)->count(), kRubricCount);
    for (int i = 0; i < kRubricCount; ++i) {
        EXPECT_EQ(combo(*window)->itemText(i), catalogue[static_cast<size_t>(i)].name());
    }
    EXPECT_EQ(combo(*window)->currentIndex(), 0);
    // Sorted without regard to case; each row leads back to its unit by index.
    EXPECT_EQ(rows(*window), (QStringList{"-dollar", "Euro", "Yen"}));
    EXPECT_EQ(row(*window, "dollar")->data(options::kUnitIndexRole).toInt(), 1);
    EXPECT_EQ(row(*window, "Yen")->data(options::kUnitIndexRole).toInt(), 2);
    EXPECT_GE(list(*window)->visualItemRect(list(*window)->item(0)).height(), 40);
    ASSERT_NE(window->menuBar(), nullptr);
    EXPECT_NE(window->menuBar()->action(kIdOk), nullptr);
    EXPECT_NE(window->menuBar()->action(kIdCancel), nullptr);
}

TEST_F(OptionsWindow, UncheckedUnitsAreStoredInUnitOrderNotListOrder)
{
    auto window = open(catalogue);
    combo(*window)->setCurrentIndex(kLen);
    EXPECT_EQ(rows(*window), (QStringList{"foot", "inch", "metre", "Mile", "yard"}));
    uncheck(*window, "yard");
    uncheck(*window, "inch");
    window->command(kIdOk);
    EXPECT_EQ(window->result(), QDialog::Accepted);
    EXPECT_EQ(storedList(settings, QStringLiteral("LEN")), (QStringList{"inch", "yard"}));
    EXPECT_EQ(storedList(settings, QStringLiteral("CNY")), QStringList{"dollar"});
}

TEST_F(OptionsWindow, ShowAllAndHideAllActOnTheShownCategoryOnly)
{
    struct Case
    {
        int button;
        QStringList rows;
        QStringList stored;
    };
    for (const Case& c : {
             Case{options::kHideAll,
                  {"-foot", "-inch", "-metre", "-Mile", "-yard"},
                  {"metre", "inch", "foot", "yard", "Mile"}},
             Case{options::kShowAll, {"foot", "inch", "metre", "Mile", "yard"}, {}},
         }) {
        Catalogue start = catalogue;
        start[kLen].unit(2).setHidden(true);
        auto window = open(start);
        combo(*window)->setCurrentIndex(kLen);
        QTest::mouseClick(window->control<QPushButton>(c.button), Qt::LeftButton);
        EXPECT_EQ(rows(*window), c.rows) << c.button;
        window->command(kIdOk);
        EXPECT_EQ(storedList(settings, QStringLiteral("LEN")), c.stored) << c.button;
        EXPECT_EQ(storedList(settings, QStringLiteral("CNY")), QStringList{"dollar"}) << c.button;
        EXPECT_EQ(storedList(settings, QStringLiteral("VOL")), std::nullopt) << "a category without units";
    }
}

TEST_F(OptionsWindow, ChangesSurviveSwitchingToAnotherCategoryAndBack)
{
    auto window = open(catalogue);
    uncheck(*window, "Euro");
    combo(*window)->setCurrentIndex(kLen);
    uncheck(*window, "metre");
    combo(*window)->setCurrentIndex(kCny);
    EXPECT_EQ(rows(*window), (QStringList{"-dollar", "-Euro", "Yen"}));
    combo(*window)->setCurrentIndex(kLen);
    EXPECT_EQ(rows(*window), (QStringList{"foot", "inch", "-metre", "Mile", "yard"}));
    // A row checked again is shown again.
    row(*window, "metre")->setCheckState(Qt::Checked);
    EXPECT_FALSE(window->catalogueCopy()[kLen].unit(0).hidden());
    EXPECT_TRUE(window->catalogueCopy()[kCny].unit(0).hidden());
}

TEST_F(OptionsWindow, CancelWritesNothing)
{
    storeList(settings, QStringLiteral("LEN"), {"inch"});
    storeList(settings, QStringLiteral("VOL"), {"litre"});
    for (const auto& cancel : std::vector<std::function<void(COptionsDlg&)>>{
             [](COptionsDlg& w) { w.command(kIdCancel); },
             [](COptionsDlg& w) { QTest::keyClick(&w, Qt::Key_Escape); },
             [](COptionsDlg& w) { w.close(); },
         }) {
        auto window = open(catalogue);
        QTest::mouseClick(window->control<QPushButton>(options::kHideAll), Qt::LeftButton);
        cancel(*window);
        EXPECT_EQ(window->result(), QDialog::Rejected);
        EXPECT_EQ(storedList(settings, QStringLiteral("CNY")), std::nullopt);
        EXPECT_EQ(storedList(settings, QStringLiteral("LEN")), QStringList{"inch"});
        EXPECT_EQ(storedList(settings, QStringLiteral("VOL")), QStringList{"litre"});
    }
}

TEST_F(OptionsWindow, ConfirmWithoutChangesRewritesEveryList)
{
    // Names of units that no longer exist, and a list of a category that now has none.
    storeList(settings, QStringLiteral("LEN"), {"chain", "rod", "furlong"});
    storeList(settings, QStringLiteral("VOL"), {"litre"});
    auto window = open(catalogue);
    window->command(kIdOk);
    EXPECT_EQ(storedList(settings, QStringLiteral("CNY")), QStringList{"dollar"});
    EXPECT_EQ(storedList(settings, QStringLiteral("LEN")), QStringList{});
    EXPECT_EQ(storedList(settings, QStringLiteral("VOL")), std::nullopt);
}

TEST_F(OptionsWindow, TappingARowAnywhereFlipsItsCheckBoxOnce)
{
    auto window = open(catalogue);
    QListWidget* units = list(*window);
    QListWidgetItem* yen = row(*window, "Yen");
    const QRect rect = units->visualItemRect(yen);
    // From the check box's left edge to the middle of the text: every tap flips exactly once,
    // whether it lands on the box (which flips itself) or beside it.
    Qt::CheckState expected = yen->checkState();
    for (int x = rect.left() + 2; x < rect.left() + 120; x += 6) {
        QTest::mouseClick(units->viewport(), Qt::LeftButton, {}, QPoint(x, rect.center().y()));
        expected = expected == Qt::Checked ? Qt::Unchecked : Qt::Checked;
        ASSERT_EQ(yen->checkState(), expected) << "tap at x " << x;
        EXPECT_EQ(window->catalogueCopy()[kCny].unit(2).hidden(), expected != Qt::Checked);
    }
}

TEST_F(OptionsWindow, EveryShapeKeepsTheListAndRendersToPng)
{
    const QString folder = QStringLiteral(QUANTARO_BINARY_DIR "/renders");
    ASSERT_TRUE(QDir().mkpath(folder));
    struct Shape
    {
        QSize size;
        int templateId;
    };
    auto window = open(catalogue);
    combo(*window)->setCurrentIndex(kLen);
    uncheck(*window, "inch");
    for (const Shape& shape :
         {Shape{{360, 640}, options::kTemplates.portrait}, Shape{{640, 360}, options::kTemplates.landscape},
          Shape{{480, 480}, options::kTemplates.square}, Shape{{240, 320}, options::kTemplates.portrait},
          Shape{{320, 240}, options::kTemplates.landscape}}) {
        screen.size = shape.size;
        window->resize(shape.size);
        EXPECT_EQ(window->currentTemplate(), shape.templateId);
        EXPECT_EQ(combo(*window)->currentIndex(), kLen);
        EXPECT_EQ(rows(*window), (QStringList{"foot", "-inch", "metre", "Mile", "yard"}));
        const QString file =
            folder + QStringLiteral("/options_%1x%2.png").arg(shape.size.width()).arg(shape.size.height());
        EXPECT_TRUE(window->grab().save(file)) << file.toStdString();
    }
}

} // namespace
