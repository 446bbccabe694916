#include "app/moduletrial.h"

#include "app/languagemodule.h"
#include "platform/filewrite.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QStringList>
#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <map>
#include <mutex>
#include <optional>
#include <poll.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <tuple>
#include <unistd.h>

namespace quantaro {

namespace {

/** Long enough for a module on a slow memory card; a child that takes longer counts as hung. */
constexpr int kTrialTimeoutMs = 5000;
/** The small program that tries a module, in the program folder. */
const QString kTrialProgram = QStringLiteral("/quantaro-trymodule");
constexpr int kMostRememberedModules = 64;
constexpr qint64 kLongestVerdictLine = 128;
constexpr qint64 kNanosecondsPerSecond = 1000000000;
constexpr int kVerdictFields = 6;
const QString kModuleVerdictFile = QStringLiteral("/Velmora/Quantaro/modules");

/** What tells one module file from another and from its own earlier contents. */
struct FileIdentity
{
    quint64 device = 0;
    quint64 inode = 0;
    qint64 size = 0;
    qint64 modified = 0; ///< nanoseconds since 1970
    qint64 changed = 0;  ///< nanoseconds since 1970: no copy or touch sets it back

    auto tied() const { return std::tie(device, inode, size, modified, changed); }
    bool operator<(const FileIdentity& other) const { return tied() < other.tied(); }
};

qint64 nanoseconds(const timespec& time)
{
    return static_cast<qint64>(time.tv_sec) * kNanosecondsPerSecond + time.tv_nsec;
}

std::optional<FileIdentity> identityOf(const QByteArray& path)
{
    struct stat info = {};
    if (::stat(path.constData(), &info) != 0 || !S_ISREG(info.st_mode)) {
        return std::nullopt;
    }
    return FileIdentity{static_cast<quint64>(info.st_dev), static_cast<quint64>(info.st_ino),
                        static_cast<qint64>(info.st_size), nanoseconds(info.st_mtim), nanoseconds(info.st_ctim)};
}

std::mutex g_verdictsMutex;
std::map<FileIdentity, bool> g_verdicts;

QString verdictFile()
{
    const QString base = QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation);
    return base.isEmpty() ? QString() : base + kModuleVerdictFile;
}

QString lineOf(const FileIdentity& id, bool survived)
{
    return QStringLiteral("%1 %2 %3 %4 %5 %6")
        .arg(id.device)
        .arg(id.inode)
        .arg(id.size)
        .arg(id.modified)
        .arg(id.changed)
        .arg(survived ? 1 : 0);
}

std::optional<std::pair<FileIdentity, bool>> parseLine(const QByteArray& line)
{
    const QList<QByteArray> fields = line.trimmed().split(' ');
    if (fields.size() != kVerdictFields || (fields[5] != "0" && fields[5] != "1")) {
        return std::nullopt;
    }
    bool ok[kVerdictFields - 1] = {};
    const FileIdentity id{fields[0].toULongLong(&ok[0]), fields[1].toULongLong(&ok[1]), fields[2].toLongLong(&ok[2]),
                          fields[3].toLongLong(&ok[3]), fields[4].toLongLong(&ok[4])};
    if (!std::all_of(std::begin(ok), std::end(ok), [](bool b) { return b; })) {
        return std::nullopt;
    }
    return std::make_pair(id, fields[5] == "1");
}

/** The remembered verdicts in file order, oldest first; none when the file is no regular file. */
std::vector<std::pair<FileIdentity, bool>> readVerdicts(const QString& file)
{
    std::vector<std::pair<FileIdentity, bool>> verdicts;
    // Opened without waiting: a pipe put in the file's place must not stop the program.
    const int fd = ::open(QFile::encodeName(file).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        return verdicts;
    }
    struct stat info = {};
    QFile reader;
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || !reader.open(fd, QIODevice::ReadOnly)) {
        ::close(fd);
        return verdicts;
    }
    const QByteArray bytes = reader.read(kMostRememberedModules * kLongestVerdictLine);
    reader.close();
    ::close(fd);
    for (const QByteArray& line : bytes.split('\n')) {
        if (const auto verdict = parseLine(line)) {
            verdicts.push_back(*verdict);
        }
    }
    return verdicts;
}

