// quantaro-rates: turns the central bank's daily reference rates (XML) into the rate file that the
// program downloads from a publisher's server, with the same translation the program uses itself.
//
//   quantaro-rates [input.xml|-] [output.cvf|-]
//
// Reads standard input and writes standard output when a name is missing or "-".
#include "currency/ecbrates.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QFile>
#include <QSaveFile>
#include <QStringList>
#include <cstdio>

namespace {

enum ExitCode
{
    kOk = 0,
    kUsage = 1,
    kReadFailed = 2,
    kNotRates = 3,
    kWriteFailed = 4,
};

// The program refuses bodies above this size, so a larger input could never be served anyway.
constexpr qint64 kMaxInputBytes = qint64{1} << 20;
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

bool writeOutput(const QString& name, const QByteArray& data)
{
    if (name == kStandardStream) {
        QFile out;
        return out.open(stdout, QIODevice::WriteOnly) && out.write(data) == data.size() && out.flush();
    }
    // A web server never serves a half-written file: the new file replaces the old one whole.
    QSaveFile out(name);
    return out.open(QIODevice::WriteOnly) && out.write(data) == data.size() && out.commit();
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList arguments = QCoreApplication::arguments().mid(1);
    constexpr qsizetype kMaxArguments = 2;
    if (arguments.size() > kMaxArguments || arguments.contains(QStringLiteral("--help")) ||
        arguments.contains(QStringLiteral("-h"))) {
        std::fprintf(stderr, "usage: quantaro-rates [input.xml|-] [output.cvf|-]\n");
        return kUsage;
    }
    const QString input = arguments.value(0, kStandardStream);
    const QString output = arguments.value(1, kStandardStream);

    QByteArray xml;
    if (!readInput(input, xml)) {
        std::fprintf(stderr, "quantaro-rates: cannot read %s (or it is larger than 1 MiB)\n", qPrintable(input));
        return kReadFailed;
    }
    const std::optional<QByteArray> rates = quantaro::ecbRatesToRateFile(xml);
    if (!rates || rates->isEmpty()) {
        std::fprintf(stderr, "quantaro-rates: %s holds no reference rates\n", qPrintable(input));
        return kNotRates;
    }
    if (!writeOutput(output, *rates)) {
        std::fprintf(stderr, "quantaro-rates: cannot write %s\n", qPrintable(output));
        return kWriteFailed;
    }
    return kOk;
}
