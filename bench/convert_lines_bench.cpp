// Throughput of the terminal converter reading values from standard input, as a script uses it:
// one whole process, the values written through a pipe and the answers read back.
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

constexpr int kLineCount = 200000;
constexpr int kProcessTimeoutMs = 120000;
constexpr int kRepetitions = 9;

QByteArray inputLines()
{
    QByteArray lines;
    for (int i = 1; i <= kLineCount; ++i) {
        lines += QByteArray::number(i * 1.37, 'g', 10);
        lines += '\n';
    }
    return lines;
}

void BM_ConvertLinesThroughPipe(benchmark::State& state)
{
    const QByteArray input = inputLines();
    QTemporaryDir configHome;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), configHome.path());
    for (auto _ : state) {
        QProcess process;
        process.setProcessEnvironment(environment);
        process.start(QStringLiteral(QUANTARO_PROGRAM_DIR "/quantaro-convert"),
                      {QStringLiteral("--module"), QStringLiteral(QUANTARO_PROGRAM_DIR "/quantaro_en.so"),
                       QStringLiteral("LEN"), QStringLiteral("-"), QStringLiteral("mile"), QStringLiteral("km")});
        process.write(input);
        process.closeWriteChannel();
        if (!process.waitForFinished(kProcessTimeoutMs) || process.exitCode() != 0 ||
            process.readAllStandardOutput().count('\n') != kLineCount) {
            state.SkipWithError("the converter did not answer every line");
            break;
        }
    }
    state.SetItemsProcessed(state.iterations() * kLineCount);
}
BENCHMARK(BM_ConvertLinesThroughPipe)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Repetitions(kRepetitions)
    ->ReportAggregatesOnly(true);

} // namespace

BENCHMARK_MAIN();
