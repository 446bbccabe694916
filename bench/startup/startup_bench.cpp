// The waits for a whole process, measured from outside on one processor:
//  - start: the program to its painted home window, against a minimal Qt dialog program (the
//    yardstick), run in turn (program, yardstick, program, ...) so that both see the same machine;
//    the figure that counts is the median of the pairwise ratios, for time and for peak memory;
//  - first start: the same with no settings and nothing kept from an earlier run, to the painted
//    language window;
//  - connection: the windowless run mode, from its start to its first request to a loopback server.
// With --compare, a second build of the program (an older one, say) runs in every round too, so its
// figures come from the same run against the same yardstick.
#include <algorithm>
#include <arpa/inet.h>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <netinet/in.h>
#include <optional>
#include <poll.h>
#include <sched.h>
#include <spawn.h>
#include <string>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace fs = std::filesystem;

namespace {

constexpr int kDefaultPairs = 40;
constexpr int kLeastPairs = 30;
constexpr int kWarmUpRuns = 3;
// The connection run mode's own fixed pauses before its first download (half a second, one waiting
// turn of two seconds, three seconds): what is left beyond them is the program's start.
constexpr double kConnectionPausesMs = 5500;
constexpr int kDefaultConnectionRuns = 9;
constexpr double kStartTimeTarget = 1.25;
constexpr double kStartMemoryTarget = 1.15;
// A run that has not ended by then has hung; it is killed and counted as failed.
constexpr int kRunTimeoutMs = 20000;
constexpr double kKibPerMib = 1024.0;
constexpr char kRateBody[] = "USD;0.92\nGBP;1.17\n";

using Clock = std::chrono::steady_clock;

struct Sample
{
    double milliseconds = 0;
    double peakMib = 0;
    bool ok = false;
};

double median(std::vector<double> values)
{
    if (values.empty()) {
        return 0;
    }
    std::sort(values.begin(), values.end());
    const size_t middle = values.size() / 2;
    return values.size() % 2 != 0 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

double sinceMs(Clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

void writeFile(const fs::path& path, const std::string& text)
{
    fs::create_directories(path.parent_path());
    std::ofstream(path) << text;
}

/** A fresh folder below the benchmark's own temporary folder. */
fs::path freshFolder(const fs::path& root, const std::string& name)
{
    static int counter = 0;
    const fs::path folder = root / (name + "-" + std::to_string(++counter));
    fs::create_directories(folder);
    return folder;
}

pid_t spawn(const std::string& program, const std::vector<std::string>& arguments,
            const std::vector<std::string>& environment)
{
    std::vector<std::string> args = {program};
    args.insert(args.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (std::string& arg : args) {
        argv.push_back(arg.data());
    }
    argv.push_back(nullptr);
    std::vector<std::string> env = environment;
    std::vector<char*> envp;
    for (std::string& entry : env) {
        envp.push_back(entry.data());
    }
    envp.push_back(nullptr);
    pid_t pid = 0;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    // The programs' own messages would only mix with the report.
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    const int failed = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    return failed == 0 ? pid : -1;
}

/** Waits for the process, killing it when it outlives the time-out; its peak memory in MiB. */
std::optional<double> reap(pid_t pid, Clock::time_point start)
{
    int status = 0;
    rusage usage{};
    while (wait4(pid, &status, WNOHANG, &usage) == 0) {
        if (sinceMs(start) > kRunTimeoutMs) {
            kill(pid, SIGKILL);
            wait4(pid, &status, 0, &usage);
            return std::nullopt;
        }
        usleep(200);
    }
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        return std::nullopt;
    }
    return static_cast<double>(usage.ru_maxrss) / kKibPerMib;
}

/** One run to the first paint: the process ends itself right after it. */
Sample runToPaint(const std::string& program, const std::vector<std::string>& environment)
{
    const auto start = Clock::now();
    const pid_t pid = spawn(program, {}, environment);
    if (pid < 0) {
        return {};
    }
    // Polling for the end would add up to its period to every sample: wait for it instead.
    int status = 0;
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    const double ms = sinceMs(start);
    const bool ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    return {ms, static_cast<double>(usage.ru_maxrss) / kKibPerMib, ok};
}

/** A loopback server that answers every request with a small rate file. */
class RateServer
{
public:
    RateServer()
    {
        m_socket = socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        if (m_socket < 0 || bind(m_socket, reinterpret_cast<sockaddr*>(&address), length) != 0 ||
            listen(m_socket, 4) != 0 || getsockname(m_socket, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
            m_port = 0;
            return;
        }
        m_port = ntohs(address.sin_port);
    }
    ~RateServer()
    {
        if (m_socket >= 0) {
            close(m_socket);
        }
    }
    int port() const { return m_port; }

    /** Waits for one request; true once its headers arrived (and were answered). */
    bool serveOne()
    {
        pollfd waiting{m_socket, POLLIN, 0};
        if (poll(&waiting, 1, kRunTimeoutMs) != 1) {
            return false;
        }
        const int client = accept(m_socket, nullptr, nullptr);
        if (client < 0) {
            return false;
        }
        std::string request;
        char buffer[4096];
        while (request.find("\r\n\r\n") == std::string::npos) {
            pollfd reading{client, POLLIN, 0};
            if (poll(&reading, 1, kRunTimeoutMs) != 1) {
                break;
            }
            const ssize_t got = read(client, buffer, sizeof buffer);
            if (got <= 0) {
                break;
            }
            request.append(buffer, static_cast<size_t>(got));
        }
        const bool complete = request.find("\r\n\r\n") != std::string::npos;
        const std::string body = kRateBody;
        const std::string answer =
            "HTTP/1.1 200 OK\r\nContent-Type: text/plain\r\nContent-Length: " + std::to_string(body.size()) +
            "\r\nConnection: close\r\n\r\n" + body;
        [[maybe_unused]] const ssize_t sent = write(client, answer.data(), answer.size());
        close(client);
        return complete;
    }

private:
    int m_socket = -1;
    int m_port = 0;
};

struct Options
{
    int pairs = kDefaultPairs;
    int cpu = -1;
    std::string program = QUANTARO_PROGRAM_DIR "/quantaro";
    std::string yardstick = QUANTARO_BENCH_DIR "/minimal_dialog";
    std::string compare;
    int connectionRuns = kDefaultConnectionRuns;
    bool start = true;
    bool first = true;
    bool connection = true;
};

std::optional<Options> parse(int argc, char** argv)
{
    Options options;
    for (int i = 1; i < argc; ++i) {
        const std::string word = argv[i];
        const bool hasValue = i + 1 < argc;
        if (word == "--pairs" && hasValue) {
            options.pairs = std::max(kLeastPairs, std::atoi(argv[++i]));
        } else if (word == "--cpu" && hasValue) {
            options.cpu = std::atoi(argv[++i]);
        } else if (word == "--program" && hasValue) {
            options.program = argv[++i];
        } else if (word == "--yardstick" && hasValue) {
            options.yardstick = argv[++i];
        } else if (word == "--compare" && hasValue) {
            options.compare = argv[++i];
        } else if (word == "--connection-runs" && hasValue) {
            options.connectionRuns = std::max(1, std::atoi(argv[++i]));
        } else if (word == "--only" && hasValue) {
            const std::string part = argv[++i];
            options.start = part == "start";
            options.first = part == "first";
            options.connection = part == "connection";
        } else {
            std::fprintf(stderr,
                         "usage: %s [--pairs N (at least %d)] [--cpu K] [--program PATH] [--yardstick PATH] "
                         "[--compare PATH] [--connection-runs N] [--only start|first|connection]\n",
                         argv[0], kLeastPairs);
            return std::nullopt;
        }
    }
    return options;
}

bool pinTo(int cpu)
{
    if (cpu < 0) {
        cpu = static_cast<int>(sysconf(_SC_NPROCESSORS_ONLN)) - 1;
    }
    cpu_set_t set;
    CPU_ZERO(&set);
    CPU_SET(cpu, &set);
    if (sched_setaffinity(0, sizeof set, &set) != 0) {
        std::perror("sched_setaffinity");
        return false;
    }
    std::printf("pinned to processor %d (children inherit it)\n", cpu);
    return true;
}

/** A program folder of its own: a first start removes the other languages' files from it. */
std::string copyOfProgramFolder(const std::string& program, const fs::path& root)
{
    const fs::path source = fs::path(program).parent_path();
    const fs::path copy = freshFolder(root, "program");
    for (const auto& entry : fs::directory_iterator(source)) {
        const std::string ext = entry.path().extension().string();
        // The program, its language modules and unit files, and the small program that tries a module.
        if (entry.path() == fs::path(program) || ext == ".so" || ext == ".dat" ||
            entry.path().filename() == "quantaro-trymodule") {
            fs::copy_file(entry.path(), copy / entry.path().filename());
        }
    }
    return (copy / fs::path(program).filename()).string();
}

struct Series
{
    std::string name;
    std::string program;
    std::vector<Sample> samples;
};

void report(const char* title, const std::vector<Series>& runs, const Series& yardstick, bool targets)
{
    std::printf("\n%s\n", title);
    std::printf("  %-10s %8s %9s %10s %12s %7s\n", "", "median", "peak", "time ratio", "memory ratio", "failed");
    {
        std::vector<double> times;
        std::vector<double> peaks;
        int failed = 0;
        for (const Sample& s : yardstick.samples) {
            failed += s.ok ? 0 : 1;
            if (s.ok) {
                times.push_back(s.milliseconds);
                peaks.push_back(s.peakMib);
            }
        }
        std::printf("  %-10s %5.1f ms %5.1f MiB %10s %12s %7d\n", yardstick.name.c_str(), median(times), median(peaks),
                    "", "", failed);
    }
    for (const Series& series : runs) {
        std::vector<double> times;
        std::vector<double> peaks;
        std::vector<double> timeRatios;
        std::vector<double> memoryRatios;
        int failed = 0;
        for (size_t i = 0; i < series.samples.size() && i < yardstick.samples.size(); ++i) {
            const Sample& s = series.samples[i];
            const Sample& y = yardstick.samples[i];
            if (!s.ok || !y.ok) {
                failed += s.ok ? 0 : 1;
                continue;
            }
            times.push_back(s.milliseconds);
            peaks.push_back(s.peakMib);
            timeRatios.push_back(s.milliseconds / y.milliseconds);
            memoryRatios.push_back(s.peakMib / y.peakMib);
        }
        std::printf("  %-10s %5.1f ms %5.1f MiB %10.2f %12.2f %7d\n", series.name.c_str(), median(times), median(peaks),
                    median(timeRatios), median(memoryRatios), failed);
    }
    if (targets) {
        std::printf("  (medians of the %zu pairwise ratios; targets: time at most %.2f, memory at most %.2f)\n",
                    yardstick.samples.size(), kStartTimeTarget, kStartMemoryTarget);
    }
}

std::vector<std::string> paintEnvironment(const fs::path& config, const fs::path& cache)
{
    return {
        "QT_QPA_PLATFORM=offscreen",          "QUANTARO_EXIT_AFTER_PAINT=1",        "HOME=" + config.string(),
        "XDG_CONFIG_HOME=" + config.string(), "XDG_RUNTIME_DIR=" + config.string(), "XDG_CACHE_HOME=" + cache.string()};
}

void writeSettings(const fs::path& config, const std::string& extra = {})
{
    writeFile(config / "Velmora" / "Quantaro.ini",
              "[Settings]\nNewInstall=0\nLanguageDLLName=quantaro_en.so\n" + extra);
}

} // namespace

int main(int argc, char** argv)
{
    const auto options = parse(argc, argv);
    if (!options || !pinTo(options->cpu)) {
        return 2;
    }
    char pattern[] = "/tmp/quantaro-startup-XXXXXX";
    if (mkdtemp(pattern) == nullptr) {
        std::perror("mkdtemp");
        return 1;
    }
    const fs::path root = pattern;

    std::vector<Series> programs = {{"quantaro", options->program, {}}};
    if (!options->compare.empty()) {
        programs.push_back({"compared", options->compare, {}});
    }
    Series yardstick{"yardstick", options->yardstick, {}};

    const fs::path config = freshFolder(root, "config");
    writeSettings(config);
    if (options->start) {
        // Start: the settings of a chosen language, and whatever the program keeps between runs (its
        // cache) kept, as at every start after the first. The warm-up runs fill it.
        std::vector<fs::path> caches;
        for (const Series& series : programs) {
            caches.push_back(freshFolder(root, "cache"));
            for (int i = 0; i < kWarmUpRuns; ++i) {
                runToPaint(series.program, paintEnvironment(config, caches.back()));
            }
        }
        for (int i = 0; i < kWarmUpRuns; ++i) {
            runToPaint(yardstick.program, paintEnvironment(config, root));
        }
        for (int pair = 0; pair < options->pairs; ++pair) {
            for (size_t p = 0; p < programs.size(); ++p) {
                programs[p].samples.push_back(runToPaint(programs[p].program, paintEnvironment(config, caches[p])));
            }
            yardstick.samples.push_back(runToPaint(yardstick.program, paintEnvironment(config, root)));
        }
        report("start to the painted home window", programs, yardstick, true);
    }

    if (options->first) {
        // First start: no settings and no cache, from a program folder of its own.
        std::vector<Series> firstStarts = programs;
        for (Series& series : firstStarts) {
            series.program = copyOfProgramFolder(series.program, root);
            series.samples.clear();
        }
        yardstick.samples.clear();
        for (int pair = 0; pair < options->pairs; ++pair) {
            for (Series& series : firstStarts) {
                series.samples.push_back(runToPaint(
                    series.program, paintEnvironment(freshFolder(root, "first"), freshFolder(root, "cold"))));
            }
            yardstick.samples.push_back(runToPaint(yardstick.program, paintEnvironment(config, root)));
        }
        report("first start to the painted language window", firstStarts, yardstick, false);
    }

    if (options->connection) {
        // The connection run mode: from its start to its first request. Each run starts with no rates
        // and no update time, so it downloads at once.
        RateServer server;
        if (server.port() == 0) {
            std::perror("loopback server");
            return 1;
        }
        std::printf("\nconnection run mode, start to its first request (median of %d; %.0f ms of it are the mode's "
                    "own pauses)\n",
                    options->connectionRuns, kConnectionPausesMs);
        for (const Series& series : programs) {
            std::vector<double> times;
            int failed = 0;
            for (int run = 0; run < options->connectionRuns; ++run) {
                const fs::path runConfig = freshFolder(root, "connect");
                writeSettings(runConfig, "UpdateServer=http://127.0.0.1:" + std::to_string(server.port()) + "\n");
                std::vector<std::string> env = {"QUANTARO_PEER=present", "HOME=" + runConfig.string(),
                                                "XDG_CONFIG_HOME=" + runConfig.string(),
                                                "XDG_RUNTIME_DIR=" + runConfig.string()};
                const auto start = Clock::now();
                const pid_t pid = spawn(series.program, {"AppRunUpdateConnect"}, env);
                const bool served = pid > 0 && server.serveOne();
                const double ms = sinceMs(start);
                const bool ended = pid > 0 && reap(pid, start).has_value();
                if (served && ended) {
                    times.push_back(ms);
                } else {
                    ++failed;
                }
            }
            const double total = median(times);
            std::printf("  %-10s %7.1f ms, %5.1f ms beyond the pauses (failed %d)\n", series.name.c_str(), total,
                        total - kConnectionPausesMs, failed);
        }
    }
    fs::remove_all(root);
    return 0;
}
