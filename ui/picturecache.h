#pragma once

#include <QImage>
#include <QSize>
#include <QString>
#include <optional>

namespace quantaro {

/** Environment variable that names the folder of kept renderings instead of the user's cache folder;
 *  "off" keeps none. */
inline constexpr char kPictureCacheVariable[] = "QUANTARO_PICTURE_CACHE";

/** A kept rendering of a vector picture: the picture's natural size and its pixels (none for a
 *  picture that was only found to parse). */
struct CachedPicture
{
    QSize naturalSize;
    QImage image;
    /** The size of the kept pixels, known before they are read; empty when none are kept. */
    QSize pixelSize{};
};

/**
 * Renderings of vector pictures kept between runs, so that a start draws its pictures without
 * parsing and rendering them again. Each picture is known by a key made from its bytes, so a changed
 * picture never finds the rendering of its former self. One rendering a picture: the one made at the
 * size a window started with.
 *
 * Nothing kept here is needed: a file that is missing, cut short or damaged is rendered again, and a
 * rendering that cannot be kept (a full or read-only disk) is simply not kept.
 */
class PictureCache
{
public:
    /** The cache in the user's cache folder, or in the folder chosen at start-up. */
    static PictureCache& instance();
    /** Chooses, once at start-up and before the first picture is drawn, the folder instance() keeps
     *  its renderings in instead of the user's cache folder (QUANTARO_PICTURE_CACHE): "off" keeps
     *  none, an empty text keeps the user's cache folder. */
    static void chooseFolder(const QString& chosen);

    explicit PictureCache(QString folder);

    /** The key of a picture's bytes. */
    static QString keyOf(const QByteArray& bytes);

    /** What is kept of a picture, without its pixels: its natural size and the size of its rendering.
     *  A file that is no regular file (a FIFO, a device) counts as absent and is never waited on. */
    std::optional<CachedPicture> find(const QString& key) const;
    /** The kept rendering, only when it is exactly the pixels it is to be drawn at: a file that claims
     *  another size costs no memory, whatever its header says. */
    QImage rendering(const QString& key, QSize pixels) const;
    /** Keeps a rendering; whether it could be kept does not matter to the caller. */
    void store(const QString& key, const CachedPicture& picture) const;

private:
    /** The file's header, and the file left open after it when it is sound; -1 when it is not. */
    int openKept(const QString& key, CachedPicture& header) const;
    /** Once a process: empties a folder grown too full, reading only as much of it as that takes. */
    void tidyFolderOnce() const;

    QString m_folder;
    // A folder that refused a file (read-only, full) is not tried again in this process.
    mutable bool m_refusesFiles = false;
    mutable bool m_tidied = false;
};

} // namespace quantaro
