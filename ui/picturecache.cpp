#include "ui/picturecache.h"

#include "platform/filewrite.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QtEndian>
#include <array>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

namespace quantaro {

namespace {
constexpr quint32 kMagic = 0x51504943; // "QPIC"
constexpr quint32 kFormatVersion = 1;
constexpr QImage::Format kPixelFormat = QImage::Format_ARGB32_Premultiplied;
// Bound on a kept picture's side, as on a rendered one: a damaged header asks for no huge buffer.
constexpr int kLargestSide = 4096;
// A folder holding more files than this has collected renderings of pictures no module has any
// more (every language, every version): it is emptied before the next one is kept.
constexpr qsizetype kMostKeptPictures = 1000;
constexpr int kHeaderWords = 7;
constexpr qsizetype kHeaderBytes = kHeaderWords * sizeof(quint32);
constexpr quint64 kFnvOffsetBasis = 0xcbf29ce484222325ULL;
constexpr quint64 kFnvPrime = 0x100000001b3ULL;
constexpr auto kFileSuffix = ".pic";

QString cacheFolder()
{
    const QString chosen = qEnvironmentVariable(kPictureCacheVariable);
    if (chosen == QLatin1String("off")) {
        return {};
    }
    if (!chosen.isEmpty()) {
        return chosen;
    }
    const QString base = QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation);
    return base.isEmpty() ? QString() : base + QStringLiteral("/Velmora/Quantaro/pictures");
}

bool validSize(QSize size)
{
    return size.width() > 0 && size.height() > 0 && size.width() <= kLargestSide && size.height() <= kLargestSide;
}
} // namespace

PictureCache& PictureCache::instance()
{
    static PictureCache cache(cacheFolder());
    return cache;
}

PictureCache::PictureCache(QString folder) : m_folder(std::move(folder)) {}

QString PictureCache::keyOf(const QByteArray& bytes)
{
    // FNV-1a: the same key in every run (Qt's own byte hashes are seeded anew by each process).
    quint64 hash = kFnvOffsetBasis;
    for (const char byte : bytes) {
        hash = (hash ^ quint8(byte)) * kFnvPrime;
    }
    return QStringLiteral("%1-%2").arg(hash, 16, 16, QLatin1Char('0')).arg(bytes.size());
}

std::optional<CachedPicture> PictureCache::find(const QString& key) const
{
    if (m_folder.isEmpty()) {
        return std::nullopt;
    }
    QFile file(m_folder + QLatin1Char('/') + key + QLatin1String(kFileSuffix));
    if (!file.open(QIODevice::ReadOnly)) {
        return std::nullopt;
    }
    std::array<quint32, kHeaderWords> header{};
    if (file.read(reinterpret_cast<char*>(header.data()), kHeaderBytes) != kHeaderBytes) {
        return std::nullopt;
    }
    for (quint32& word : header) {
        word = qFromLittleEndian(word);
    }
    const auto [magic, version, naturalWidth, naturalHeight, width, height, stride] = header;
    const QSize natural{int(naturalWidth), int(naturalHeight)};
    const QSize pixels{int(width), int(height)};
    if (magic != kMagic || version != kFormatVersion || !validSize(natural)) {
        return std::nullopt;
    }
    if (pixels.isNull() && stride == 0) {
        // Only the word that these bytes parse, for a picture checked but not drawn.
        return file.size() == kHeaderBytes ? std::optional(CachedPicture{natural, QImage()}) : std::nullopt;
    }
    if (!validSize(pixels)) {
        return std::nullopt;
    }
    QImage image(pixels, kPixelFormat);
    if (image.isNull() || qsizetype(stride) != image.bytesPerLine() ||
        file.size() != kHeaderBytes + image.sizeInBytes()) {
        return std::nullopt;
    }
    if (file.read(reinterpret_cast<char*>(image.bits()), image.sizeInBytes()) != image.sizeInBytes()) {
        return std::nullopt;
    }
    return CachedPicture{natural, image};
}

void PictureCache::store(const QString& key, const CachedPicture& picture) const
{
    if (m_folder.isEmpty() || !validSize(picture.naturalSize) ||
        (!picture.image.isNull() && !validSize(picture.image.size()))) {
        return;
    }
    QDir folder(m_folder);
    if (!folder.mkpath(QStringLiteral("."))) {
        return;
    }
    const QStringList kept = folder.entryList({QStringLiteral("*") + QLatin1String(kFileSuffix)}, QDir::Files);
    if (kept.size() > kMostKeptPictures) {
        for (const QString& name : kept) {
            folder.remove(name);
        }
    }
    const QImage image = picture.image.convertToFormat(kPixelFormat);
    std::array<quint32, kHeaderWords> header = {kMagic,
                                                kFormatVersion,
                                                quint32(picture.naturalSize.width()),
                                                quint32(picture.naturalSize.height()),
                                                quint32(image.width()),
                                                quint32(image.height()),
                                                quint32(image.bytesPerLine())};
    for (quint32& word : header) {
        word = qToLittleEndian(word);
    }
    QByteArray bytes(reinterpret_cast<const char*>(header.data()), kHeaderBytes);
    bytes.append(reinterpret_cast<const char*>(image.constBits()), image.sizeInBytes());

    // Written beside its final name and renamed only when whole, so a reader never sees half a file.
    // Not flushed to the disk: after a crash the size check turns a torn file away.
    const QString target = folder.filePath(key + QLatin1String(kFileSuffix));
    QByteArray temporary = QFile::encodeName(target + QStringLiteral(".XXXXXX"));
    const int fd = ::mkstemp(temporary.data());
    if (fd < 0) {
        return;
    }
    const bool written = writeAll(fd, bytes).ok();
    const bool closed = ::close(fd) == 0;
    if (!written || !closed || ::rename(temporary.constData(), QFile::encodeName(target).constData()) != 0) {
        ::unlink(temporary.constData());
    }
}

} // namespace quantaro
