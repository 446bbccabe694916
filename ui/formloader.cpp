#include "ui/formloader.h"

#include "ui/dialogtemplate.h"

#include "ui/uixmlreader.h"
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
QFont readFont(UiXmlReader& xml)
{
    QFont font;
    while (xml.readNextStartElement()) {
        const auto field = xml.name();
        const QString text = xml.readElementText();
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

// Reads a <property> (the reader on its start), sets it on the widget (if there is one: a widget of
// a class that is not built still has its item) and keeps what a re-layout needs in the item.
void readProperty(UiXmlReader& xml, QWidget* widget, TemplateItem& item, DialogTemplate& result, int depth)
{
    const QString name = xml.attribute(QLatin1StringView("name"));
    const bool standard = xml.attribute(QLatin1StringView("stdset")) != u"0";
    const QByteArray key = name.toLatin1();
    while (xml.readNextStartElement()) {
        const auto kind = xml.name();
        QVariant value;
        if (kind == u"rect") {
            value = readTemplateRect(xml);
        } else if (kind == u"font") {
            const QFont font = readFont(xml);
            if (widget != nullptr) {
                widget->setFont(font);
            }
            continue;
        } else if (kind == u"string" || kind == u"cstring") {
            value = xml.readElementText(true);
        } else if (kind == u"number") {
            if (const auto number = numberOf(xml.readElementText())) {
                value = *number;
            }
        } else if (kind == u"bool") {
            value = xml.readElementText().trimmed() == u"true";
        } else if (kind == u"enum" || kind == u"set") {
            const QString keys = xml.readElementText().trimmed();
            if (const auto number = (standard && widget != nullptr) ? enumValue(*widget, name, keys) : std::nullopt) {
                value = *number;
            }
        } else {
            xml.skipCurrentElement();
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
}

struct FormReader
{
    UiXmlReader& xml;
    DialogTemplate& result;
    QHash<QString, QWidget*> byName;
    int widgets = 0;

    // Reads a <widget> (the reader on its start) into widget and item: its properties and its children.
    void readWidget(QWidget* widget, TemplateItem& item, int depth)
    {
        item.className = xml.attribute(QLatin1StringView("class"));
        while (xml.readNextStartElement()) {
            const auto element = xml.name();
            if (element == u"property") {
                readProperty(xml, widget, item, result, depth);
            } else if (element == u"widget" && depth < kDeepestNesting && widgets < kMostWidgets) {
                ++widgets;
                const QString className = xml.attribute(QLatin1StringView("class"));
                const QString name = xml.attribute(QLatin1StringView("name"));
                QWidget* child = widget != nullptr ? newWidget(className, widget) : nullptr;
                if (child != nullptr) {
                    child->setObjectName(name);
                    byName.insert(name, child);
                }
                TemplateItem childItem;
                readWidget(child, childItem, depth + 1);
                if (depth == 0 && childItem.id != 0) {
                    result.items.push_back(std::move(childItem));
                }
            } else {
                xml.skipCurrentElement();
            }
        }
    }

    void readTabStops()
    {
        QWidget* previous = nullptr;
        while (xml.readNextStartElement()) {
            if (xml.name() != u"tabstop") {
                xml.skipCurrentElement();
                continue;
            }
            QWidget* next = byName.value(xml.readElementText().trimmed());
            if (previous != nullptr && next != nullptr) {
                QWidget::setTabOrder(previous, next);
            }
            previous = next != nullptr ? next : previous;
        }
    }
};
} // namespace

QWidget* loadForm(const QByteArray& uiFile, DialogTemplate* parsed)
{
    UiXmlReader xml(uiFile);
    if (!xml.readNextStartElement() || xml.name() != u"ui") {
        return nullptr;
    }
    std::unique_ptr<QWidget> form;
    DialogTemplate result;
    FormReader reader{xml, result, {}, 0};
    while (xml.readNextStartElement()) {
        if (xml.name() == u"widget" && !form) {
            form = std::make_unique<QDialog>();
            form->setObjectName(xml.attribute(QLatin1StringView("name")));
            TemplateItem top;
            reader.readWidget(form.get(), top, 0);
            result.designSize = top.geometry.size();
        } else if (xml.name() == u"tabstops" && form) {
            reader.readTabStops();
        } else {
            xml.skipCurrentElement();
        }
    }
    if (xml.hasError() || !form || result.designSize.isEmpty()) {
        return nullptr;
    }
    if (parsed != nullptr) {
        *parsed = std::move(result);
    }
    return form.release();
}

} // namespace quantaro
