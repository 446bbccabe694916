// quantaro-rates: turns the central bank's daily reference rates (XML) into the rate file that the
// program downloads from a publisher's server, with the same translation the program uses itself.
//
//   quantaro-rates [input.xml|-] [output.cvf|-]
//
// Reads standard input and writes standard output when a name is missing or "-".
#include "platform/filewrite.h"
#include "tools/ratestool.h"

#include <QCoreApplication>
#include <cerrno>
#include <cstdio>
#include <unistd.h>

int main(int argc, char** argv)
{
    using namespace quantaro;
    QCoreApplication app(argc, argv);
    const QStringList arguments = QCoreApplication::arguments().mid(1);
    const int status = runRatesTool(arguments);
    // The last bytes to standard output may fail only when it is closed (a file on a full network disk).
    if (status == kRatesToolOk && ratesToolWritesStandardOutput(arguments) &&
        WriteCalls::current().close(STDOUT_FILENO) != 0) {
        std::fprintf(stderr, "quantaro-rates: cannot write standard output: %s\n", qPrintable(errorText(errno)));
        return kRatesToolWriteFailed;
    }
    return status;
}
