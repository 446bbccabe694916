#include "ui/dialogtemplate.h"

#include "ui/uiformtree.h"
#include <algorithm>
#include <cmath>

namespace quantaro {

namespace {
// A template of a handheld window has a few dozen controls; anything far beyond is not a template.
constexpr std::size_t kMostTemplateItems = 2000;

struct PropertyValue
{
    std::optional<QRect> rect;
    std::optional<QString> text;
    std::optional<int> number;
};

// The last value of each kind a re-layout uses; false when one of them is malformed.
bool valueOf(const UiProperty& property, PropertyValue& value)
{
    for (const UiValue& item : property.values) {
        switch (item.kind) {
        case UiValue::Kind::Rect:
            value.rect = item.rect;
            break;
        case UiValue::Kind::String:
            value.text = item.text;
            break;
        case UiValue::Kind::Number: {
            bool ok = false;
            const int number = item.text.trimmed().toInt(&ok);
            if (ok) {
                value.number = number;
            }
            break;
        }
        default:
            // The kinds a re-layout does not use are not looked into.
            continue;
        }
        if (item.malformed) {
            return false;
        }
    }
    return true;
}

// One widget of the form: direct children are collected as items when depth is 0; deeper widgets
// belong to a container and are not addressed. False when the widget or one inside is malformed.
bool readWidget(const UiWidgetNode& widget, int depth, DialogTemplate& result, TemplateItem& self)
{
    self.className = widget.className;
    for (const UiProperty& property : widget.properties) {
        PropertyValue value;
        if (!valueOf(property, value)) {
            return false;
        }
        const QString& name = property.name;
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
    }
    for (const UiWidgetNode& childWidget : widget.children) {
        TemplateItem child;
        if (!readWidget(childWidget, depth + 1, result, child)) {
            return false;
        }
        if (depth == 0 && child.id != 0 && result.items.size() < kMostTemplateItems) {
            result.items.push_back(std::move(child));
        }
    }
    return true;
}
} // namespace

std::optional<DialogTemplate> DialogTemplate::parse(const QByteArray& uiFile)
{
    const std::optional<UiForm> form = UiForm::read(uiFile);
    return form ? fromForm(*form) : std::nullopt;
}

std::optional<DialogTemplate> DialogTemplate::fromForm(const UiForm& form)
{
    DialogTemplate result;
    TemplateItem top;
    if (!readWidget(form.top, 0, result, top)) {
        return std::nullopt;
    }
    result.designSize = top.geometry.size();
    if (result.designSize.isEmpty()) {
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
