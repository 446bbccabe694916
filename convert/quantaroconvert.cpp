// quantaro-convert: the conversions of the program from the command line, without a display.
//
//   quantaro-convert [OPTION]... CODE VALUE FROM TO
//   quantaro-convert [OPTION]... CODE - FROM TO      (values from standard input, one a line)
//   quantaro-convert [OPTION]... QUERY               ("5 mi in km", as the desktop's search box reads it)
//   quantaro-convert [--module FILE] --list [CODE]
//   quantaro-convert --eval TEXT
//
// Options are long options (and -h), so a VALUE such as -5 is a value; "--" ends the options.
#include "app/settingskeys.h"
#include "catalogue/lexicon.h"
#include "convert/converttool.h"
#include "generated/programversion.h"

#include <QCoreApplication>
#include <unistd.h>

int main(int argc, char** argv)
{
    using namespace quantaro;
    QCoreApplication app(argc, argv);
    QCoreApplication::setOrganizationName(settings::kCompany);
    QCoreApplication::setApplicationName(settings::kApplication);

    DescriptorDevice in(STDIN_FILENO, QIODevice::ReadOnly);
    DescriptorDevice out(STDOUT_FILENO, QIODevice::WriteOnly);
    DescriptorDevice err(STDERR_FILENO, QIODevice::WriteOnly);
    const ConvertToolEnvironment environment{QCoreApplication::applicationDirPath(), QString(), userRegion(),
                                             QStringLiteral(QUANTARO_PROGRAM_VERSION)};
    return runConvertTool(QCoreApplication::arguments().mid(1), in, out, err, environment);
}
