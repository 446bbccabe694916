#include "ui/screenshape.h"

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

} // namespace quantaro
