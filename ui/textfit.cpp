#include "ui/textfit.h"

#include "ui/relayoutfromtemplate.h"

#include <QFontMetrics>
#include <QLabel>
#include <QString>
#include <QStringList>
#include <algorithm>

namespace quantaro {

namespace {
// Each step a text shrinks by to fit.
constexpr qreal kFitStepPoints = 0.5;
} // namespace

void fitText(QLabel* label, qreal start, qreal smallest)
{
    QFont fitted = layoutFont(label);
    const qreal designPoints = designFont(label).pointSizeF();
    fitted.setPointSizeF(std::max(fitted.pointSizeF(), std::min(start, designPoints)));
    smallest = std::min(smallest, fitted.pointSizeF());
    const QRect room = label->contentsRect();
    const int flags = int(label->alignment()) | (label->wordWrap() ? int(Qt::TextWordWrap) : 0);
    while (fitted.pointSizeF() - kFitStepPoints >= smallest) {
        const QRect needed = QFontMetrics(fitted).boundingRect(room, flags, label->text());
        if (needed.height() <= room.height() && needed.width() <= room.width()) {
            break;
        }
        fitted.setPointSizeF(fitted.pointSizeF() - kFitStepPoints);
    }
    label->setFont(fitted);
}

void showWithoutShrinkingBelow(QLabel* label, const QString& text, qreal smallest)
{
    QFont fitted = designFont(label);
    fitted.setPointSizeF(std::max(fitted.pointSizeF(), smallest));
    const QRect room = label->contentsRect();
    const int flags = int(label->alignment()) | (label->wordWrap() ? int(Qt::TextWordWrap) : 0);
    const auto fits = [&room, flags](const QFont& font, const QString& shown) {
        const QRect needed = QFontMetrics(font).boundingRect(room, flags, shown);
        return needed.height() <= room.height() && needed.width() <= room.width();
    };
    while (!fits(fitted, text) && fitted.pointSizeF() - kFitStepPoints >= smallest) {
        fitted.setPointSizeF(fitted.pointSizeF() - kFitStepPoints);
    }
    label->setFont(fitted);
    if (fits(fitted, text)) {
        label->setText(text);
        return;
    }
    const QFontMetrics metrics(fitted);
    const int rows = 1 + std::max(0, room.height() - metrics.height()) / std::max(1, metrics.lineSpacing());
    QStringList lines = text.split(QLatin1Char('\n'));
    if (lines.size() > rows) {
        lines = QStringList{lines.join(QLatin1Char(' '))};
    }
    for (QString& line : lines) {
        line = metrics.elidedText(line, Qt::ElideRight, room.width());
    }
    label->setText(lines.join(QLatin1Char('\n')));
    // A row lower than one line of the font (the title of a 240x320 screen) takes what it lacks from
    // the empty margin above it: the label stands at the top of its window.
    const int missing = metrics.boundingRect(room, flags, label->text()).height() - room.height();
    if (const int taken = std::min(missing, label->y()); taken > 0) {
        label->setGeometry(label->x(), label->y() - taken, label->width(), label->height() + taken);
    }
}

} // namespace quantaro
