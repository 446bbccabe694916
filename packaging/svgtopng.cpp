// Build-time helper: renders the scalable icon to a square PNG for shells that do not draw SVG.
//
//   svgtopng <input.svg> <pixels> <output.png>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSaveFile>
#include <QSvgRenderer>
#include <cstdio>

namespace {

enum ExitCode
{
    kOk = 0,
    kUsage = 1,
    kBadInput = 2,
    kWriteFailed = 3,
};

constexpr int kArgumentCount = 4;
constexpr int kMaxPixels = 1024;

} // namespace

int main(int argc, char** argv)
{
    // Rendering needs no display; a build machine has none.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != kArgumentCount) {
        std::fprintf(stderr, "usage: svgtopng <input.svg> <pixels> <output.png>\n");
        return kUsage;
    }
    bool isNumber = false;
    const int pixels = QString::fromLocal8Bit(argv[2]).toInt(&isNumber);
    QSvgRenderer renderer(QString::fromLocal8Bit(argv[1]));
    if (!isNumber || pixels <= 0 || pixels > kMaxPixels || !renderer.isValid()) {
        std::fprintf(stderr, "svgtopng: cannot render %s at %s pixels\n", argv[1], argv[2]);
        return kBadInput;
    }
    QImage image(pixels, pixels, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        renderer.render(&painter, QRectF(0, 0, pixels, pixels));
    }
    // Written whole or not at all, so a failed build never leaves a cut-off icon behind.
    QSaveFile file(QString::fromLocal8Bit(argv[3]));
    if (!file.open(QIODevice::WriteOnly) || !image.save(&file, "PNG") || !file.commit()) {
        std::fprintf(stderr, "svgtopng: cannot write %s\n", argv[3]);
        return kWriteFailed;
    }
    return kOk;
}
