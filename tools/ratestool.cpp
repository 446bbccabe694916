#include "tools/ratestool.h"

#include "catalogue/currencyunits.h"
#include "currency/ecbrates.h"
#include "currency/openrates.h"
#include "currency/ratedates.h"
#include "currency/ratefilereader.h"
#include "currency/ratemerge.h"
#include "platform/filewrite.h"

#include <QByteArray>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <cstdio>
#include <sys/stat.h>
#include <unistd.h>

namespace quantaro {

namespace {

// The program refuses bodies above this size, so a larger input could never be served anyway.
constexpr qint64 kMaxInputBytes = qint64{1} << 20;
constexpr qsizetype kMaxArguments = 3;
/** bank input, open input, output */
constexpr qsizetype kMergeArguments = 3;
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

/** Writes the rate file and says on standard error what failed; the tool's exit status. */
int writeRates(const QString& output, const QByteArray& rates)
{
    if (const WriteOutcome written = writeOutput(output, rates); !written.ok()) {
        std::fprintf(stderr, "quantaro-rates: cannot write %s: %s%s\n",
                     qPrintable(output == kStandardStream ? QStringLiteral("standard output") : output),
                     qPrintable(errorText(written.error)),
                     output == kStandardStream ? "" : " (the old file is unchanged)");
        return kRatesToolWriteFailed;
    }
    return kRatesToolOk;
}

const char* outcomeText(SourceOutcome outcome)
{
    return outcome == SourceOutcome::Stale ? "its rates are more than 7 days old" : "it holds no usable rates";
}

/**
 * The lines of the file being replaced whose currencies the merge lacks: a source that failed today
 * leaves its rates of yesterday in the file, each still with its day, as the program keeps them.
 */
QByteArray carriedOverLines(const QString& output, const MergedRates& merged)
{
    QFile old(output);
    if (output == kStandardStream || !QFileInfo(output).isFile() || !old.open(QIODevice::ReadOnly)) {
        return {};
    }
    const QByteArray text = old.read(kMaxInputBytes);
    QSet<QString> codes;
    for (const MergedRate& rate : merged.rates) {
        codes.insert(rate.code);
    }
    QByteArray lines;
    qsizetype count = static_cast<qsizetype>(merged.rates.size());
    for (const QByteArray& line : text.split('\n')) {
        const QList<QByteArray> fields = line.trimmed().split(';');
        // Only lines this tool writes: code, rate and a day.
        if (fields.size() != kMergeArguments || count >= kMostRatesPerFile) {
            continue;
        }
        const QString code = QString::fromLatin1(fields[0]);
        const QString rate = QString::fromLatin1(fields[1]);
        if (code.isEmpty() || code == kEuroCode || codes.contains(code) || !isAcceptableRateCode(code) ||
            !isRateNumber(rate) || !storedDate(QString::fromLatin1(fields[2])).isValid()) {
            continue;
        }
        codes.insert(code);
        lines += line.trimmed() + '\n';
        ++count;
    }
    return lines;
}

int runMerge(const QStringList& arguments, QDate today)
{
    const QString bankInput = arguments[0];
    const QString openInput = arguments[1];
    const QString output = arguments[2];
    if (bankInput == kStandardStream && openInput == kStandardStream) {
        std::fprintf(stderr, "quantaro-rates: only one input can be standard input\n");
        return kRatesToolUsage;
    }
    QByteArray xml;
    QByteArray json;
    const bool bankRead = readInput(bankInput, xml);
    const bool openRead = readInput(openInput, json);
    if (!bankRead && !openRead) {
        std::fprintf(stderr, "quantaro-rates: cannot read %s nor %s (or they are larger than 1 MiB)\n",
                     qPrintable(bankInput), qPrintable(openInput));
        return kRatesToolReadFailed;
    }
    const MergedRates merged =
        mergeRates(bankRead ? readEcbRates(xml) : std::nullopt, openRead ? readOpenRates(json) : std::nullopt, today);
    if (!merged.anyUsed()) {
        std::fprintf(stderr, "quantaro-rates: neither %s nor %s holds usable rates of the last 7 days\n",
                     qPrintable(bankInput), qPrintable(openInput));
        return kRatesToolNotRates;
    }
    struct Source
    {
        const SourceReport& report;
        const QString& name;
        bool read;
    };
    for (const Source& source : {Source{merged.bank, bankInput, bankRead}, Source{merged.open, openInput, openRead}}) {
        if (!source.report.used()) {
            std::fprintf(stderr, "quantaro-rates: %s gives nothing: %s; the rate file keeps its earlier rates\n",
                         qPrintable(source.name),
                         source.read ? outcomeText(source.report.outcome) : "it cannot be read or is over 1 MiB");
        }
    }
    const QByteArray rates = merged.rateFile() + carriedOverLines(output, merged);
    return writeRates(output, rates);
}

} // namespace

bool ratesToolWritesStandardOutput(const QStringList& arguments)
{
    return arguments.value(arguments.size() == kMergeArguments ? 2 : 1, kStandardStream) == kStandardStream;
}

int runRatesTool(const QStringList& arguments, QDate today)
{
    if (arguments.size() > kMaxArguments || arguments.contains(QStringLiteral("--help")) ||
        arguments.contains(QStringLiteral("-h"))) {
        std::fprintf(stderr, "usage: quantaro-rates [input.xml|-] [output.cvf|-]\n"
                             "       quantaro-rates bank.xml|- open.json|- output.cvf|-\n");
        return kRatesToolUsage;
    }
    if (arguments.size() == kMergeArguments) {
        return runMerge(arguments, today.isValid() ? today : QDateTime::currentDateTimeUtc().date());
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
    return writeRates(output, *rates);
}

} // namespace quantaro
