#include "ui/picturefile.h"

#include "ui/picturecache.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QPainter>
#include <QSet>
#include <QSvgRenderer>
#include <QTimer>
#include <utility>

namespace quantaro {

namespace {
// Bound on a rendered picture's side, so a broken template cannot ask for a huge allocation.
constexpr int kLargestRenderedSide = 4096;

QSize renderSize(QSize size, qreal ratio)
{
    const QSize pixels = (QSizeF(size) * ratio).toSize();
    return pixels.boundedTo(QSize(kLargestRenderedSide, kLargestRenderedSide));
}

// Pictures whose rendering this run has kept already: a picture drawn at two sizes in one run keeps
// the first, the size its window started with, instead of rewriting its file at every resize.
QSet<QString>& keptThisRun()
{
    static QSet<QString> keys;
    return keys;
}

// Pictures found to parse that had nothing kept: once the events of the moment have run (the first
// paint among them), those still not drawn keep the word that they parse, so that the next start
// does not parse them to know it (a button's picture for the focused state is drawn instead of the
// normal one, which is still checked).
void keepParsedLater(const QString& key, QSize naturalSize)
{
    static QHash<QString, QSize> pending;
    if (pending.isEmpty()) {
        QTimer::singleShot(0, QCoreApplication::instance(), [] {
            for (auto it = pending.cbegin(); it != pending.cend(); ++it) {
                if (!keptThisRun().contains(it.key())) {
                    keptThisRun().insert(it.key());
                    PictureCache::instance().store(it.key(), {it.value(), QImage()});
                }
            }
            pending.clear();
        });
    }
    pending.insert(key, naturalSize);
}
} // namespace

struct PictureFile::VectorCache
{
    // The file's bytes, their key and the rendering an earlier run kept, read once on first need.
    bool read = false;
    QByteArray bytes;
    QString key;
    std::optional<CachedPicture> kept;
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

void PictureFile::readOnce() const
{
    if (!m_cache || m_cache->read) {
        return;
    }
    m_cache->read = true;
    QFile file(m_path);
    if (file.open(QIODevice::ReadOnly)) {
        m_cache->bytes = file.readAll();
        m_cache->key = PictureCache::keyOf(m_cache->bytes);
        m_cache->kept = PictureCache::instance().find(m_cache->key);
    }
}

QSvgRenderer* PictureFile::renderer() const
{
    if (!m_cache) {
        return nullptr;
    }
    readOnce();
    if (!m_cache->parsed) {
        m_cache->parsed = true;
        auto renderer = std::make_unique<QSvgRenderer>(m_cache->bytes);
        if (renderer->isValid()) {
            renderer->setAspectRatioMode(Qt::IgnoreAspectRatio);
            if (!m_cache->kept && QCoreApplication::instance() != nullptr) {
                keepParsedLater(m_cache->key, renderer->defaultSize());
            }
            m_cache->renderer = std::move(renderer);
        }
    }
    return m_cache->renderer.get();
}

bool PictureFile::isNull() const
{
    if (m_path.isEmpty()) {
        return true;
    }
    if (!m_vector) {
        return false;
    }
    // A picture that an earlier run rendered from these very bytes parses: no need to parse it again.
    readOnce();
    return !m_cache->kept && renderer() == nullptr;
}

QSize PictureFile::naturalSize() const
{
    if (m_vector) {
        readOnce();
        if (m_cache->kept) {
            return m_cache->kept->naturalSize;
        }
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
    if (m_cache->renderedSize == size && m_cache->renderedRatio == devicePixelRatio) {
        return m_cache->rendered;
    }
    const QSize pixels = renderSize(size, devicePixelRatio);
    QPixmap pixmap;
    if (m_cache->kept && m_cache->kept->image.size() == pixels) {
        pixmap = QPixmap::fromImage(std::exchange(m_cache->kept->image, QImage()));
    } else {
        QSvgRenderer* svg = renderer();
        if (svg == nullptr) {
            return {};
        }
        pixmap = QPixmap(pixels);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        svg->render(&painter);
        painter.end();
        if (!keptThisRun().contains(m_cache->key)) {
            keptThisRun().insert(m_cache->key);
            PictureCache::instance().store(m_cache->key, {svg->defaultSize(), pixmap.toImage()});
        }
    }
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
