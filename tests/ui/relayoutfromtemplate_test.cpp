#include "support/fakes.h"
#include "ui/quantarodialog.h"
#include "ui/relayoutfromtemplate.h"
#include "uitestmodule.h"

#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <gtest/gtest.h>

using namespace quantaro;
using namespace quantaro::test;

namespace {

struct Snapshot
{
    QRect geometry;
    QString text;
    bool operator==(const Snapshot&) const = default;
};

class RelayoutTest : public ::testing::Test
{
protected:
    RelayoutTest()
        : window(TemplateTriple{uires::kPortrait, uires::kLandscape, uires::kSquare},
                 UiServices{&messages, &screen, nullptr, nullptr, &uiResources()})
    {
        window.resize(640, 360);
    }

    std::map<int, Snapshot> snapshot() const
    {
        std::map<int, Snapshot> result;
        for (QWidget* child : window.findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
            const int id = child->property("controlId").toInt();
            QString text;
            if (auto* label = qobject_cast<QLabel*>(child)) {
                text = label->text();
            } else if (auto* button = qobject_cast<QPushButton*>(child)) {
                text = button->text();
            }
            result[id] = {child->geometry(), text};
        }
        return result;
    }

    RecordingMessageBoxes messages;
    FixedScreen screen{QSize(360, 640)};
    QuantaroDialog window;
};

} // namespace

TEST_F(RelayoutTest, ControlsTakeTheTemplateGeometryAndCaptions)
{
    ASSERT_TRUE(window.isCreated());
    window.control<QLabel>(uires::kTitle)->setText(QStringLiteral("Set by the window"));
    RelayoutFromTemplate(&window, uires::kLandscape, &uiResources());
    EXPECT_EQ(window.control(uires::kTitle)->geometry(), QRect(16, 16, 296, 40));
    EXPECT_EQ(window.control(uires::kCombo)->geometry(), QRect(328, 16, 296, 40));
    EXPECT_EQ(window.control<QLabel>(uires::kTitle)->text(), QStringLiteral("Landscape title"));
    EXPECT_EQ(window.control<QPushButton>(1)->text(), QStringLiteral("Done"));
}

TEST_F(RelayoutTest, ListAndComboKeepTheirSelection)
{
    auto* list = window.control<QListWidget>(uires::kList);
    auto* combo = window.control<QComboBox>(uires::kCombo);
    for (int i = 0; i < 40; ++i) {
        list->addItem(QStringLiteral("Unit %1").arg(i));
        combo->addItem(QStringLiteral("Choice %1").arg(i));
    }
    list->setCurrentRow(33);
    combo->setCurrentIndex(17);
    window.show();
    RelayoutFromTemplate(&window, uires::kLandscape, &uiResources());
    EXPECT_EQ(list->currentRow(), 33);
    EXPECT_EQ(combo->currentIndex(), 17);
    // Re-shown: the selected row is inside the list's visible area.
    EXPECT_TRUE(list->viewport()->rect().intersects(list->visualItemRect(list->currentItem())));
    window.hide();
}

TEST_F(RelayoutTest, UnmatchedControlsAndItemsAreLeftAlone)
{
    const auto before = snapshot();
    RelayoutFromTemplate(&window, uires::kLandscape, &uiResources());
    const auto after = snapshot();
    // The portrait-only label has no landscape item; the landscape ghost item has no control.
    EXPECT_EQ(after.at(uires::kPortraitOnly), before.at(uires::kPortraitOnly));
    EXPECT_EQ(after.size(), before.size());
    EXPECT_EQ(window.control(uires::kGhost), nullptr);
}

TEST_F(RelayoutTest, MissingOrBrokenTemplateChangesNothing)
{
    RelayoutFromTemplate(&window, uires::kSquare, &uiResources());
    window.control<QLabel>(uires::kTitle)->setText(QStringLiteral("Run-time"));
    const auto before = snapshot();
    for (int templateId : {uires::kMissingTemplate, uires::kBrokenTemplate}) {
        RelayoutFromTemplate(&window, templateId, &uiResources());
        EXPECT_EQ(snapshot(), before) << templateId;
    }
}

TEST_F(RelayoutTest, StaticPicturesAreReplacedFromTheTemplate)
{
    auto* banner = window.control<QLabel>(uires::kBanner);
    RelayoutFromTemplate(&window, uires::kPortrait, &uiResources());
    ASSERT_FALSE(banner->pixmap().isNull());
    const QImage bitmap = banner->pixmap().toImage();
    RelayoutFromTemplate(&window, uires::kLandscape, &uiResources());
    ASSERT_FALSE(banner->pixmap().isNull());
    // The landscape template shows icon 5, a plain green square.
    const QImage icon = banner->pixmap().toImage();
    EXPECT_NE(icon, bitmap);
    EXPECT_EQ(icon.pixelColor(0, 0), QColor(0, 160, 0));
}
