// Texts follow the window's size: fonts shrink with the template's rectangles down to a readable
// floor, lists wrap long names in rows that stay tall enough to touch, and every control of every
// template carries an id so that a re-layout moves it at all.
#include "recordingdialog.h"
#include "support/fakes.h"
#include "testpaths.h"
#include "ui/relayoutfromtemplate.h"

#include <QApplication>
#include <QDirIterator>
#include <QFile>
#include <QListWidget>
#include <QXmlStreamReader>
#include <gtest/gtest.h>

using namespace quantaro;
using namespace quantaro::test;

namespace {

TEST(FontScaleTest, FactorIsTheSmallerShrinkOfTheRoomAboveTheMenuBarAndNeverGrows)
{
    const struct
    {
        QSize design, window;
        qreal factor;
    } cases[] = {
        {{360, 640}, {360, 640}, 1.0},
        {{360, 640}, {720, 1280}, 1.0},          // a larger window keeps the design size
        {{360, 640}, {180, 640}, 0.5},           // narrower only
        {{360, 640}, {240, 320}, 272.0 / 592.0}, // the room above the 48-pixel bar decides
        {{640, 360}, {320, 240}, 0.5},
        {{480, 480}, {0, 0}, 0.0},
    };
    for (const auto& c : cases) {
        EXPECT_DOUBLE_EQ(fontScale(c.design, c.window), c.factor) << c.window.width() << "x" << c.window.height();
    }
}

TEST(FontScaleTest, ScaledFontKeepsTheFloorAndTheRestOfTheFont)
{
    const struct
    {
        qreal design, factor, expected;
    } cases[] = {
        {16, 1.0, 16}, {16, 0.75, 12}, {16, 0.25, fontscale::kSmallestPoints},
        {16, 2.0, 16}, {6, 0.5, 6}, // a design already below the floor is left as designed, not enlarged
    };
    for (const auto& c : cases) {
        QFont design;
        design.setPointSizeF(c.design);
        design.setBold(true);
        const QFont scaled = scaledFont(design, c.factor);
        EXPECT_DOUBLE_EQ(scaled.pointSizeF(), c.expected) << c.design << " x " << c.factor;
        EXPECT_TRUE(scaled.bold());
    }
}

class WindowFontTest : public ::testing::Test
{
protected:
    qreal titlePointsAt(QSize size)
    {
        screen.size = size;
        window.resize(size);
        window.show();
        return window.control(uires::kTitle)->font().pointSizeF();
    }

    RecordingMessageBoxes messages;
    FixedScreen screen;
    RecordingDialog window{UiServices{&messages, &screen, nullptr, nullptr, &uiResources()}};
};

TEST_F(WindowFontTest, FontsShrinkWithTheWindowAndComeBackAtTheDesignSize)
{
    const qreal design = designFont(window.control(uires::kTitle)).pointSizeF();
    ASSERT_GT(design, fontscale::kSmallestPoints);
    EXPECT_DOUBLE_EQ(titlePointsAt({360, 640}), design);
    const qreal small = titlePointsAt({240, 320});
    EXPECT_LT(small, design);
    EXPECT_GE(small, fontscale::kSmallestPoints);
    // Many re-layouts later the design size is still the starting point, not the last shrunk font.
    titlePointsAt({240, 320});
    EXPECT_DOUBLE_EQ(titlePointsAt({360, 640}), design);
}

TEST_F(WindowFontTest, AFontTheWindowSetsItselfIsScaledLikeTheTemplateOnes)
{
    titlePointsAt({360, 640});
    QWidget* title = window.control(uires::kTitle);
    QFont own = designFont(title);
    own.setPointSizeF(24);
    own.setItalic(true);
    setDesignFont(title, own);
    EXPECT_DOUBLE_EQ(title->font().pointSizeF(), 24);
    const qreal small = titlePointsAt({240, 320});
    EXPECT_DOUBLE_EQ(small, 24 * fontScale({360, 640}, {240, 320}));
    EXPECT_TRUE(title->font().italic());
}

TEST_F(WindowFontTest, LongNamesWrapInRowsThatStayTouchHigh)
{
    titlePointsAt({240, 320});
    auto* list = window.control<QListWidget>(uires::kList);
    QuantaroDialog::wrapRows(list);
    list->resize(120, 160);
    list->addItems({QStringLiteral("m"),
                    QStringLiteral("Kilometer pro Stunde (km/h), ein Name, der selbst auf vier Zeilen nicht passt")});
    list->doItemsLayout();
    const int shortRow = list->visualItemRect(list->item(0)).height();
    const int longRow = list->visualItemRect(list->item(1)).height();
    EXPECT_GE(shortRow, QuantaroDialog::kMinimumRowHeight);
    EXPECT_GT(longRow, shortRow);
    EXPECT_LE(list->visualItemRect(list->item(1)).width(), list->viewport()->width());
}

// Every control of every template of every language has an id: a re-layout moves only those, and
// would leave any other at its portrait place.
TEST(TemplateIdsTest, EveryControlOfEveryTemplateCarriesAnId)
{
    const QStringList folders = {QStringLiteral(QUANTARO_SOURCE_DIR "/lang/en/res/dialogs"),
                                 QStringLiteral(QUANTARO_SOURCE_DIR "/lang/fr/res/dialogs"),
                                 QStringLiteral(QUANTARO_SOURCE_DIR "/lang/de/res/dialogs"),
                                 QStringLiteral(QUANTARO_SOURCE_DIR "/app/resources/dialogs")};
    int checked = 0;
    for (const QString& folder : folders) {
        QDirIterator files(folder, {QStringLiteral("*.ui")});
        while (files.hasNext()) {
            const QString path = files.next();
            QFile file(path);
            ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
            QXmlStreamReader xml(&file);
            int depth = 0;
            QString widget;
            bool hasId = false;
            while (!xml.atEnd()) {
                xml.readNext();
                if (xml.isStartElement() && xml.name() == QLatin1String("widget")) {
                    ++depth;
                    widget = xml.attributes().value(QLatin1String("name")).toString();
                    hasId = false;
                } else if (xml.isStartElement() && xml.name() == QLatin1String("property") &&
                           xml.attributes().value(QLatin1String("name")) == QLatin1String("controlId")) {
                    hasId = true;
                } else if (xml.isEndElement() && xml.name() == QLatin1String("widget")) {
                    // Depth 2: a control, a direct child of the window.
                    EXPECT_TRUE(depth != 2 || hasId) << path.toStdString() << ": " << widget.toStdString();
                    checked += depth == 2 ? 1 : 0;
                    --depth;
                }
            }
            EXPECT_FALSE(xml.hasError()) << path.toStdString();
        }
    }
    EXPECT_GT(checked, 0);
}

} // namespace
