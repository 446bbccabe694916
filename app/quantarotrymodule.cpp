// quantaro-trymodule MODULE: tries a language module in a process of its own and writes one byte to
// standard output when it survived. The programs start it before they load a module they have not
// seen: started without Qt, it costs a fraction of a copy of their own process.
#include "app/moduleexports.h"

#include <unistd.h>

int main(int argc, char** argv)
{
    constexpr int kExitUsage = 2;
    if (argc != 2) {
        return kExitUsage;
    }
    quantaro::tryModuleAndExit(argv[1], STDOUT_FILENO);
}
