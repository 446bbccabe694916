#include "ui/cstretchbitmapbutton.h"
#include "ui/waitcursor.h"
#include "uitestmodule.h"

#include <QApplication>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

using namespace quantaro;
using namespace quantaro::test;
using Image = CStretchBitmapButton::Image;

namespace {
constexpr int kButtonId = 1054;

class BitmapButtonTest : public ::testing::Test
{
protected:
    QPushButton* makeButton(const QString& caption, QSize size = QSize(40, 30))
    {
        auto* button = new QPushButton(caption, &owner);
        button->setProperty("controlId", kButtonId);
        button->setGeometry(QRect(QPoint(0, 0), size));
        return button;
    }
    QImage grab(QPushButton* button) { return button->grab().toImage(); }

    QWidget owner;
    CStretchBitmapButton picture;
};
} // namespace

TEST_F(BitmapButtonTest, StateChoosesPressedThenFocusThenDisabledThenUp)
{
    struct Case
    {
        const char* caption;
        bool pressed, focused, disabled;
        Image expected;
    };
    // PIC has up, focus and disabled bitmaps but no pressed one; KEY has up, pressed and focus.
    for (const Case& c : {Case{"PIC", false, false, false, Image::Up}, Case{"PIC", true, false, false, Image::Up},
                          Case{"PIC", true, true, false, Image::Focus}, Case{"PIC", false, true, true, Image::Focus},
                          Case{"PIC", false, false, true, Image::Disabled}, Case{"KEY", true, true, true, Image::Down},
                          Case{"KEY", false, false, true, Image::Up}}) {
        makeButton(QString::fromLatin1(c.caption));
        ASSERT_TRUE(picture.AttachAndLoad(kButtonId, &owner, &uiResources()));
        EXPECT_EQ(picture.imageFor(c.pressed, c.focused, c.disabled), c.expected)
            << c.caption << " pressed " << c.pressed << " focused " << c.focused << " disabled " << c.disabled;
        delete picture.button();
    }
}

TEST_F(BitmapButtonTest, BitmapFillsTheButtonKeepingItsProportions)
{
    QPushButton* button = makeButton(QStringLiteral("PIC"));
    ASSERT_TRUE(picture.AttachAndLoad(kButtonId, &owner, &uiResources()));
    const QImage doubled = grab(button);
    ASSERT_EQ(doubled.size(), QSize(40, 30));
    // Quadrants of 10 x 8 and 10 x 7 pixels, each doubled.
    EXPECT_EQ(doubled.pixelColor(0, 0), QColor(Qt::red));
    EXPECT_EQ(doubled.pixelColor(19, 15), QColor(Qt::red));
    EXPECT_EQ(doubled.pixelColor(20, 0), QColor(Qt::green));
    EXPECT_EQ(doubled.pixelColor(19, 16), QColor(Qt::blue));
    EXPECT_EQ(doubled.pixelColor(39, 29), QColor(Qt::yellow));

    button->setText(QStringLiteral("WIDE"));
    ASSERT_TRUE(picture.AttachAndLoad(kButtonId, &owner, &uiResources()));
    // A 60 x 20 picture (red then blue) on a 40 x 30 button: 40 x 13, centred, not squashed.
    const QImage narrowed = grab(button);
    EXPECT_EQ(narrowed.pixelColor(19, 15), QColor(Qt::red));
    EXPECT_EQ(narrowed.pixelColor(20, 15), QColor(Qt::blue));
    EXPECT_NE(narrowed.pixelColor(20, 2), QColor(Qt::blue));
    EXPECT_NE(narrowed.pixelColor(20, 27), QColor(Qt::blue));
}

TEST_F(BitmapButtonTest, DisabledButtonDrawsItsDisabledBitmap)
{
    QPushButton* button = makeButton(QStringLiteral("PIC"));
    ASSERT_TRUE(picture.AttachAndLoad(kButtonId, &owner, &uiResources()));
    button->setEnabled(false);
    EXPECT_EQ(grab(button).pixelColor(5, 5), QColor(128, 128, 128));
    button->setEnabled(true);
    button->setDown(true);
    EXPECT_EQ(grab(button).pixelColor(5, 5), QColor(Qt::red)) << "no pressed bitmap: the up bitmap";
}

TEST_F(BitmapButtonTest, SvgBitmapIsRenderedAtTheButtonSize)
{
    QPushButton* button = makeButton(QStringLiteral("SVG"), QSize(80, 60));
    ASSERT_TRUE(picture.AttachAndLoad(kButtonId, &owner, &uiResources()));
    const QImage image = grab(button);
    EXPECT_EQ(image.pixelColor(1, 1), QColor(0x15, 0x65, 0xc0));
    EXPECT_EQ(image.pixelColor(40, 30), QColor(Qt::white));
}

TEST_F(BitmapButtonTest, ButtonWithoutBitmapsStaysBlankButClicks)
{
    owner.resize(40, 30);
    QPushButton* button = makeButton(QStringLiteral("NOTHING"));
    EXPECT_FALSE(picture.AttachAndLoad(kButtonId, &owner, &uiResources()));
    EXPECT_EQ(picture.button(), button);
    const QImage image = grab(button);
    EXPECT_EQ(image.pixelColor(0, 0), image.pixelColor(20, 15)) << "nothing drawn, not even a frame";
    QSignalSpy clicks(button, &QPushButton::clicked);
    owner.show();
    QTest::mouseClick(button, Qt::LeftButton);
    EXPECT_EQ(clicks.count(), 1);
}

TEST_F(BitmapButtonTest, LoadingStopsAfterAMissingUpBitmap)
{
    makeButton(QStringLiteral("ORPHAN"));
    EXPECT_FALSE(picture.AttachAndLoad(kButtonId, &owner, &uiResources()));
    EXPECT_FALSE(picture.hasImage(Image::Down));
    EXPECT_EQ(picture.imageFor(true, false, false), std::nullopt);
    EXPECT_FALSE(picture.AttachAndLoad(4242, &owner, &uiResources())) << "no such button";
}

TEST_F(BitmapButtonTest, APictureThatCannotBeParsedCountsAsAbsent)
{
    struct Case
    {
        const char* caption;
        bool loaded;
        std::optional<Image> pressed;
    };
    // CRACK: a sound SVG up picture and a cut-off SVG pressed one. BAD: a cut-off SVG up picture
    // beside a sound pressed one. RUST: a PNG cut off after its header.
    for (const Case& c :
         {Case{"CRACK", true, Image::Up}, Case{"BAD", false, std::nullopt}, Case{"RUST", false, std::nullopt}}) {
        SCOPED_TRACE(c.caption);
        QPushButton* button = makeButton(QString::fromLatin1(c.caption), QSize(80, 60));
        EXPECT_EQ(picture.AttachAndLoad(kButtonId, &owner, &uiResources()), c.loaded);
        EXPECT_EQ(picture.imageFor(true, false, false), c.pressed);
        if (c.loaded) {
            button->setDown(true);
            EXPECT_EQ(grab(button).pixelColor(1, 1), QColor(0x15, 0x65, 0xc0)) << "the up picture stands in";
        }
        delete button;
    }
}

TEST(WaitCursorTest, ShowsTheWaitCursorForItsLifetime)
{
    {
        WaitCursor outer;
        ASSERT_NE(QApplication::overrideCursor(), nullptr);
        EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
        {
            WaitCursor inner;
        }
        EXPECT_NE(QApplication::overrideCursor(), nullptr);
    }
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}
