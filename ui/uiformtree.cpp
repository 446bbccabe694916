#include "ui/uiformtree.h"

#include "ui/uixmlreader.h"
#include <algorithm>

namespace quantaro {

namespace {
constexpr int kLargestCoordinate = 100000;

int boundedInt(const QString& text)
{
    bool ok = false;
    const int value = text.trimmed().toInt(&ok);
    return ok ? std::clamp(value, -kLargestCoordinate, kLargestCoordinate) : 0;
}

// Reads the plain text of the current element into value, marking the value when it held elements.
QString plainText(UiXmlReader& xml, UiValue& value)
{
    std::optional<QString> text = xml.readPlainText();
    if (!text) {
        value.malformed = true;
        return {};
    }
    return *std::move(text);
}

// A <rect> (the reader on its start, and on its end after).
void readRect(UiXmlReader& xml, UiValue& value)
{
    while (xml.readNextStartElement()) {
        const auto field = xml.name();
        const int number = boundedInt(plainText(xml, value));
        if (field == QLatin1String("x")) {
            value.rect.moveLeft(number);
        } else if (field == QLatin1String("y")) {
            value.rect.moveTop(number);
        } else if (field == QLatin1String("width")) {
            value.rect.setWidth(std::max(0, number));
        } else if (field == QLatin1String("height")) {
            value.rect.setHeight(std::max(0, number));
        }
    }
}

// The values inside a <property> (the reader on its start, and on its end after).
void readProperty(UiXmlReader& xml, UiProperty& property)
{
    property.name = xml.attribute(QLatin1StringView("name"));
    property.standard = xml.attribute(QLatin1StringView("stdset")) != u"0";
    while (xml.readNextStartElement()) {
        const auto kind = xml.name();
        UiValue value;
        if (kind == QLatin1String("rect")) {
            value.kind = UiValue::Kind::Rect;
            readRect(xml, value);
        } else if (kind == QLatin1String("string") || kind == QLatin1String("cstring")) {
            value.kind = UiValue::Kind::String;
            value.text = xml.readElementText(true);
        } else if (kind == QLatin1String("number")) {
            value.kind = UiValue::Kind::Number;
            value.text = plainText(xml, value);
        } else if (kind == QLatin1String("bool")) {
            value.kind = UiValue::Kind::Bool;
            value.text = plainText(xml, value);
        } else if (kind == QLatin1String("enum") || kind == QLatin1String("set")) {
            value.kind = kind == QLatin1String("enum") ? UiValue::Kind::Enum : UiValue::Kind::Set;
            value.text = plainText(xml, value);
        } else if (kind == QLatin1String("font")) {
            value.kind = UiValue::Kind::Font;
            while (xml.readNextStartElement()) {
                QString field = xml.name().toString();
                value.fontFields.emplace_back(std::move(field), plainText(xml, value));
            }
        } else {
            xml.skipCurrentElement();
            continue;
        }
        property.values.push_back(std::move(value));
    }
}

// A <widget> (the reader on its start, and on its end after) with everything inside it.
void readWidget(UiXmlReader& xml, UiWidgetNode& widget)
{
    widget.className = xml.attribute(QLatin1StringView("class"));
    widget.name = xml.attribute(QLatin1StringView("name"));
    while (xml.readNextStartElement()) {
        const auto element = xml.name();
        if (element == QLatin1String("property")) {
            readProperty(xml, widget.properties.emplace_back());
        } else if (element == QLatin1String("widget")) {
            readWidget(xml, widget.children.emplace_back());
        } else {
            xml.skipCurrentElement();
        }
    }
}

std::vector<UiTabStop> readTabStops(UiXmlReader& xml)
{
    std::vector<UiTabStop> stops;
    while (xml.readNextStartElement()) {
        if (xml.name() != QLatin1String("tabstop")) {
            xml.skipCurrentElement();
            continue;
        }
        const std::optional<QString> name = xml.readPlainText();
        stops.push_back(name ? UiTabStop{name->trimmed(), false} : UiTabStop{{}, true});
    }
    return stops;
}
} // namespace

std::optional<UiForm> UiForm::read(const QByteArray& uiFile)
{
    UiXmlReader xml(uiFile);
    if (!xml.readNextStartElement() || xml.name() != QLatin1String("ui")) {
        return std::nullopt;
    }
    UiForm form;
    bool haveTopLevel = false;
    // Only up to the root's end: what follows it is not read.
    while (xml.readNextStartElement()) {
        if (xml.name() == QLatin1String("widget") && !haveTopLevel) {
            haveTopLevel = true;
            readWidget(xml, form.top);
        } else if (xml.name() == QLatin1String("tabstops") && haveTopLevel) {
            form.tabStopLists.push_back(readTabStops(xml));
        } else {
            xml.skipCurrentElement();
        }
    }
    if (xml.hasError() || !haveTopLevel) {
        return std::nullopt;
    }
    return form;
}

} // namespace quantaro
