#include "ui/contrast.h"
#include "ui/spokentext.h"

#include <QPalette>
#include <gtest/gtest.h>

using namespace quantaro;

namespace {

TEST(Contrast, RatiosOfKnownPairs)
{
    const struct
    {
        QColor a;
        QColor b;
        double ratio;
    } cases[] = {
        {Qt::black, Qt::white, 21.0},
        {Qt::white, Qt::black, 21.0},
        {QColor(0x77, 0x77, 0x77), Qt::white, 4.48},
        {QColor(192, 0, 0), Qt::white, 6.48},
        {QColor(0, 160, 0), Qt::white, 3.48},
        {QColor(0x2b, 0x2b, 0x2b), QColor(0x2b, 0x2b, 0x2b), 1.0},
    };
    for (const auto& c : cases) {
        EXPECT_NEAR(contrastRatio(c.a, c.b), c.ratio, 0.01)
            << c.a.name().toStdString() << " " << c.b.name().toStdString();
    }
}

TEST(Contrast, DarkBackgroundsGetLighterVariantsOfTheSameHueAndLightOnesKeepTheChosenColour)
{
    const struct
    {
        QColor chosen;
        QColor background;
        bool changed;
    } cases[] = {
        {QColor(192, 0, 0), Qt::white, false},
        {QColor(0, 160, 0), QColor(0xef, 0xef, 0xef), false}, // chosen for light windows: kept
        {QColor(192, 0, 0), QColor(0x2b, 0x2b, 0x2b), true},
        {QColor(0, 160, 0), QColor(0x2b, 0x2b, 0x2b), true},
        {QColor(0, 0, 238), Qt::black, true},
        {QColor(255, 200, 200), QColor(0x2b, 0x2b, 0x2b), false}, // already readable
    };
    for (const auto& c : cases) {
        const QColor shown = readableOn(c.chosen, c.background);
        EXPECT_EQ(shown != c.chosen, c.changed)
            << c.chosen.name().toStdString() << " on " << c.background.name().toStdString();
        if (c.changed) {
            EXPECT_GE(contrastRatio(shown, c.background), kMinimumTextContrast);
            EXPECT_EQ(shown.hslHue(), c.chosen.hslHue());
        }
    }
}

TEST(Contrast, APaletteIsDarkWhenItsWindowIs)
{
    QPalette palette;
    palette.setColor(QPalette::Window, QColor(0x2b, 0x2b, 0x2b));
    EXPECT_TRUE(isDarkPalette(palette));
    palette.setColor(QPalette::Window, QColor(0xef, 0xef, 0xef));
    EXPECT_FALSE(isDarkPalette(palette));
}

TEST(SpokenText, CategoryStringsAreSpokenByTheirFirstName)
{
    EXPECT_EQ(firstName(QStringLiteral("Radiation;Activity;Absorbed dose")), QStringLiteral("Radiation"));
    EXPECT_EQ(firstName(QStringLiteral("Length")), QStringLiteral("Length"));
    EXPECT_EQ(firstName(QString()), QString());
    EXPECT_EQ(firstName(QStringLiteral(";Orphan")), QString());
}

} // namespace
