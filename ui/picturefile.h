#pragma once

#include <QPixmap>
#include <QSize>
#include <QString>

namespace quantaro {

/**
 * A picture file of the resource source, PNG or SVG. An SVG is rendered at the size it is drawn
 * at (times the screen's pixel ratio), so it stays sharp; a PNG is used as it is.
 */
class PictureFile
{
public:
    PictureFile() = default;
    explicit PictureFile(const QString& path);

    bool isNull() const { return m_path.isEmpty(); }
    bool isVector() const { return m_vector; }
    /** The picture at its natural size. */
    QSize naturalSize() const;
    /** The picture filling exactly that size (device-independent pixels), stretched in both directions. */
    QPixmap stretchedTo(QSize size, qreal devicePixelRatio) const;
    /** The picture fitting inside that size with its proportions kept, never enlarged when raster. */
    QPixmap fittedInto(QSize size, qreal devicePixelRatio) const;

private:
    QString m_path;
    bool m_vector = false;
    QPixmap m_raster;
};

} // namespace quantaro
