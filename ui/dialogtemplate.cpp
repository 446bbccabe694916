#include "ui/dialogtemplate.h"

#include "ui/uixmlreader.h"
#include <algorithm>
#include <cmath>

namespace quantaro {

namespace {
// A template of a handheld window has a few dozen controls; anything far beyond is not a template.
constexpr std::size_t kMostTemplateItems = 2000;
constexpr int kLargestCoordinate = 100000;

struct PropertyValue
{
    std::optional<QRect> rect;
    std::optional<QString> text;
    std::optional<int> number;
};

int boundedInt(const QString& text)
{
    bool ok = false;
    const int value = text.trimmed().toInt(&ok);
    return ok ? std::clamp(value, -kLargestCoordinate, kLargestCoordinate) : 0;
}

} // namespace

QRect readTemplateRect(UiXmlReader& xml)
{
    QRect rect;
    while (xml.readNextStartElement()) {
        const auto field = xml.name();
        const int number = boundedInt(xml.readElementText());
        if (field == QLatin1String("x")) {
            rect.moveLeft(number);
        } else if (field == QLatin1String("y")) {
            rect.moveTop(number);
        } else if (field == QLatin1String("width")) {
            rect.setWidth(std::max(0, number));
        } else if (field == QLatin1String("height")) {
            rect.setHeight(std::max(0, number));
        }
    }
    return rect;
}

namespace {
// Reads the value inside a <property> element; the reader ends on its end element.
PropertyValue readPropertyValue(UiXmlReader& xml)
{
    PropertyValue value;
    while (xml.readNextStartElement()) {
        const auto kind = xml.name();
        if (kind == QLatin1String("rect")) {
            value.rect = readTemplateRect(xml);
        } else if (kind == QLatin1String("string") || kind == QLatin1String("cstring")) {
            value.text = xml.readElementText(true);
        } else if (kind == QLatin1String("number")) {
            bool ok = false;
            const int number = xml.readElementText().trimmed().toInt(&ok);
            if (ok) {
                value.number = number;
            }
        } else {
            xml.skipCurrentElement();
        }
    }
    return value;
}

// Reads one <widget> element (the reader on its start). Direct children are collected as items
// when depth is 1; deeper widgets belong to a container and are not addressed.
void readWidget(UiXmlReader& xml, int depth, DialogTemplate& result, TemplateItem& self)
{
    self.className = xml.attribute(QLatin1StringView("class"));
    while (xml.readNextStartElement()) {
        const auto element = xml.name();
        if (element == QLatin1String("property")) {
            const QString name = xml.attribute(QLatin1StringView("name"));
            const PropertyValue value = readPropertyValue(xml);
            if (name == QLatin1String("geometry") && value.rect) {
                self.geometry = *value.rect;
            } else if (name == QLatin1String("text") && value.text) {
                self.text = value.text;
            } else if (name == QLatin1String("windowTitle") && value.text && depth == 0) {
                result.title = *value.text;
            } else if (name == QLatin1String(kControlIdProperty) && value.number) {
                self.id = *value.number;
            } else if (name == QLatin1String("bitmap")) {
                if (value.text) {
                    self.bitmap = value.text;
                } else if (value.number) {
                    self.bitmap = QString::number(*value.number);
                }
            } else if (name == QLatin1String("icon") && value.number) {
                self.icon = value.number;
            }
        } else if (element == QLatin1String("widget")) {
            TemplateItem child;
            readWidget(xml, depth + 1, result, child);
            if (depth == 0 && child.id != 0 && result.items.size() < kMostTemplateItems) {
                result.items.push_back(std::move(child));
            }
        } else {
            xml.skipCurrentElement();
        }
    }
}
} // namespace

std::optional<DialogTemplate> DialogTemplate::parse(const QByteArray& uiFile)
{
    UiXmlReader xml(uiFile);
    if (!xml.readNextStartElement() || xml.name() != QLatin1String("ui")) {
        return std::nullopt;
    }
    DialogTemplate result;
    bool haveTopLevel = false;
    while (xml.readNextStartElement()) {
        if (xml.name() == QLatin1String("widget") && !haveTopLevel) {
            haveTopLevel = true;
            TemplateItem top;
            readWidget(xml, 0, result, top);
            result.designSize = top.geometry.size();
        } else {
            xml.skipCurrentElement();
        }
    }
    if (xml.hasError() || !haveTopLevel || result.designSize.isEmpty()) {
        return std::nullopt;
    }
    return result;
}

QRect mapFromDesign(const QRect& designRect, QSize designSize, QSize windowSize)
{
    const int designArea = std::max(1, designSize.height() - kMenuBarHeight);
    const int windowArea = std::max(0, windowSize.height() - kMenuBarHeight);
    const double fx = double(windowSize.width()) / std::max(1, designSize.width());
    const double fy = double(windowArea) / designArea;
    // Edges are mapped rather than sizes, so neighbours on the grid stay exactly adjacent.
    const int left = int(std::lround(designRect.left() * fx));
    const int top = int(std::lround(designRect.top() * fy));
    const int right = int(std::lround((designRect.left() + designRect.width()) * fx));
    const int bottom = int(std::lround((designRect.top() + designRect.height()) * fy));
    return QRect(left, top, std::max(0, right - left), std::max(0, bottom - top));
}

} // namespace quantaro
