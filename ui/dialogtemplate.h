#pragma once

#include <QByteArray>
#include <QRect>
#include <QSize>
#include <QString>
#include <optional>
#include <vector>

namespace quantaro {

struct UiForm;

/** Name of the dynamic property that carries a control's id, in templates and on live controls. */
inline constexpr char kControlIdProperty[] = "controlId";
/** Height of the bottom menu bar; templates keep this strip of their design size free. */
inline constexpr int kMenuBarHeight = 48;

/** One addressed control of a dialog template. */
struct TemplateItem
{
    int id = 0;
    QString className;
    QRect geometry;
    std::optional<QString> text;
    /** Static pictures: the bitmap by name or number, or the icon by number. */
    std::optional<QString> bitmap;
    std::optional<int> icon;
};

/**
 * The parts of a dialog template (a Designer .ui file) that a re-layout needs: the design size
 * and every direct child control that carries a control id, in template order.
 */
struct DialogTemplate
{
    QSize designSize;
    QString title;
    std::vector<TemplateItem> items;

    /** Reads a template; nothing when it is not a usable one. */
    static std::optional<DialogTemplate> parse(const QByteArray& uiFile);
    /** The same of a form already read. */
    static std::optional<DialogTemplate> fromForm(const UiForm& form);
};

/**
 * The window's own conversion from design-size pixels to a window of another size: independent x
 * and y factors, the bottom menu bar strip kept at its fixed height.
 */
QRect mapFromDesign(const QRect& designRect, QSize designSize, QSize windowSize);

} // namespace quantaro
