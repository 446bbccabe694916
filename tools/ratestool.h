#pragma once

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
 * A file is replaced only once the new one is wholly on the disk; any write, flush or close error
 * leaves it as it was, says so on standard error and answers kRatesToolWriteFailed. Standard output
 * is written but not closed: the program closes it, and checks that too.
 */
int runRatesTool(const QStringList& arguments);

/** Whether the arguments send the rate file to standard output. */
bool ratesToolWritesStandardOutput(const QStringList& arguments);

} // namespace quantaro
