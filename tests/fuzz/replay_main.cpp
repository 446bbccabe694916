// Feeds every file of the folders (or the files) named on the command line to the fuzz target once,
// so the corpora also run as a plain regression test in builds without libFuzzer.

#include <QCoreApplication>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

#include <cstddef>
#include <cstdint>
#include <cstdio>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace {

bool replay(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "cannot read %s\n", qPrintable(path));
        return false;
    }
    const QByteArray bytes = file.readAll();
    LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(bytes.constData()), static_cast<size_t>(bytes.size()));
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    int count = 0;
    for (const QString& argument : app.arguments().mid(1)) {
        if (QFileInfo(argument).isDir()) {
            QDirIterator it(argument, QDir::Files, QDirIterator::Subdirectories);
            while (it.hasNext()) {
                if (!replay(it.next())) {
                    return 1;
                }
                ++count;
            }
        } else {
            if (!replay(argument)) {
                return 1;
            }
            ++count;
        }
    }
    std::printf("%d inputs replayed\n", count);
    return count > 0 ? 0 : 1;
}
