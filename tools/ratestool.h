#pragma once

#include <QDate>
#include <QStringList>

namespace quantaro {

/** Exit statuses of quantaro-rates. */
enum RatesToolStatus
{
    kRatesToolOk = 0,
    kRatesToolUsage = 1,
    kRatesToolReadFailed = 2,
    kRatesToolNotRates = 3,
    kRatesToolWriteFailed = 4,
};

/**
 * quantaro-rates with its arguments (without the program name): reads the central bank's XML from
 * a file or standard input ("-" or none) and writes the rate file to a file or standard output.
 * With three arguments (bank XML, open source JSON, output) it writes the merge of both (mergeRates
 * on today, the machine's date when invalid), each line with its rate's day, and keeps the lines of
 * the file it replaces whose currencies the merge lacks; a source that gives nothing is said on
 * standard error, and only when neither gives a rate does it fail (kRatesToolNotRates).
 * A file is replaced only once the new one is wholly on the disk; any write, flush or close error
 * leaves it as it was, says so on standard error and answers kRatesToolWriteFailed. Standard output
 * is written but not closed: the program closes it, and checks that too.
 */
int runRatesTool(const QStringList& arguments, QDate today = {});

/** Whether the arguments send the rate file to standard output. */
bool ratesToolWritesStandardOutput(const QStringList& arguments);

} // namespace quantaro
