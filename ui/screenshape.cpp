#include "ui/screenshape.h"

#include <algorithm>

namespace quantaro {

ScreenShape screenShape(QSize screen)
{
    if (screen.height() > screen.width()) {
        return ScreenShape::Portrait;
    }
    if (screen.width() > screen.height()) {
        return ScreenShape::Landscape;
    }
    return ScreenShape::Square;
}

int TemplateTriple::forShape(ScreenShape shape) const
{
    switch (shape) {
    case ScreenShape::Portrait:
        return portrait;
    case ScreenShape::Landscape:
        return landscape;
    case ScreenShape::Square:
        return square;
    }
    return portrait;
}

QSize windowSizeFor(QSize designSize, QSize available)
{
    if (available.isEmpty()) {
        return designSize;
    }
    const bool handheld = std::min(available.width(), available.height()) <= kHandheldShorterSide;
    const bool tooSmall = available.width() < designSize.width() || available.height() < designSize.height();
    return handheld || tooSmall ? available : designSize;
}

QRect keptInside(QRect rect, QRect area)
{
    if (area.isEmpty()) {
        return rect;
    }
    rect.setSize(rect.size().boundedTo(area.size()));
    rect.moveLeft(std::clamp(rect.left(), area.left(), area.right() - rect.width() + 1));
    rect.moveTop(std::clamp(rect.top(), area.top(), area.bottom() - rect.height() + 1));
    return rect;
}

} // namespace quantaro
