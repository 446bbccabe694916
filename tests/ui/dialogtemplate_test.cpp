#include "ui/dialogtemplate.h"
#include "ui/screenshape.h"
#include "uitestmodule.h"

#include <gtest/gtest.h>

using namespace quantaro;
using namespace quantaro::test;

TEST(ScreenShapeTest, ShapeComesFromTheScreenSides)
{
    struct Case
    {
        QSize screen;
        ScreenShape shape;
        int templateId;
    };
    const TemplateTriple triple{uires::kPortrait, uires::kLandscape, uires::kSquare};
    for (const Case& c :
         {Case{{240, 320}, ScreenShape::Portrait, uires::kPortrait},
          Case{{320, 240}, ScreenShape::Landscape, uires::kLandscape},
          Case{{240, 240}, ScreenShape::Square, uires::kSquare}, Case{{480, 480}, ScreenShape::Square, uires::kSquare},
          Case{{1920, 1080}, ScreenShape::Landscape, uires::kLandscape}}) {
        EXPECT_EQ(screenShape(c.screen), c.shape) << c.screen.width() << "x" << c.screen.height();
        EXPECT_EQ(triple.forShape(screenShape(c.screen)), c.templateId);
    }
}

TEST(ScreenShapeTest, AWindowNeverOutgrowsTheScreensAvailableArea)
{
    struct Case
    {
        QSize design;
        QSize available;
        QSize window;
    };
    for (const Case& c : {// Handhelds: the window fills the area, whatever its template's size.
                          Case{{360, 640}, {240, 320}, {240, 320}}, Case{{640, 360}, {320, 240}, {320, 240}},
                          Case{{480, 480}, {360, 640}, {360, 640}}, Case{{480, 480}, {640, 360}, {640, 360}},
                          Case{{360, 640}, {360, 600}, {360, 600}}, Case{{360, 640}, {360, 720}, {360, 720}},
                          // A desktop smaller than the template in one direction.
                          Case{{640, 900}, {1280, 800}, {1280, 800}},
                          // A desktop: the template's size.
                          Case{{640, 360}, {1920, 1050}, {640, 360}}, Case{{480, 480}, {1024, 768}, {480, 480}},
                          // No screen known.
                          Case{{360, 640}, {}, {360, 640}}}) {
        EXPECT_EQ(windowSizeFor(c.design, c.available), c.window) << c.available.width() << "x" << c.available.height();
    }
}

TEST(ScreenShapeTest, APopupIsMovedAndCutIntoTheScreen)
{
    const QRect screen(0, 0, 360, 640);
    struct Case
    {
        QRect popup;
        QRect placed;
    };
    for (const Case& c : {Case{{10, 10, 100, 100}, {10, 10, 100, 100}}, Case{{300, 500, 200, 80}, {160, 500, 200, 80}},
                          Case{{-20, -30, 50, 50}, {0, 0, 50, 50}}, Case{{200, 100, 400, 900}, {0, 0, 360, 640}}}) {
        EXPECT_EQ(keptInside(c.popup, screen), c.placed);
    }
}

TEST(DialogTemplateTest, ReadsDesignSizeAndAddressedControlsInOrder)
{
    const auto parsed = DialogTemplate::parse(*uiResources().dialogTemplate(uires::kPortrait));
    ASSERT_TRUE(parsed);
    EXPECT_EQ(parsed->designSize, QSize(360, 640));
    EXPECT_EQ(parsed->title, QStringLiteral("Test window"));
    std::vector<int> ids;
    for (const TemplateItem& item : parsed->items) {
        ids.push_back(item.id);
    }
    // The decoration label without an id is not an item.
    EXPECT_EQ(ids, (std::vector<int>{1001, 1006, 1002, 1003, 1007, 1004, 1009, 1008, 1}));
    const TemplateItem& title = parsed->items.front();
    EXPECT_EQ(title.className, QStringLiteral("QLabel"));
    EXPECT_EQ(title.geometry, QRect(16, 16, 328, 40));
    EXPECT_EQ(title.text.value_or(QString()), QStringLiteral("Portrait title"));
    EXPECT_EQ(parsed->items[1].bitmap.value_or(QString()), QStringLiteral("BANNER"));
    // A combo box's own item texts are not the control's text.
    EXPECT_FALSE(parsed->items[3].text.has_value());
}

TEST(DialogTemplateTest, BrokenTemplatesAreNotTemplates)
{
    for (const QByteArray& text :
         {*uiResources().dialogTemplate(uires::kBrokenTemplate), QByteArray(),
          QByteArray("<ui><widget class=\"QDialog\"></widget></ui>"), QByteArray("<html><body/></html>")}) {
        EXPECT_FALSE(DialogTemplate::parse(text)) << text.constData();
    }
}

TEST(DialogTemplateTest, DesignGeometryScalesWithTheMenuBarStripKept)
{
    struct Case
    {
        QRect design;
        QSize designSize;
        QSize window;
        QRect expected;
    };
    for (const Case& c : {
             Case{{16, 16, 328, 40}, {360, 640}, {360, 640}, {16, 16, 328, 40}},
             Case{{0, 0, 360, 592}, {360, 640}, {240, 320}, {0, 0, 240, 272}},
             Case{{0, 296, 180, 296}, {360, 640}, {240, 320}, {0, 136, 120, 136}},
             Case{{320, 0, 320, 312}, {640, 360}, {320, 240}, {160, 0, 160, 192}},
         }) {
        EXPECT_EQ(mapFromDesign(c.design, c.designSize, c.window), c.expected);
    }
    // Neighbours on the grid stay adjacent whatever the factor.
    const QRect left = mapFromDesign({16, 16, 104, 48}, {360, 640}, {241, 333});
    const QRect right = mapFromDesign({120, 16, 104, 48}, {360, 640}, {241, 333});
    EXPECT_EQ(left.right() + 1, right.left());
}
