#pragma once

#include <QPixmap>
#include <QSize>
#include <QString>
#include <memory>
#include <optional>

namespace quantaro {

/**
 * A picture file of the resource source, PNG or SVG. An SVG is rendered at the size it is drawn
 * at (times the screen's pixel ratio), so it stays sharp; a PNG is used as it is.
 *
 * An SVG is parsed only when it is first drawn, and its last rendering is kept: a window attaches
 * four pictures to each button but shows one, and repaints would otherwise render again. The
 * rendering a window starts with is kept between runs too (PictureCache), so the next start draws
 * the picture without parsing it.
 */
class PictureFile
{
public:
    PictureFile() = default;
    explicit PictureFile(const QString& path);

    /**
     * No picture to draw: no file, or one that cannot be read or parsed. A damaged picture counts
     * as absent, so whoever shows it falls back as for a missing one. An SVG is parsed by this test.
     */
    bool isNull() const;
    bool isVector() const { return m_vector; }
    /** The picture at its natural size. */
    QSize naturalSize() const;
    /** The picture filling exactly that size (device-independent pixels), stretched in both directions. */
    QPixmap stretchedTo(QSize size, qreal devicePixelRatio) const;
    /** The picture fitting inside that size with its proportions kept, never enlarged when raster. */
    QPixmap fittedInto(QSize size, qreal devicePixelRatio) const;

private:
    void readOnce() const;
    const std::optional<QSize>& parsedSize() const;

    QString m_path;
    bool m_vector = false;
    QPixmap m_raster;
    // Shared by copies: a parsed document and the last rendering, made on demand.
    struct VectorCache;
    std::shared_ptr<VectorCache> m_cache;
};

} // namespace quantaro
