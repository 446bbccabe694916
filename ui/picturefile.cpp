#include "ui/picturefile.h"

#include <QFileInfo>
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

struct PictureFile::VectorCache
{
    std::unique_ptr<QSvgRenderer> renderer;
    bool parsed = false;
    QSize renderedSize;
    qreal renderedRatio = 0;
    QPixmap rendered;
};

PictureFile::PictureFile(const QString& path)
{
    if (path.isEmpty()) {
        return;
    }
    if (path.endsWith(QLatin1String(".svg"), Qt::CaseInsensitive)) {
        if (QFileInfo(path).isFile()) {
            m_path = path;
            m_vector = true;
            m_cache = std::make_shared<VectorCache>();
        }
        return;
    }
    if (m_raster.load(path)) {
        m_path = path;
    }
}

QSvgRenderer* PictureFile::renderer() const
{
    if (!m_cache) {
        return nullptr;
    }
    if (!m_cache->parsed) {
        m_cache->parsed = true;
        auto renderer = std::make_unique<QSvgRenderer>(m_path);
        if (renderer->isValid()) {
            renderer->setAspectRatioMode(Qt::IgnoreAspectRatio);
            m_cache->renderer = std::move(renderer);
        }
    }
    return m_cache->renderer.get();
}

bool PictureFile::isNull() const
{
    return m_path.isEmpty() || (m_vector && renderer() == nullptr);
}

QSize PictureFile::naturalSize() const
{
    if (m_vector) {
        const QSvgRenderer* svg = renderer();
        return svg != nullptr ? svg->defaultSize() : QSize();
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
    QSvgRenderer* svg = renderer();
    if (svg == nullptr) {
        return {};
    }
    if (m_cache->renderedSize == size && m_cache->renderedRatio == devicePixelRatio) {
        return m_cache->rendered;
    }
    QPixmap pixmap(renderSize(size, devicePixelRatio));
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    svg->render(&painter);
    painter.end();
    pixmap.setDevicePixelRatio(devicePixelRatio);
    m_cache->renderedSize = size;
    m_cache->renderedRatio = devicePixelRatio;
    m_cache->rendered = pixmap;
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
