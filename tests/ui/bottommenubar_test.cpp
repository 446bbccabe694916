#include "recordingdialog.h"
#include "support/fakes.h"

#include <QApplication>
#include <QFrame>
#include <QMenu>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QToolButton>
#include <QWidgetAction>
#include <gtest/gtest.h>

using namespace quantaro;
using namespace quantaro::test;

namespace {
class MenuBarTest : public ::testing::Test
{
protected:
    MenuBarTest() : window(UiServices{&messages, &screen, nullptr, nullptr, &uiResources()}) { window.show(); }

    static QWidget* columnGrid(QMenu* popup)
    {
        for (QAction* action : popup->actions()) {
            if (auto* widgetAction = qobject_cast<QWidgetAction*>(action)) {
                return widgetAction->defaultWidget();
            }
        }
        return nullptr;
    }

    static int verticalLines(QWidget* grid)
    {
        int lines = 0;
        for (QFrame* frame : grid->findChildren<QFrame*>()) {
            lines += frame->frameShape() == QFrame::VLine ? 1 : 0;
        }
        return lines;
    }

    RecordingMessageBoxes messages;
    FixedScreen screen{QSize(360, 640)};
    RecordingDialog window;
};
} // namespace

TEST_F(MenuBarTest, BarIsBuiltFromTheMenuResourceAlongTheBottom)
{
    BottomMenuBar* bar = window.menuBar();
    ASSERT_NE(bar, nullptr);
    QStringList labels;
    for (QPushButton* button : bar->buttons()) {
        labels << button->text();
    }
    EXPECT_EQ(labels, (QStringList{"Units", "Categories", "About"}));
    EXPECT_EQ(bar->geometry(), QRect(0, 640 - kMenuBarHeight, 360, kMenuBarHeight));
    ASSERT_EQ(bar->popups().size(), 3);
    EXPECT_EQ(bar->popups().at(2), nullptr) << "a command entry has no popup";
    const QList<QAction*> units = BottomMenuBar::items(bar->popups().at(0));
    ASSERT_EQ(units.size(), 4);
    EXPECT_TRUE(units[1]->isSeparator());
    EXPECT_EQ(BottomMenuBar::firstItemId(bar->popups().at(0)), uires::kCopy);
    EXPECT_EQ(bar->popupByFirstItem(uires::kNormal)->title(), QStringLiteral("Notation"));
    EXPECT_TRUE(bar->action(uires::kNormal)->isCheckable());
}

TEST_F(MenuBarTest, MissingOrBrokenMenuLeavesNoBar)
{
    for (int menuId : {uires::kMissingMenu, uires::kBrokenMenu}) {
        EXPECT_FALSE(window.setMenuBarFromResource(menuId)) << menuId;
        EXPECT_EQ(window.menuBar(), nullptr) << menuId;
    }
    BottomMenuBar bar;
    for (const char* text :
         {"[]", "{\"popups\": 3}", "{}", "{\"popups\": [{\"text\": \"A\", \"items\": [1, null]}]}"}) {
        const bool loaded = bar.load(QByteArray(text));
        EXPECT_TRUE(!loaded || bar.action(0) == nullptr) << text;
    }
}

TEST_F(MenuBarTest, WindowFillsAPopupAboutToOpenIntoTwoColumns)
{
    BottomMenuBar* bar = window.menuBar();
    QMenu* categories = bar->popupByFirstItem(uires::kPlaceholder);
    ASSERT_NE(categories, nullptr);
    emit categories->aboutToShow();

    const QList<QAction*> items = BottomMenuBar::items(categories);
    ASSERT_EQ(items.size(), kCategoryCount);
    EXPECT_EQ(BottomMenuBar::firstItemId(categories), kFirstCategoryCommand);
    for (int i = 0; i < kCategoryCount; ++i) {
        EXPECT_EQ(BottomMenuBar::startsColumn(items[i]), i == kSecondColumnStart) << i;
    }
    QWidget* grid = columnGrid(categories);
    ASSERT_NE(grid, nullptr);
    EXPECT_EQ(grid->findChildren<QToolButton*>().size(), kCategoryCount);
    EXPECT_EQ(verticalLines(grid), 1);

    // Opening again finds the placeholder gone and changes nothing.
    emit categories->aboutToShow();
    EXPECT_EQ(BottomMenuBar::items(categories).size(), kCategoryCount);
    EXPECT_EQ(grid->findChildren<QToolButton*>().size(), kCategoryCount);

    int chosen = 0;
    window.onCommand(kFirstCategoryCommand + 12, [&] { chosen = kFirstCategoryCommand + 12; });
    grid = columnGrid(categories);
    for (QToolButton* button : grid->findChildren<QToolButton*>()) {
        if (button->text() == QStringLiteral("Category 12")) {
            button->click();
        }
    }
    EXPECT_EQ(chosen, kFirstCategoryCommand + 12);
}

