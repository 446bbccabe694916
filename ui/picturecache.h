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
    /** The cache in the user's cache folder (or the folder the environment names). */
    static PictureCache& instance();

    explicit PictureCache(QString folder);

    /** The key of a picture's bytes. */
    static QString keyOf(const QByteArray& bytes);

    std::optional<CachedPicture> find(const QString& key) const;
    /** Keeps a rendering; whether it could be kept does not matter to the caller. */
    void store(const QString& key, const CachedPicture& picture) const;

private:
    static std::optional<CachedPicture> read(int fd);

    QString m_folder;
};

} // namespace quantaro
