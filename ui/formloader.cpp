#include "ui/formloader.h"

#include "ui/dialogtemplate.h"

#include "ui/uiformtree.h"
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QFont>
#include <QHash>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMetaProperty>
#include <QPushButton>
#include <QScrollBar>
#include <QWidget>
#include <algorithm>
#include <memory>
#include <optional>

namespace quantaro {

namespace {
// Bounds that keep a damaged template from driving huge loops or sizes.
constexpr int kMostWidgets = 2000;
constexpr int kDeepestNesting = 8;
constexpr int kLargestPointSize = 400;

QWidget* newWidget(QStringView className, QWidget* parent)
{
    if (className == u"QLabel") {
        return new QLabel(parent);
    }
    if (className == u"QPushButton") {
        return new QPushButton(parent);
    }
    if (className == u"QLineEdit") {
        return new QLineEdit(parent);
    }
    if (className == u"QListWidget") {
        return new QListWidget(parent);
    }
    if (className == u"QComboBox") {
        return new QComboBox(parent);
    }
    if (className == u"QCheckBox") {
        return new QCheckBox(parent);
    }
    if (className == u"QScrollBar") {
        return new QScrollBar(parent);
    }
    if (className == u"QWidget" || className == u"QFrame") {
        return new QWidget(parent);
    }
    return nullptr;
}

int boundedNumber(QStringView text, int bound)
{
    bool ok = false;
    const int value = text.trimmed().toInt(&ok);
    return ok ? std::clamp(value, -bound, bound) : 0;
}

// Only what a template sets is set, so every other attribute still follows the window's font.
QFont fontOf(const UiValue& value)
{
    QFont font;
    for (const auto& [field, text] : value.fontFields) {
        if (field == u"pointsize") {
            font.setPointSize(std::max(1, boundedNumber(text, kLargestPointSize)));
        } else if (field == u"bold") {
            font.setBold(text == u"true");
        } else if (field == u"italic") {
            font.setItalic(text == u"true");
        } else if (field == u"family") {
            font.setFamilies({text});
        }
    }
    return font;
}

// An <enum> or <set> text ("Qt::AlignLeft|Qt::AlignVCenter") as the value of the widget's property.
std::optional<int> enumValue(const QWidget& widget, const QString& property, const QString& keys)
{
    const int index = widget.metaObject()->indexOfProperty(property.toLatin1().constData());
    if (index < 0) {
        return std::nullopt;
    }
    const QMetaProperty meta = widget.metaObject()->property(index);
    if (!meta.isEnumType()) {
        return std::nullopt;
    }
    bool ok = false;
    const int value = meta.enumerator().keysToValue(keys.toLatin1().constData(), &ok);
    return ok ? std::optional<int>(value) : std::nullopt;
}

std::optional<int> numberOf(QStringView text)
{
    bool ok = false;
    const int value = text.trimmed().toInt(&ok);
    return ok ? std::optional<int>(value) : std::nullopt;
}

// What a re-layout needs of a property, kept in the template's item as the template reader keeps it.
void keep(TemplateItem& item, DialogTemplate& result, int depth, QStringView name, const QVariant& value)
{
    const bool text = value.typeId() == QMetaType::QString;
    const bool number = value.typeId() == QMetaType::Int;
    if (name == u"geometry" && value.typeId() == QMetaType::QRect) {
        item.geometry = value.toRect();
    } else if (name == u"text" && text) {
        item.text = value.toString();
    } else if (name == u"windowTitle" && text && depth == 0) {
        result.title = value.toString();
    } else if (name == QLatin1String(kControlIdProperty) && number) {
        item.id = value.toInt();
    } else if (name == u"bitmap" && (text || number)) {
        item.bitmap = value.toString();
    } else if (name == u"icon" && number) {
        item.icon = value.toInt();
    }
}

// Sets a property on the widget (if there is one: a widget of a class that is not built still has its
// item) and keeps what a re-layout needs in the item; false when one of its values is malformed.
bool applyProperty(const UiProperty& property, QWidget* widget, TemplateItem& item, DialogTemplate& result, int depth)
{
    const QString& name = property.name;
    const QByteArray key = name.toLatin1();
    for (const UiValue& read : property.values) {
        if (read.malformed) {
            return false;
        }
        QVariant value;
        switch (read.kind) {
        case UiValue::Kind::Rect:
            value = read.rect;
            break;
        case UiValue::Kind::Font:
            if (widget != nullptr) {
                widget->setFont(fontOf(read));
            }
            continue;
        case UiValue::Kind::String:
            value = read.text;
            break;
        case UiValue::Kind::Number:
            if (const auto number = numberOf(read.text)) {
                value = *number;
            }
            break;
        case UiValue::Kind::Bool:
            value = read.text.trimmed() == u"true";
            break;
        case UiValue::Kind::Enum:
        case UiValue::Kind::Set:
            if (const auto number = (property.standard && widget != nullptr)
                                        ? enumValue(*widget, name, read.text.trimmed())
                                        : std::nullopt) {
                value = *number;
            }
            break;
        }
        if (!value.isValid()) {
            continue;
        }
        keep(item, result, depth, name, value);
        if (widget == nullptr) {
            continue;
        }
        if (name == u"geometry" && value.typeId() == QMetaType::QRect) {
            widget->setGeometry(value.toRect());
        } else {
            widget->setProperty(key.constData(), value);
        }
    }
    return true;
}

struct FormBuilder
{
    DialogTemplate& result;
    QHash<QString, QWidget*> byName;
    int widgets = 0;