TEST_F(MenuBarTest, ItemsAreChangedByCommandId)
{
    BottomMenuBar* bar = window.menuBar();
    bar->setItemChecked(uires::kNormal, true);
    bar->setItemEnabled(uires::kCopy, false);
    EXPECT_TRUE(bar->action(uires::kNormal)->isChecked());
    EXPECT_FALSE(bar->action(uires::kCopy)->isEnabled());
    bar->setItemEnabled(uires::kAbout, false);
    EXPECT_FALSE(bar->buttons().at(2)->isEnabled()) << "a command button follows its item";

    QMenu* units = bar->popups().at(0);
    EXPECT_TRUE(bar->removeItem(units, uires::kCopy));
    EXPECT_FALSE(bar->removeItem(units, uires::kCopy));
    EXPECT_EQ(bar->action(uires::kCopy), nullptr);
    EXPECT_EQ(BottomMenuBar::firstItemId(units), 0) << "a separator has no id";
}

TEST_F(MenuBarTest, PopupOpensUpwardsFromItsButton)
{
    BottomMenuBar* bar = window.menuBar();
    const int before = window.popupsPrepared;
    bar->openPopup(0);
    QMenu* units = bar->popups().at(0);
    EXPECT_TRUE(units->isVisible());
    EXPECT_EQ(window.popupsPrepared, before + 1);
    const QPoint buttonTop = bar->buttons().at(0)->mapToGlobal(QPoint(0, 0));
    EXPECT_LE(units->geometry().bottom(), buttonTop.y());
    EXPECT_TRUE(units->screen()->availableGeometry().contains(units->geometry()));
    for (QAction* item : units->actions()) {
        if (item->isVisible() && !item->isSeparator()) {
            EXPECT_GE(units->actionGeometry(item).height(), kTouchRowHeight) << item->text().toStdString();
        }
    }
    units->close();
}

TEST_F(MenuBarTest, ASubmenuThatWouldCoverTheBarEndsAboveIt)
{
    BottomMenuBar* bar = window.menuBar();
    QMenu* notation = nullptr;
    for (QAction* item : bar->popups().at(0)->actions()) {
        notation = item->menu() ? item->menu() : notation;
    }
    ASSERT_NE(notation, nullptr);
    const QRect barArea(bar->mapToGlobal(QPoint(0, 0)), bar->size());
    notation->popup(QPoint(barArea.left() + 100, barArea.top() + 4));
    EXPECT_FALSE(notation->geometry().intersects(barArea));
    EXPECT_EQ(notation->geometry().bottom(), barArea.top() - 1);
    notation->close();
}

// A popup of columns is worked from the keyboard: it opens with the keyboard on its first item,
// arrows go across the columns, Tab along them, and Enter chooses.
TEST_F(MenuBarTest, AGridPopupIsWorkedFromTheKeyboard)
{
    BottomMenuBar* bar = window.menuBar();
    QMenu* categories = bar->popupByFirstItem(uires::kPlaceholder);
    ASSERT_NE(categories, nullptr);
    int chosen = 0;
    window.onCommand(kFirstCategoryCommand + 1, [&] { chosen = kFirstCategoryCommand + 1; });
    bar->openPopup(int(bar->popups().indexOf(categories)));
    QApplication::processEvents();
    const auto focused = [] {
        const auto* button = qobject_cast<QToolButton*>(QApplication::focusWidget());
        return button ? button->text() : QString();
    };
    EXPECT_EQ(focused(), QStringLiteral("Category 0"));
    const struct
    {
        Qt::Key key;
        int then;
    } steps[] = {{Qt::Key_Down, 1},
                 {Qt::Key_Right, kSecondColumnStart + 1},
                 {Qt::Key_Backtab, kSecondColumnStart},
                 {Qt::Key_Tab, kSecondColumnStart + 1},
                 {Qt::Key_Left, 1}};
    for (const auto& step : steps) {
        QTest::keyClick(QApplication::focusWidget(), step.key);
        EXPECT_EQ(focused(), QStringLiteral("Category %1").arg(step.then)) << step.key;
    }
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    EXPECT_EQ(chosen, kFirstCategoryCommand + 1);
    EXPECT_FALSE(categories->isVisible());
}
