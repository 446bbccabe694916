#include "ui/relayoutfromtemplate.h"

#include "ui/controls.h"
#include "ui/dialogtemplate.h"
#include "ui/picturefile.h"

#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <vector>

namespace quantaro {

namespace {
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

    const bool updatesWereEnabled = window->updatesEnabled();
    window->setUpdatesEnabled(false);
    for (const Move& move : moves) {
        move.control->setGeometry(move.geometry);
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
