#pragma once

#include <functional>

namespace quantaro {

/**
 * Runs the program on its command line: the connection run mode without a display, any other run
 * mode with its windows. onApplication, when given, is called once the application object of a
 * windowed run exists and before anything is opened (a test program hooks its own machinery in
 * there). Returns the exit status.
 */
int programMain(int argc, char** argv, const std::function<void()>& onApplication = {});

} // namespace quantaro
