// quantaro-walk <report folder> [program arguments...]: the program itself, with its real windows
// and services, walking every window and popup it opens and writing what it saw into the folder.
// It lives in the program folder, beside the language modules it loads, and is never installed.
#include "program/programmain.h"
#include "walk/windowwalk.h"

#include <QString>
#include <cstdio>
#include <vector>

namespace {

constexpr int kFolderArgument = 1;

} // namespace

int main(int argc, char** argv)
{
    if (argc <= kFolderArgument) {
        std::fputs("usage: quantaro-walk <report folder> [program arguments...]\n", stderr);
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[kFolderArgument]);
    // The program sees its own name and the arguments after the folder.
    std::vector<char*> programArguments{argv[0]};
    for (int i = kFolderArgument + 1; i <= argc; ++i) {
        programArguments.push_back(argv[i]); // argv[argc] is the closing null
    }
    const int programArgc = argc - 1;
    return quantaro::programMain(programArgc, programArguments.data(),
                                 [&folder] { quantaro::WindowWalk::start(folder); });
}
