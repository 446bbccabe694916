// Renderings kept between runs: found again by the picture's bytes only, drawn without parsing the
// picture, and anything damaged or unwritable in the cache simply rendered again.
#include "ui/picturecache.h"
#include "ui/picturefile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <chrono>
#include <condition_variable>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <mutex>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

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
    EXPECT_EQ(found->pixelSize, QSize(12, 6));
    EXPECT_EQ(cache.rendering(key, QSize(12, 6)), filled(QSize(12, 6), Qt::blue));
    EXPECT_TRUE(cache.rendering(key, QSize(24, 12)).isNull()) << "only at the size it is drawn at";

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
        {"a stride that is not the width's", whole.left(24) + QByteArray("\x40\0\0\0", 4) + whole.mid(28)},
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

    // A forged file of the right size for 4096 x 4096 pixels (sparse on the disk) is never read for a
    // picture drawn at another size: before, every such file cost 64 MiB at start.
    constexpr int kForgedSide = 4096;
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QByteArray forged = whole.left(16);
    for (const quint32 word : {quint32(kForgedSide), quint32(kForgedSide), quint32(kForgedSide * 4)}) {
        forged.append(reinterpret_cast<const char*>(&word), sizeof word);
    }
    file.write(forged);
    ASSERT_TRUE(file.resize(forged.size() + qint64(kForgedSide) * kForgedSide * 4));
    file.close();
    const auto claimed = cache.find(key);
    ASSERT_TRUE(claimed.has_value());
    EXPECT_TRUE(claimed->image.isNull());
    EXPECT_TRUE(cache.rendering(key, QSize(12, 6)).isNull());

    // A FIFO in the file's place is absent, not waited on (a watchdog writes into it should it be).
    ASSERT_TRUE(QFile::remove(path));
    ASSERT_EQ(::mkfifo(QFile::encodeName(path).constData(), S_IRUSR | S_IWUSR), 0);
    std::mutex mutex;
    std::condition_variable finished;
    bool done = false;
    bool rescued = false;
    std::thread watchdog([&] {
        std::unique_lock lock(mutex);
        if (!finished.wait_for(lock, std::chrono::seconds(10), [&] { return done; })) {
            rescued = true;
            ::close(::open(QFile::encodeName(path).constData(), O_RDWR));
        }
    });
    const bool foundInFifo = cache.find(key).has_value();
    {
        const std::lock_guard lock(mutex);
        done = true;
    }
    finished.notify_one();
    watchdog.join();
    EXPECT_FALSE(foundInFifo);
    EXPECT_FALSE(rescued) << "the cache waited on a FIFO";

    // A folder that cannot be made (below a file) keeps nothing and breaks nothing.
    const PictureCache unwritable(path + QStringLiteral("/below"));
    unwritable.store(key, {QSize(96, 48), filled(QSize(12, 6), Qt::blue)});
    EXPECT_FALSE(unwritable.find(key).has_value());
    EXPECT_FALSE(PictureCache(QString()).find(key).has_value()) << "no folder: nothing kept";
}

TEST(PictureCache, ALinkOrPipeInAKeptFilesPlaceIsReplacedNeitherFollowedNorWaitedOn)
{
    const struct
    {
        const char* what;
        bool pipe;
    } places[] = {{"a link to a file of the person's", false}, {"a pipe", true}};
    for (const auto& place : places) {
        QTemporaryDir folder;
        const QString key = PictureCache::keyOf(kSvg);
        const QString path = folder.filePath(key + QStringLiteral(".pic"));
        const QString own = folder.filePath(QStringLiteral("notes.txt"));
        {
            QFile file(own);
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
            file.write("mine");
        }
        if (place.pipe) {
            ASSERT_EQ(::mkfifo(QFile::encodeName(path).constData(), S_IRUSR | S_IWUSR), 0) << place.what;
        } else {
            ASSERT_TRUE(QFile::link(own, path)) << place.what;
        }
        std::mutex mutex;
        std::condition_variable finished;
        bool done = false;
        bool rescued = false;
        int rescuer = -1;
        // A reader that stays open until the store is over: the picture fits in the pipe.
        std::thread watchdog([&] {
            std::unique_lock lock(mutex);
            if (!finished.wait_for(lock, std::chrono::seconds(10), [&] { return done; })) {
                rescued = true;
                rescuer = ::open(QFile::encodeName(path).constData(), O_RDWR);
            }
        });
        const PictureCache cache(folder.path());
        cache.store(key, {QSize(96, 48), filled(QSize(12, 6), Qt::blue)});
        {
            const std::lock_guard lock(mutex);
            done = true;
        }
        finished.notify_one();
        watchdog.join();
        if (rescuer >= 0) {
            ::close(rescuer);
        }
        EXPECT_FALSE(rescued) << place.what << ": the cache waited on it";
        EXPECT_TRUE(QFileInfo(path).isFile() && !QFileInfo(path).isSymLink()) << place.what;
        EXPECT_EQ(cache.rendering(key, QSize(12, 6)), filled(QSize(12, 6), Qt::blue)) << place.what;
        QFile file(own);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        EXPECT_EQ(file.readAll(), QByteArray("mine")) << place.what << ": written through the link";
    }
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
    EXPECT_EQ(kept->pixelSize, size);

    // What a later run finds is what it draws: a kept rendering of another colour shows it was not parsed.
    PictureCache::instance().store(PictureCache::keyOf(kSvg), {QSize(96, 48), filled(size, Qt::blue)});
    const PictureFile later(svg);
    EXPECT_FALSE(later.isNull());
    EXPECT_EQ(later.naturalSize(), QSize(96, 48));
    EXPECT_EQ(later.stretchedTo(size, 1.0).toImage().pixelColor(5, 5), QColor(Qt::blue));
    EXPECT_EQ(later.stretchedTo(QSize(48, 24), 1.0).toImage().pixelColor(5, 5), QColor(Qt::red))
        << "another size is rendered from the picture";
}
