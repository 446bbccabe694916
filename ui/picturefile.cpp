#include "ui/picturefile.h"

#include <QPainter>
#include <QSvgRenderer>

namespace quantaro {

namespace {
// Bound on a rendered picture's side, so a broken template cannot ask for a huge allocation.
constexpr int kLargestRenderedSide = 4096;

QSize renderSize(QSize size, qreal ratio)
{
    const QSize pixels = (QSizeF(size) * ratio).toSize();
    return pixels.boundedTo(QSize(kLargestRenderedSide, kLargestRenderedSide));
}
} // namespace

PictureFile::PictureFile(const QString& path)
{
    if (path.isEmpty()) {
        return;
    }
    if (path.endsWith(QLatin1String(".svg"), Qt::CaseInsensitive)) {
        if (QSvgRenderer(path).isValid()) {
            m_path = path;
            m_vector = true;
        }
        return;
    }
    if (m_raster.load(path)) {
        m_path = path;
    }
}

QSize PictureFile::naturalSize() const
{
    if (m_vector) {
        return QSvgRenderer(m_path).defaultSize();
    }
    return m_raster.size();
}

QPixmap PictureFile::stretchedTo(QSize size, qreal devicePixelRatio) const
{
    if (isNull() || size.isEmpty()) {
        return {};
    }
    if (!m_vector) {
        return m_raster;
    }
    QPixmap pixmap(renderSize(size, devicePixelRatio));
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    QSvgRenderer renderer(m_path);
    renderer.setAspectRatioMode(Qt::IgnoreAspectRatio);
    renderer.render(&painter);
    painter.end();
    pixmap.setDevicePixelRatio(devicePixelRatio);
    return pixmap;
}

QPixmap PictureFile::fittedInto(QSize size, qreal devicePixelRatio) const
{
    if (isNull() || size.isEmpty()) {
        return {};
    }
    if (!m_vector) {
        if (m_raster.width() <= size.width() && m_raster.height() <= size.height()) {
            return m_raster;
        }
        return m_raster.scaled(size, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    }
    const QSize fitted = naturalSize().scaled(size, Qt::KeepAspectRatio);
    return stretchedTo(fitted.isEmpty() ? size : fitted, devicePixelRatio);
}

} // namespace quantaro
