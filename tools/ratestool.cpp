#include "tools/ratestool.h"

#include "currency/ecbrates.h"
#include "platform/filewrite.h"

#include <QByteArray>
#include <QFile>
#include <cstdio>
#include <unistd.h>

namespace quantaro {

namespace {

// The program refuses bodies above this size, so a larger input could never be served anyway.
constexpr qint64 kMaxInputBytes = qint64{1} << 20;
constexpr qsizetype kMaxArguments = 2;
const QString kStandardStream = QStringLiteral("-");

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

WriteOutcome writeOutput(const QString& name, const QByteArray& data)
{
    if (name == kStandardStream) {
        return writeAll(STDOUT_FILENO, data);
    }
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
