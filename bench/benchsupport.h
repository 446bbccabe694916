#pragma once

#include "platform/messageboxes.h"

#include <benchmark/benchmark.h>

namespace quantaro::bench {

/** Message boxes that show nothing: a benchmark has no one to read them. */
class SilentMessages final : public MessageBoxes
{
public:
    void show(const QString&, MessageIcon) override {}
};

/** Runs the benchmarks the command line selects; call it once the Qt application object exists. */
inline int runBenchmarks(int& argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

} // namespace quantaro::bench
