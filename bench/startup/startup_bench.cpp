// Time from process start to the first painted window, and peak memory, of the program and of a
// minimal Qt dialog program built beside it. Both run offscreen and end after their first paint.
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <chrono>
#include <cstdio>
#include <map>
#include <spawn.h>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <vector>

extern char** environ;

namespace {

struct Sample
{
    double milliseconds = 0;
    long peakKib = 0;
};

std::map<std::string, std::vector<Sample>> g_samples;
QTemporaryDir* g_configHome = nullptr;

Sample runOnce(const std::string& program)
{
    std::vector<std::string> env = {"QT_QPA_PLATFORM=offscreen", "QUANTARO_EXIT_AFTER_PAINT=1",
                                    "XDG_CONFIG_HOME=" + g_configHome->path().toStdString(),
                                    "XDG_RUNTIME_DIR=" + g_configHome->path().toStdString()};
    std::vector<char*> envp;
    for (std::string& entry : env) {
        envp.push_back(entry.data());
    }
    envp.push_back(nullptr);
    std::string path = program;
    char* argv[] = {path.data(), nullptr};

    const auto start = std::chrono::steady_clock::now();
    pid_t pid = 0;
    if (posix_spawn(&pid, path.c_str(), nullptr, nullptr, argv, envp.data()) != 0) {
        return {};
    }
    int status = 0;
    rusage usage {};
    wait4(pid, &status, 0, &usage);
    const auto end = std::chrono::steady_clock::now();
    return {std::chrono::duration<double, std::milli>(end - start).count(), usage.ru_maxrss};
}

void startup(benchmark::State& state, const std::string& name, const std::string& program)
{
    for (auto _ : state) {
        const Sample sample = runOnce(program);
        state.SetIterationTime(sample.milliseconds / 1000.0);
        state.counters["peak_MiB"] = static_cast<double>(sample.peakKib) / 1024.0;
        g_samples[name].push_back(sample);
    }
}

double median(std::vector<double> values)
{
    if (values.empty()) {
        return 0;
    }
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

} // namespace

int main(int argc, char** argv)
{
    QTemporaryDir configHome;
    g_configHome = &configHome;
    QDir().mkpath(configHome.filePath(QStringLiteral("Velmora")));
    QFile ini(configHome.filePath(QStringLiteral("Velmora/Quantaro.ini")));
    if (ini.open(QIODevice::WriteOnly)) {
        ini.write("[Settings]\nNewInstall=0\nLanguageDLLName=quantaro_en.so\n");
        ini.close();
    }

    const std::string quantaro = QUANTARO_PROGRAM_DIR "/quantaro";
    const std::string minimal = QUANTARO_BENCH_DIR "/minimal_dialog";
    benchmark::RegisterBenchmark("startup/quantaro", startup, "quantaro", quantaro)
        ->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(15);
    benchmark::RegisterBenchmark("startup/minimal_qt_dialog", startup, "minimal", minimal)
        ->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(15);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();

    std::map<std::string, std::pair<double, double>> medians;
    for (const auto& [name, samples] : g_samples) {
        std::vector<double> times;
        std::vector<double> peaks;
        for (const Sample& sample : samples) {
            times.push_back(sample.milliseconds);
            peaks.push_back(static_cast<double>(sample.peakKib) / 1024.0);
        }
        medians[name] = {median(times), median(peaks)};
        std::printf("%-10s median %.1f ms, peak %.1f MiB\n", name.c_str(), medians[name].first,
                    medians[name].second);
    }
    if (medians.count("quantaro") && medians.count("minimal") && medians["minimal"].first > 0) {
        std::printf("ratio      time %.2f, memory %.2f (target: at most 1.5 each)\n",
                    medians["quantaro"].first / medians["minimal"].first,
                    medians["quantaro"].second / medians["minimal"].second);
    }
    return 0;
}