    // Builds a widget's properties and its children into widget and item; false when something the
    // form uses is malformed.
    bool build(const UiWidgetNode& node, QWidget* widget, TemplateItem& item, int depth)
    {
        item.className = node.className;
        for (const UiProperty& property : node.properties) {
            if (!applyProperty(property, widget, item, result, depth)) {
                return false;
            }
        }
        for (const UiWidgetNode& childNode : node.children) {
            if (depth >= kDeepestNesting || widgets >= kMostWidgets) {
                continue;
            }
            ++widgets;
            QWidget* child = widget != nullptr ? newWidget(childNode.className, widget) : nullptr;
            if (child != nullptr) {
                child->setObjectName(childNode.name);
                byName.insert(childNode.name, child);
            }
            TemplateItem childItem;
            if (!build(childNode, child, childItem, depth + 1)) {
                return false;
            }
            if (depth == 0 && childItem.id != 0) {
                result.items.push_back(std::move(childItem));
            }
        }
        return true;
    }

    bool applyTabStops(const std::vector<UiTabStop>& stops) const
    {
        QWidget* previous = nullptr;
        for (const UiTabStop& stop : stops) {
            if (stop.malformed) {
                return false;
            }
            QWidget* next = byName.value(stop.name);
            if (previous != nullptr && next != nullptr) {
                QWidget::setTabOrder(previous, next);
            }
            previous = next != nullptr ? next : previous;
        }
        return true;
    }
};
} // namespace

QWidget* loadForm(const QByteArray& uiFile, DialogTemplate* parsed)
{
    const std::optional<UiForm> read = UiForm::read(uiFile);
    return read ? buildForm(*read, parsed) : nullptr;
}

QWidget* buildForm(const UiForm& read, DialogTemplate* parsed)
{
    auto form = std::make_unique<QDialog>();
    form->setObjectName(read.top.name);
    DialogTemplate result;
    FormBuilder builder{result, {}, 0};
    TemplateItem top;
    if (!builder.build(read.top, form.get(), top, 0)) {
        return nullptr;
    }
    result.designSize = top.geometry.size();
    for (const auto& stops : read.tabStopLists) {
        if (!builder.applyTabStops(stops)) {
            return nullptr;
        }
    }
    if (result.designSize.isEmpty()) {
        return nullptr;
    }
    if (parsed != nullptr) {
        *parsed = std::move(result);
    }
    return form.release();
}

} // namespace quantaro