std::optional<bool> rememberedVerdict(const FileIdentity& id)
{
    const QString file = verdictFile();
    if (file.isEmpty()) {
        return std::nullopt;
    }
    std::optional<bool> verdict;
    for (const auto& [known, survived] : readVerdicts(file)) {
        if (!(known < id) && !(id < known)) {
            verdict = survived;
        }
    }
    return verdict;
}

void rememberVerdict(const FileIdentity& id, bool survived)
{
    const QString file = verdictFile();
    if (file.isEmpty() || !QDir().mkpath(QFileInfo(file).absolutePath())) {
        return;
    }
    std::vector<std::pair<FileIdentity, bool>> verdicts = readVerdicts(file);
    verdicts.emplace_back(id, survived);
    QStringList lines;
    const size_t first =
        verdicts.size() > size_t{kMostRememberedModules} ? verdicts.size() - kMostRememberedModules : 0;
    for (size_t i = first; i < verdicts.size(); ++i) {
        lines << lineOf(verdicts[i].first, verdicts[i].second);
    }
    // Only a cache: when it cannot be written, the next start tries the module again.
    (void)replaceFile(file, (lines.join(QLatin1Char('\n')) + QLatin1Char('\n')).toLatin1(), FileDurability::Disposable);
}

/** The small trial program beside the running one, or empty where there is none (a test's own
 *  executable): the parent then tries the module in a copy of itself. */
QByteArray trialProgram()
{
    const QString dir = QCoreApplication::instance() != nullptr ? QCoreApplication::applicationDirPath() : QString();
    const QByteArray program = dir.isEmpty() ? QByteArray() : QFile::encodeName(dir + kTrialProgram);
    return !program.isEmpty() && ::access(program.constData(), X_OK) == 0 ? program : QByteArray();
}

/** Starts the trial of path with its answer on answer; the child's id, or -1. */
pid_t startTrial(const QByteArray& path, int answer)
{
    const QByteArray program = trialProgram();
    if (!program.isEmpty()) {
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, answer, STDOUT_FILENO);
        char* const arguments[] = {const_cast<char*>(program.constData()), const_cast<char*>(path.constData()),
                                   nullptr};
        pid_t child = -1;
        const int failed = ::posix_spawn(&child, program.constData(), &actions, nullptr, arguments, environ);
        posix_spawn_file_actions_destroy(&actions);
        return failed == 0 ? child : -1;
    }
    const pid_t child = ::fork();
    if (child == 0) {
        tryModuleAndExit(path.constData(), answer);
    }
    return child;
}

/** The child's verdict; nothing when it did not end in time. */
std::optional<bool> trialInChild(const QByteArray& path)
{
    int pipeEnds[2] = {-1, -1};
    if (::pipe2(pipeEnds, O_CLOEXEC) != 0) {
        return std::nullopt;
    }
    const pid_t child = startTrial(path, pipeEnds[1]);
    ::close(pipeEnds[1]);
    if (child < 0) {
        ::close(pipeEnds[0]);
        return std::nullopt;
    }
    // The pipe ends when the child does, crashed or not: no polling of its state.
    pollfd wait = {pipeEnds[0], POLLIN, 0};
    int ready = 0;
    do {
        ready = ::poll(&wait, 1, kTrialTimeoutMs);
    } while (ready < 0 && errno == EINTR);
    char answer = 0;
    const bool answered = ready > 0 && ::read(pipeEnds[0], &answer, 1) == 1;
    ::close(pipeEnds[0]);
    if (ready == 0) {
        ::kill(child, SIGKILL);
    }
    int status = 0;
    while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    if (ready == 0) {
        return std::nullopt;
    }
    return answered && answer == kModuleSurvived && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

} // namespace

bool moduleSurvivesTrial(const QString& path)
{
    const QByteArray native = QFile::encodeName(QFileInfo(path).absoluteFilePath());
    const std::optional<FileIdentity> id = identityOf(native);
    if (!id) {
        return false;
    }
    const std::lock_guard<std::mutex> guard(g_verdictsMutex);
    if (const auto known = g_verdicts.find(*id); known != g_verdicts.end()) {
        return known->second;
    }
    std::optional<bool> verdict = rememberedVerdict(*id);
    if (!verdict) {
        verdict = trialInChild(native);
        if (!verdict) {
            return false;
        }
        rememberVerdict(*id, *verdict);
    }
    g_verdicts[*id] = *verdict;
    return *verdict;
}

void forgetModuleVerdicts()
{
    const std::lock_guard<std::mutex> guard(g_verdictsMutex);
    g_verdicts.clear();
}

} // namespace quantaro
