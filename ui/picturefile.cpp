#include "ui/picturefile.h"

#include "ui/picturecache.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QFile>
#include <QHash>
#include <QImageReader>
#include <QSet>
#include <QTimer>
#include <utility>

namespace quantaro {

namespace {
// Vector pictures are read through Qt's image plugin for SVG, which is loaded only when a picture has
// to be rendered: most starts draw every picture from its kept rendering and load no SVG code at all.
constexpr char kVectorFormat[] = "svg";
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
                    PictureCache::instance().store(it.key(), {it.value(), QImage(), QSize()});
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
    bool missing = false;
    QByteArray bytes;
    QString key;
    std::optional<CachedPicture> kept;
    // Whether the bytes parse, and the picture's natural size when they do.
    bool parsed = false;
    std::optional<QSize> natural;
    // The reader that parsed the bytes, kept for the first rendering so that it parses nothing again.
    std::unique_ptr<QBuffer> buffer;
    std::unique_ptr<QImageReader> reader;
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
        // Whether the file is there is found out when it is first needed: a button names four
        // pictures and most starts need one of them.
        m_path = path;
        m_vector = true;
        m_cache = std::make_shared<VectorCache>();
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
    if (!file.open(QIODevice::ReadOnly)) {
        m_cache->missing = true;
        return;
    }
    m_cache->bytes = file.readAll();
    m_cache->key = PictureCache::keyOf(m_cache->bytes);
    m_cache->kept = PictureCache::instance().find(m_cache->key);
}

const std::optional<QSize>& PictureFile::parsedSize() const
{
    readOnce();
    if (!m_cache->parsed && !m_cache->missing) {
        m_cache->parsed = true;
        auto buffer = std::make_unique<QBuffer>();
        buffer->setData(m_cache->bytes);
        buffer->open(QIODevice::ReadOnly);
        auto reader = std::make_unique<QImageReader>(buffer.get(), kVectorFormat);
        const QSize size = reader->size();
        if (size.isValid()) {
            m_cache->natural = size;
            m_cache->buffer = std::move(buffer);
            m_cache->reader = std::move(reader);
            if (!m_cache->kept && QCoreApplication::instance() != nullptr) {
                keepParsedLater(m_cache->key, size);
            }
        }
    }
    return m_cache->natural;
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
    return !m_cache->kept && !parsedSize();
}

QSize PictureFile::naturalSize() const
{
    if (m_vector) {
        readOnce();
        if (m_cache->kept) {
            return m_cache->kept->naturalSize;
        }
        return parsedSize().value_or(QSize());
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
    // The kept pixels are read only when they are the very size drawn: a file that claims any other
    // costs neither the time nor the memory to read it.
    const QImage kept = m_cache->kept && m_cache->kept->pixelSize == pixels
                            ? PictureCache::instance().rendering(m_cache->key, pixels)
                            : QImage();
    if (!kept.isNull()) {
        pixmap = QPixmap::fromImage(kept);
    } else {
        const std::optional<QSize> natural = parsedSize();
        if (!natural) {
            return {};
        }
        // Stretched to exactly these pixels in both directions, on a transparent ground. A reader
        // reads once: the one that parsed the picture draws its first rendering, a new one any other.
        if (!m_cache->reader) {
            m_cache->buffer = std::make_unique<QBuffer>();
            m_cache->buffer->setData(m_cache->bytes);
            m_cache->buffer->open(QIODevice::ReadOnly);
            m_cache->reader = std::make_unique<QImageReader>(m_cache->buffer.get(), kVectorFormat);
        }
        m_cache->reader->setScaledSize(pixels);
        const QImage image = m_cache->reader->read();
        m_cache->reader.reset();
        m_cache->buffer.reset();
        if (image.isNull()) {
            return {};
        }
        if (!keptThisRun().contains(m_cache->key)) {
            keptThisRun().insert(m_cache->key);
            PictureCache::instance().store(m_cache->key, {*natural, image, image.size()});
        }
        pixmap = QPixmap::fromImage(image);
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
