#pragma once

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
