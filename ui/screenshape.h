#pragma once

#include <QRect>
#include <QSize>

namespace quantaro {

/** Shape of the whole screen, which picks the dialog template of a window. */
enum class ScreenShape
{
    Portrait,  ///< taller than wide
    Landscape, ///< wider than tall
    Square,    ///< as wide as tall
};

/** The shape of a screen of that size. */
ScreenShape screenShape(QSize screen);

/** A screen whose shorter side is at most this many logical pixels is a handheld's. */
inline constexpr int kHandheldShorterSide = 600;

/**
 * The size a window opens at: on a handheld, or on a screen whose available area is smaller than the
 * template in either direction, the whole available area; on a larger desktop the template's size.
 */
QSize windowSizeFor(QSize designSize, QSize available);

/** The rectangle moved (and, when larger, cut) so that it lies inside the area. */
QRect keptInside(QRect rect, QRect area);

/** The three dialog templates of a window, one per screen shape; the portrait one also creates it. */
struct TemplateTriple
{
    int portrait = 0;
    int landscape = 0;
    int square = 0;

    int forShape(ScreenShape shape) const;
    /** One template for every shape. */
    static TemplateTriple single(int id) { return {id, id, id}; }
};

} // namespace quantaro
