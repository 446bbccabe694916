#include "tools/ratestool.h"

#include "currency/ecbrates.h"
#include "platform/filewrite.h"

#include <QByteArray>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cstdio>
#include <sys/stat.h>
#include <unistd.h>

namespace quantaro {

namespace {

// The program refuses bodies above this size, so a larger input could never be served anyway.
constexpr qint64 kMaxInputBytes = qint64{1} << 20;
constexpr qsizetype kMaxArguments = 2;
const QString kStandardStream = QStringLiteral("-");
/** Far longer than writing a rate file takes, even to a slow network disk. */
constexpr qint64 kStaleLeftoverSeconds = 60;

bool readInput(const QString& name, QByteArray& data)
{
    QFile file;
    const bool opened = name == kStandardStream ? file.open(stdin, QIODevice::ReadOnly)
                                                : (file.setFileName(name), file.open(QIODevice::ReadOnly));
    if (!opened) {
        return false;
    }
    data = file.read(kMaxInputBytes + 1);
    return data.size() <= kMaxInputBytes && file.error() == QFileDevice::NoError;
}

/**
 * Removes what a run killed while it wrote left beside the output (where the file system could not
 * keep the new file unnamed): the output's name, a point and six letters or digits, a file of this
 * user that no running write can still own.
 */
void removeStaleLeftovers(const QString& output)
{
    const QFileInfo target(output);
    const QDir folder = target.absoluteDir();
    const QDateTime now = QDateTime::currentDateTimeUtc();
    for (const QString& name : folder.entryList(QDir::Files | QDir::Hidden | QDir::System)) {
        if (!isReplacementName(target.absoluteFilePath(), name)) {
            continue;
        }
        const QByteArray path = QFile::encodeName(folder.filePath(name));
        struct stat info = {};
        if (::lstat(path.constData(), &info) == 0 && S_ISREG(info.st_mode) && info.st_uid == ::geteuid() &&
            QDateTime::fromSecsSinceEpoch(info.st_mtim.tv_sec, Qt::UTC).secsTo(now) > kStaleLeftoverSeconds) {
            ::unlink(path.constData());
        }
    }
}

WriteOutcome writeOutput(const QString& name, const QByteArray& data)
{
    if (name == kStandardStream) {
        return writeAll(STDOUT_FILENO, data);
    }
    removeStaleLeftovers(name);
    // A web server never serves a half-written or empty file: the new file replaces the old one
    // only once it is whole on the disk.
    return replaceFile(name, data);
}

} // namespace

bool ratesToolWritesStandardOutput(const QStringList& arguments)
{
    return arguments.value(1, kStandardStream) == kStandardStream;
}

int runRatesTool(const QStringList& arguments)
{
    if (arguments.size() > kMaxArguments || arguments.contains(QStringLiteral("--help")) ||
        arguments.contains(QStringLiteral("-h"))) {
        std::fprintf(stderr, "usage: quantaro-rates [input.xml|-] [output.cvf|-]\n");
        return kRatesToolUsage;
    }
    const QString input = arguments.value(0, kStandardStream);
    const QString output = arguments.value(1, kStandardStream);

    QByteArray xml;
    if (!readInput(input, xml)) {
        std::fprintf(stderr, "quantaro-rates: cannot read %s (or it is larger than 1 MiB)\n", qPrintable(input));
        return kRatesToolReadFailed;
    }
    const std::optional<QByteArray> rates = ecbRatesToRateFile(xml);
    if (!rates || rates->isEmpty()) {
        std::fprintf(stderr, "quantaro-rates: %s holds no reference rates\n", qPrintable(input));
        return kRatesToolNotRates;
    }
    if (const WriteOutcome written = writeOutput(output, *rates); !written.ok()) {
        std::fprintf(stderr, "quantaro-rates: cannot write %s: %s%s\n",
                     qPrintable(output == kStandardStream ? QStringLiteral("standard output") : output),
                     qPrintable(errorText(written.error)),
                     output == kStandardStream ? "" : " (the old file is unchanged)");
        return kRatesToolWriteFailed;
    }
    return kRatesToolOk;
}

} // namespace quantaro
