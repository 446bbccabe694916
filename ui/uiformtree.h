#pragma once

#include <QByteArray>
#include <QRect>
#include <QString>
#include <optional>
#include <utility>
#include <vector>

namespace quantaro {

/** One value element of a property, as a form file writes it. */
struct UiValue
{
    enum class Kind
    {
        Rect,
        String,
        Number,
        Bool,
        Enum,
        Set,
        Font
    };
    Kind kind = Kind::String;
    /** A string's text (with the text of any elements inside), or the text of a number, bool, enum or set. */
    QString text;
    /** A rect's x, y, width and height, each bounded, the sizes at least 0. */
    QRect rect;
    /** A font's fields (pointsize, bold, ...) and their texts, in file order. */
    std::vector<std::pair<QString, QString>> fontFields;
    /** A part that holds plain text held elements instead: whoever uses the value refuses the file. */
    bool malformed = false;
};

/** A <property> of a widget: its values in file order (usually one). */
struct UiProperty
{
    QString name;
    /** False for stdset="0": a dynamic property rather than one of the class's own. */
    bool standard = true;
    std::vector<UiValue> values;
};

/** A <widget> of a form with its properties and the widgets it holds. */
struct UiWidgetNode
{
    QString className;
    QString name;
    std::vector<UiProperty> properties;
    std::vector<UiWidgetNode> children;
};

/** A widget's name in a tab order. */
struct UiTabStop
{
    QString name;
    bool malformed = false;
};

/**
 * A dialog template (a Designer .ui file) read once into the parts the windows use: the top-level
 * widget with every widget inside it and the tab orders. What the file holds besides (layouts,
 * connections, value kinds none of the readers use) is left out, but the whole of it up to the
 * root's end must be well-formed.
 */
struct UiForm
{
    UiWidgetNode top;
    /** Each <tabstops> list that follows the top-level widget, in file order. */
    std::vector<std::vector<UiTabStop>> tabStopLists;

    /** Reads a form; nothing when the file is not well-formed, has no <ui> root or no widget. */
    static std::optional<UiForm> read(const QByteArray& uiFile);
};

} // namespace quantaro
