#pragma once

#include "generated/ids/res.h"

#include <QByteArray>
#include <QHash>
#include <QString>
#include <optional>

namespace quantaro {

/** Resource numbers of the language module and of the program itself. */
namespace res {
inline constexpr int kUnitFileName = 100;
inline constexpr int kMissingUnitFile = 1000;
} // namespace res

/** Root of the program's own resources, compiled into the executable. */
inline const QString kProgramResourceRoot = QStringLiteral(":/quantaro");

/**
 * Where resources are looked up: strings by number, dialog templates (.ui) by number, menus by
 * number, bitmaps by name or number and icons by number. Inside a root the layout is
 * strings.json, dialogs/N.ui, menus/N.json, bitmaps/NAME.svg|png and icons/N.svg|png.
 *
 * One instance is the process-wide resource source: the program's own resources until a language
 * module has been validated, that module's from then on.
 */
class ResourceSource
{
public:
    explicit ResourceSource(const QString& root = kProgramResourceRoot);

    /** The process-wide resource source. */
    static ResourceSource& current();

    void setRoot(const QString& root);
    QString root() const { return m_root; }

    /** A string by number; a missing string reads as empty. */
    QString string(int id) const;
    /** A dialog template, or nothing when the source lacks it. */
    std::optional<QByteArray> dialogTemplate(int id) const;
    /** A menu resource, or nothing when the source lacks it. */
    std::optional<QByteArray> menu(int id) const;
    /** The file of a named bitmap (SVG preferred to PNG), or empty when there is none. */
    QString bitmapPath(const QString& name) const;
    QString bitmapPath(int id) const;
    /** The file of an icon, or empty when there is none. */
    QString iconPath(int id) const;
    /** Any other file of the source by its path below the root, or nothing when it lacks it. */
    std::optional<QByteArray> readFile(const QString& relative) const;

private:
    QString pictureFile(const QString& folder, const QString& name) const;
    void loadStrings() const;

    QString m_root;
    mutable bool m_stringsLoaded = false;
    mutable QHash<int, QString> m_strings;
};

} // namespace quantaro
