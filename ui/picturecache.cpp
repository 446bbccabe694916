#include "ui/picturecache.h"

#include "platform/filewrite.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QtEndian>
#include <array>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
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

bool readWhole(int fd, void* into, qsizetype size)
{
    auto* at = static_cast<char*>(into);
    while (size > 0) {
        const ssize_t got = ::read(fd, at, size_t(size));
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got <= 0) {
            return false;
        }
        at += got;
        size -= got;
    }
    return true;
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
    // FNV-1a over 64-bit words: the same key in every run (Qt's own byte hashes are seeded anew by
    // each process), and cheap enough to run over every picture a start draws.
    quint64 hash = kFnvOffsetBasis;
    const char* data = bytes.constData();
    qsizetype at = 0;
    for (; at + qsizetype(sizeof(quint64)) <= bytes.size(); at += qsizetype(sizeof(quint64))) {
        quint64 word = 0;
        std::memcpy(&word, data + at, sizeof word);
        hash = (hash ^ word) * kFnvPrime;
    }
    for (; at < bytes.size(); ++at) {
        hash = (hash ^ quint8(data[at])) * kFnvPrime;
    }
    return QStringLiteral("%1-%2").arg(hash, 16, 16, QLatin1Char('0')).arg(bytes.size());
}

std::optional<CachedPicture> PictureCache::find(const QString& key) const
{
    if (m_folder.isEmpty()) {
        return std::nullopt;
    }
    // Plain system calls: this runs for every picture of a start, and a QFile costs more than the read.
    const QByteArray path = QFile::encodeName(m_folder + QLatin1Char('/') + key + QLatin1String(kFileSuffix));
    const int fd = ::open(path.constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return std::nullopt;
    }
    const auto result = read(fd);
    ::close(fd);
    return result;
}

std::optional<CachedPicture> PictureCache::read(int fd)
{
    struct stat info {};
    std::array<quint32, kHeaderWords> header {};
    if (::fstat(fd, &info) != 0 || !readWhole(fd, header.data(), kHeaderBytes)) {
        return std::nullopt;
    }
    for (quint32& word : header) {
        word = qFromLittleEndian(word);
    }
    const auto [magic, version, naturalWidth, naturalHeight, width, height, stride] = header;
    const QSize natural {int(naturalWidth), int(naturalHeight)};
    const QSize pixels {int(width), int(height)};
    if (magic != kMagic || version != kFormatVersion || !validSize(natural)) {
        return std::nullopt;
    }
    if (pixels.isNull() && stride == 0) {
        // Only the word that these bytes parse, for a picture checked but not drawn.
        return info.st_size == kHeaderBytes ? std::optional(CachedPicture {natural, QImage()}) : std::nullopt;
    }
    if (!validSize(pixels)) {
        return std::nullopt;
    }
    QImage image(pixels, kPixelFormat);
    if (image.isNull() || qsizetype(stride) != image.bytesPerLine() ||
        info.st_size != kHeaderBytes + image.sizeInBytes() || !readWhole(fd, image.bits(), image.sizeInBytes())) {
        return std::nullopt;
    }
    return CachedPicture {natural, image};
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
