#include "ui/relayoutfromtemplate.h"

#include "ui/controls.h"
#include "ui/dialogtemplate.h"
#include "ui/picturefile.h"

#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVariant>
#include <algorithm>
#include <vector>

namespace quantaro {

namespace {
// Dynamic properties that carry a control's fonts from one re-layout to the next.
constexpr const char* kDesignFontProperty = "quantaroDesignFont";
constexpr const char* kFontScaleProperty = "quantaroFontScale";

void rememberDesignFont(QWidget* control)
{
    if (!control->property(kDesignFontProperty).isValid()) {
        control->setProperty(kDesignFontProperty, control->font());
    }
}

void applyFontScale(QWidget* control, qreal factor)
{
    rememberDesignFont(control);
    control->setProperty(kFontScaleProperty, factor);
    const QFont font = layoutFont(control);
    if (control->font() != font) {
        control->setFont(font);
    }
}

void takeOverText(QWidget* control, const TemplateItem& item, const ResourceSource& source)
{
    if (auto* button = qobject_cast<QPushButton*>(control)) {
        if (item.text) {
            button->setText(*item.text);
        }
        return;
    }
    if (auto* label = qobject_cast<QLabel*>(control)) {
        QString picturePath;
        if (item.bitmap) {
            bool isNumber = false;
            const int number = item.bitmap->toInt(&isNumber);
            picturePath = isNumber ? source.bitmapPath(number) : source.bitmapPath(*item.bitmap);
        } else if (item.icon) {
            picturePath = source.iconPath(*item.icon);
        } else {
            if (item.text) {
                label->setText(*item.text);
            }
            return;
        }
        // Replacing the pixmap releases the old picture; a missing one leaves the picture empty.
        const PictureFile picture(picturePath);
        label->setPixmap(picture.fittedInto(label->size(), label->devicePixelRatioF()));
        return;
    }
    if (auto* list = qobject_cast<QListWidget*>(control)) {
        if (QListWidgetItem* current = list->currentItem()) {
            list->scrollToItem(current);
        }
    }
    // A combo box shows its current item wherever it is moved; nothing to do.
}
} // namespace

void relayoutFromParsedTemplate(QWidget* window, const DialogTemplate& dialogTemplate, const ResourceSource& source,
                                bool geometryOnly)
{
    if (!window) {
        return;
    }
    const QHash<int, QWidget*> controls = controlsById(window);
    struct Move
    {
        QWidget* control;
        const TemplateItem* item;
        QRect geometry;
    };
    std::vector<Move> moves;
    moves.reserve(dialogTemplate.items.size());
    for (const TemplateItem& item : dialogTemplate.items) {
        QWidget* control = controls.value(item.id);
        if (!control) {
            continue;
        }
        moves.push_back({control, &item, mapFromDesign(item.geometry, dialogTemplate.designSize, window->size())});
    }

    const qreal factor = fontScale(dialogTemplate.designSize, window->size());
    const bool updatesWereEnabled = window->updatesEnabled();
    window->setUpdatesEnabled(false);
    for (const Move& move : moves) {
        move.control->setGeometry(move.geometry);
        applyFontScale(move.control, factor);
    }
    // Pictures are fitted to the new sizes, so texts and pictures follow the moves.
    for (const Move& move : moves) {
        if (geometryOnly) {
            break;
        }
        takeOverText(move.control, *move.item, source);
    }
    window->setUpdatesEnabled(updatesWereEnabled);
}

qreal fontScale(QSize designSize, QSize windowSize)
{
    // The same factors that map the rectangles (the menu bar's strip is not scaled).
    const qreal fx = qreal(windowSize.width()) / std::max(1, designSize.width());
    const qreal fy =
        qreal(std::max(0, windowSize.height() - kMenuBarHeight)) / std::max(1, designSize.height() - kMenuBarHeight);
    return std::clamp(std::min(fx, fy), 0.0, fontscale::kLargestScale);
}

QFont scaledFont(const QFont& design, qreal factor)
{
    QFont font = design;
    const qreal points = design.pointSizeF();
    if (points <= 0) {
        // A pixel-sized font: nothing a template writes, left as it is.
        return font;
    }
    const qreal floor = std::min(points, fontscale::kSmallestPoints);
    font.setPointSizeF(std::max(floor, points * std::min(factor, fontscale::kLargestScale)));
    return font;
}

QFont designFont(const QWidget* control)
{
    const QVariant remembered = control->property(kDesignFontProperty);
    return remembered.isValid() ? remembered.value<QFont>() : control->font();
}

void setDesignFont(QWidget* control, const QFont& font)
{
    control->setProperty(kDesignFontProperty, font);
    control->setFont(layoutFont(control));
}

QFont layoutFont(const QWidget* control)
{
    const QVariant factor = control->property(kFontScaleProperty);
    return factor.isValid() ? scaledFont(designFont(control), factor.toReal()) : designFont(control);
}

qreal layoutScale(const QWidget* control)
{
    const QVariant factor = control->property(kFontScaleProperty);
    return factor.isValid() ? factor.toReal() : 1.0;
}

void RelayoutFromTemplate(QWidget* window, int templateId, const ResourceSource* source)
{
    const ResourceSource& resources = source ? *source : ResourceSource::current();
    const auto file = resources.dialogTemplate(templateId);
    if (!file) {
        return;
    }
    const auto parsed = DialogTemplate::parse(*file);
    if (!parsed) {
        return;
    }
    relayoutFromParsedTemplate(window, *parsed, resources);
}

} // namespace quantaro
