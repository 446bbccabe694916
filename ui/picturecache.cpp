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
#include <dirent.h>
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
// Bounds on the work a start spends on the folder: names read to count the kept files, and files
// removed at once (a folder fuller still is emptied over the next starts).
constexpr qsizetype kMostNamesRead = 4 * kMostKeptPictures;
constexpr qsizetype kMostRemovedAtOnce = 4 * kMostKeptPictures;
constexpr qsizetype kBytesPerPixel = 4;
constexpr int kHeaderWords = 7;
constexpr qsizetype kHeaderBytes = kHeaderWords * sizeof(quint32);
constexpr quint64 kFnvOffsetBasis = 0xcbf29ce484222325ULL;
constexpr quint64 kFnvPrime = 0x100000001b3ULL;
constexpr auto kFileSuffix = ".pic";

QString& chosenFolder()
{
    static QString chosen;
    return chosen;
}

QString cacheFolder()
{
    const QString& chosen = chosenFolder();
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

/** A kept rendering, or a new one an interrupted store left behind ("<key>.pic.XXXXXX"). */
bool isKeptFileName(const char* name)
{
    const char* suffix = std::strstr(name, kFileSuffix);
    return suffix != nullptr && suffix != name &&
           (suffix[std::strlen(kFileSuffix)] == '\0' || suffix[std::strlen(kFileSuffix)] == '.');
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

void PictureCache::chooseFolder(const QString& chosen)
{
    chosenFolder() = chosen;
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

int PictureCache::openKept(const QString& key, CachedPicture& header) const
{
    if (m_folder.isEmpty()) {
        return -1;
    }
    // Plain system calls: this runs for every picture of a start, and a QFile costs more than the read.
    // Opened without waiting: a FIFO in the file's place would otherwise hold the start until someone
    // writes into it.
    const QByteArray path = QFile::encodeName(m_folder + QLatin1Char('/') + key + QLatin1String(kFileSuffix));
    const int fd = ::open(path.constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0) {
        return -1;
    }
    struct stat info
    {
    };
    std::array<quint32, kHeaderWords> words{};
    const bool read = ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && readWhole(fd, words.data(), kHeaderBytes);
    for (quint32& word : words) {
        word = qFromLittleEndian(word);
    }
    const auto [magic, version, naturalWidth, naturalHeight, width, height, stride] = words;
    const QSize natural{int(naturalWidth), int(naturalHeight)};
    const QSize pixels{int(width), int(height)};
    bool sound = read && magic == kMagic && version == kFormatVersion && validSize(natural);
    if (sound && pixels.isNull() && stride == 0) {
        // Only the word that these bytes parse, for a picture checked but not drawn.
        sound = info.st_size == kHeaderBytes;
    } else if (sound) {
        // The file's size must be what its header says, checked before anything is allocated for it.
        sound = validSize(pixels) && qint64(stride) == qint64(pixels.width()) * kBytesPerPixel &&
                qint64(info.st_size) == kHeaderBytes + qint64(stride) * pixels.height();
    }
    if (!sound) {
        ::close(fd);
        return -1;
    }
    header = CachedPicture{natural, QImage(), pixels.isNull() ? QSize() : pixels};
    return fd;
}

std::optional<CachedPicture> PictureCache::find(const QString& key) const
{
    CachedPicture header;
    const int fd = openKept(key, header);
    if (fd < 0) {
        return std::nullopt;
    }
    ::close(fd);
    return header;
}

QImage PictureCache::rendering(const QString& key, QSize pixels) const
{
    CachedPicture header;
    const int fd = openKept(key, header);
    if (fd < 0) {
        return {};
    }
    QImage image;
    if (!pixels.isEmpty() && header.pixelSize == pixels) {
        image = QImage(pixels, kPixelFormat);
        if (image.isNull() || image.bytesPerLine() != qsizetype(pixels.width()) * kBytesPerPixel ||
            !readWhole(fd, image.bits(), image.sizeInBytes())) {
            image = QImage();
        }
    }
    ::close(fd);
    return image;
}

void PictureCache::tidyFolderOnce() const
{
    if (m_tidied) {
        return;
    }
    m_tidied = true;
    const QByteArray path = QFile::encodeName(m_folder);
    DIR* folder = ::opendir(path.constData());
    if (folder == nullptr) {
        return;
    }
    // Counted only until the folder is known to be too full, and over a bounded number of names: a
    // folder of a hundred thousand files costs a start no more than a folder of a thousand.
    qsizetype kept = 0;
    qsizetype names = 0;
    while (const dirent* entry = ::readdir(folder)) {
        if (++names > kMostNamesRead || kept > kMostKeptPictures) {
            break;
        }
        kept += isKeptFileName(entry->d_name) ? 1 : 0;
    }
    if (kept > kMostKeptPictures) {
        ::rewinddir(folder);
        qsizetype removed = 0;
        while (const dirent* entry = ::readdir(folder)) {
            if (removed >= kMostRemovedAtOnce) {
                break;
            }
            if (!isKeptFileName(entry->d_name)) {
                continue;
            }
            if (::unlinkat(::dirfd(folder), entry->d_name, 0) != 0 && errno != ENOENT) {
                // A folder that keeps its files (read-only, not the user's) keeps every new one out too.
                m_refusesFiles = true;
                break;
            }
            ++removed;
        }
    }
    ::closedir(folder);
}

void PictureCache::store(const QString& key, const CachedPicture& picture) const
{
    if (m_folder.isEmpty() || m_refusesFiles || !validSize(picture.naturalSize) ||
        (!picture.image.isNull() && !validSize(picture.image.size()))) {
        return;
    }
    QDir folder(m_folder);
    if (!folder.mkpath(QStringLiteral("."))) {
        m_refusesFiles = true;
        return;
    }
    tidyFolderOnce();
    if (m_refusesFiles) {
        return;
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

    // Replaced only when whole, so a reader never sees half a file. Not flushed to the disk: after a
    // crash the size check turns a torn file away.
    const QString target = folder.filePath(key + QLatin1String(kFileSuffix));
    if (!replaceFile(target, bytes, FileDurability::Disposable).ok()) {
        // A full disk stays full for the rest of this start: the next pictures are not tried.
        m_refusesFiles = true;
    }
}

} // namespace quantaro
