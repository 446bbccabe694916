// Texts are fitted to their labels in every script: Chinese and Japanese have no spaces to break at
// and wider glyphs, Cyrillic words are long. A text shrinks to fit, never below its smallest size,
// and what still does not fit is cut short with an ellipsis, never past the label's edge.
#include "ui/textfit.h"

#include <QFontMetrics>
#include <QLabel>
#include <gtest/gtest.h>

using namespace quantaro;

namespace {

constexpr qreal kDesignPoints = 16;
constexpr qreal kSmallestPoints = 10;
const QChar kEllipsis(0x2026);

struct FitCase
{
    const char* text;
    QSize size;
    bool wordWrap;
    bool cut; ///< whether even the smallest size leaves too little room, so the text is cut short
};

QLabel* labelFor(QWidget* parent, const FitCase& c)
{
    auto* label = new QLabel(parent);
    QFont font = label->font();
    font.setPointSizeF(kDesignPoints);
    label->setFont(font);
    label->setWordWrap(c.wordWrap);
    label->setGeometry(QRect(QPoint(0, 0), c.size));
    return label;
}

/** The width a label's text takes in its font, line by line as it is shown. */
int neededWidth(const QLabel& label)
{
    const int flags = int(label.alignment()) | (label.wordWrap() ? int(Qt::TextWordWrap) : 0);
    return QFontMetrics(label.font()).boundingRect(label.contentsRect(), flags, label.text()).width();
}

class TextFitTest : public ::testing::TestWithParam<FitCase>
{
};

TEST_P(TextFitTest, ShrinksThenCutsShortWithinTheLabel)
{
    const FitCase& c = GetParam();
    QWidget window;
    QLabel* label = labelFor(&window, c);
    const QString text = QString::fromUtf8(c.text);
    showWithoutShrinkingBelow(label, text, kSmallestPoints);
    EXPECT_GE(label->font().pointSizeF(), kSmallestPoints) << c.text;
    EXPECT_LE(label->font().pointSizeF(), kDesignPoints) << c.text;
    EXPECT_LE(neededWidth(*label), label->contentsRect().width()) << c.text;
    EXPECT_EQ(label->text() != text, c.cut) << c.text << " shown as " << label->text().toStdString();
    if (c.cut) {
        // What is shown is the text's beginning, and says it was cut.
        const QString shown = label->text();
        ASSERT_TRUE(shown.endsWith(kEllipsis)) << shown.toStdString();
        EXPECT_TRUE(text.startsWith(shown.chopped(1).trimmed())) << shown.toStdString();
    }
}

INSTANTIATE_TEST_SUITE_P(
    Scripts, TextFitTest,
    ::testing::Values(
        FitCase{"公里", {200, 40}, false, false}, FitCase{"キロメートル", {200, 40}, false, false},
        // Shrinks to fit: a pair line, Chinese then Japanese.
        FitCase{"公里 → 英里", {110, 40}, false, false}, FitCase{"キロメートル → マイル", {170, 40}, false, false},
        // No space to break at: a long Chinese title in one row, and in rows it may wrap in.
        FitCase{"国际单位制长度换算：公里、英里、海里、英尺、英寸和厘米", {200, 40}, false, true},
        FitCase{"国际单位制长度换算：公里、英里、海里", {200, 90}, true, false},
        FitCase{"単位の換算：キロメートル、マイル、海里、フィート、インチ、センチメートル", {160, 30}, true, true},
        // Cyrillic: long words, wide letters.
        FitCase{"Преобразование единиц", {200, 40}, false, false},
        FitCase{"Преобразование единиц измерения длины и площади", {160, 30}, false, true},
        FitCase{"Высокоскоростной", {60, 30}, true, true}));

} // namespace
