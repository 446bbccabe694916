// Renderings kept between runs: found again by the picture's bytes only, drawn without parsing the
// picture, and anything damaged or unwritable in the cache simply rendered again.
#include "ui/picturecache.h"
#include "ui/picturefile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace quantaro;

namespace {

const QByteArray kSvg = "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"96\" height=\"48\">"
                        "<rect width=\"96\" height=\"48\" fill=\"#ff0000\"/></svg>";

QImage filled(QSize size, QColor colour)
{
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(colour);
    return image;
}

} // namespace

TEST(PictureCache, FindsWhatWasKeptByTheBytesAndTurnsAwayDamagedFiles)
{
    QTemporaryDir folder;
    const PictureCache cache(folder.path());
    const QString key = PictureCache::keyOf(kSvg);
    EXPECT_EQ(key, PictureCache::keyOf(QByteArray(kSvg))) << "the same bytes, the same key in every run";
    EXPECT_NE(key, PictureCache::keyOf(kSvg + " ")) << "a changed picture does not find its former rendering";

    cache.store(key, {QSize(96, 48), filled(QSize(12, 6), Qt::blue)});
    const auto found = cache.find(key);
    ASSERT_TRUE(found.has_value());
    EXPECT_EQ(found->naturalSize, QSize(96, 48));
    EXPECT_EQ(found->image, filled(QSize(12, 6), Qt::blue));

    const QString path = folder.filePath(key + QStringLiteral(".pic"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray whole = file.readAll();
    file.close();
    const struct
    {
        const char* what;
        QByteArray bytes;
    } damaged[] = {
        {"empty", QByteArray()},
        {"cut inside the header", whole.left(10)},
        {"cut inside the pixels", whole.left(whole.size() - 1)},
        {"longer than its pixels", whole + "x"},
        {"another magic", QByteArray("XXXX") + whole.mid(4)},
        {"a huge width", whole.left(16) + QByteArray("\xff\xff\xff\x7f", 4) + whole.mid(20)},
    };
    for (const auto& d : damaged) {
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(d.bytes);
        file.close();
        EXPECT_FALSE(cache.find(key).has_value()) << d.what;
    }

    cache.store(key, {QSize(96, 48), QImage()});
    const auto parses = cache.find(key);
    ASSERT_TRUE(parses.has_value()) << "the word that a picture parses, without pixels";
    EXPECT_TRUE(parses->image.isNull());
    EXPECT_EQ(parses->naturalSize, QSize(96, 48));

    // A folder that cannot be made (below a file) keeps nothing and breaks nothing.
    const PictureCache unwritable(path + QStringLiteral("/below"));
    unwritable.store(key, {QSize(96, 48), filled(QSize(12, 6), Qt::blue)});
    EXPECT_FALSE(unwritable.find(key).has_value());
    EXPECT_FALSE(PictureCache(QString()).find(key).has_value()) << "no folder: nothing kept";
}

TEST(PictureFile, ANewRunDrawsTheKeptRenderingWithoutParsingThePicture)
{
    QTemporaryDir folder;
    const QString svg = folder.filePath(QStringLiteral("picture.svg"));
    QFile file(svg);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(kSvg);
    file.close();

    const QSize size(24, 12);
    const QImage first = PictureFile(svg).stretchedTo(size, 1.0).toImage();
    EXPECT_EQ(first.pixelColor(5, 5), QColor(Qt::red)) << "rendered from the picture";
    const auto kept = PictureCache::instance().find(PictureCache::keyOf(kSvg));
    ASSERT_TRUE(kept.has_value()) << "the first rendering is kept";
    EXPECT_EQ(kept->image.size(), size);

    // What a later run finds is what it draws: a kept rendering of another colour shows it was not parsed.
    PictureCache::instance().store(PictureCache::keyOf(kSvg), {QSize(96, 48), filled(size, Qt::blue)});
    const PictureFile later(svg);
    EXPECT_FALSE(later.isNull());
    EXPECT_EQ(later.naturalSize(), QSize(96, 48));
    EXPECT_EQ(later.stretchedTo(size, 1.0).toImage().pixelColor(5, 5), QColor(Qt::blue));
    EXPECT_EQ(later.stretchedTo(QSize(48, 24), 1.0).toImage().pixelColor(5, 5), QColor(Qt::red))
        << "another size is rendered from the picture";
}
