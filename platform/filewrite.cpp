#include "platform/filewrite.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace quantaro {

namespace {

constexpr int kSuffixLength = 6;
constexpr int kMostNameTries = 100;
/** As many links as the system itself follows in one path. */
constexpr int kMostLinkHops = 40;
constexpr mode_t kNewFileMode = 0666;
constexpr mode_t kPermissionBits = 07777;
const char kSuffixAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
constexpr int kSuffixAlphabetSize = sizeof(kSuffixAlphabet) - 1;
constexpr int64_t kMillisecondsPerSecond = 1000;
constexpr int64_t kNanosecondsPerMillisecond = 1000000;

std::atomic<WriteCalls*> g_installed{nullptr};

QByteArray native(const QString& path)
{
    return QFile::encodeName(path);
}

bool isSuffixCharacter(QChar c)
{
    return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z') || (c >= u'0' && c <= u'9');
}

// A random suffix mixes capitals, small letters and digits; a person's own "Quantaro.ini.backup" or
// "Quantaro.ini.BACKUP" keeps to one kind, and is never taken for a writer's leftover.
bool mixesCharacterKinds(QStringView suffix)
{
    const bool capitals = std::any_of(suffix.begin(), suffix.end(), [](QChar c) { return c >= u'A' && c <= u'Z'; });
    const bool smalls = std::any_of(suffix.begin(), suffix.end(), [](QChar c) { return c >= u'a' && c <= u'z'; });
    const bool digits = std::any_of(suffix.begin(), suffix.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
    return int(capitals) + int(smalls) + int(digits) >= 2;
}

QString randomSuffix()
{
    QString suffix;
    do {
        suffix.clear();
        for (int i = 0; i < kSuffixLength; ++i) {
            suffix += QLatin1Char(kSuffixAlphabet[QRandomGenerator::global()->bounded(kSuffixAlphabetSize)]);
        }
    } while (!mixesCharacterKinds(suffix));
    return suffix;
}

/** A device or pipe takes the bytes as they come; there is no old file to keep. */
WriteOutcome writeInPlace(const QByteArray& path, QByteArrayView bytes)
{
    const int fd = ::open(path.constData(), O_WRONLY | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        return {errno};
    }
    WriteOutcome outcome = writeAll(fd, bytes);
    if (WriteCalls::current().close(fd) != 0 && outcome.ok()) {
        outcome.error = errno;
    }
    return outcome;
}

int64_t milliseconds(const timespec& time)
{
    return static_cast<int64_t>(time.tv_sec) * kMillisecondsPerSecond + time.tv_nsec / kNanosecondsPerMillisecond;
}

/** Readers that judge a file by its size and its time to the millisecond (Qt's settings classes do)
 *  must see every replacement as a change, also two within one millisecond. */
void makeNewerThan(int fd, const struct stat& old)
{
    timespec now = {};
    ::clock_gettime(CLOCK_REALTIME, &now);
    const int64_t oldTime = milliseconds(old.st_mtim);
    if (milliseconds(now) > oldTime) {
        return;
    }
    const int64_t newTime = oldTime + 1;
    const timespec times[2] = {{0, UTIME_OMIT},
                               {static_cast<time_t>(newTime / kMillisecondsPerSecond),
                                static_cast<long>(newTime % kMillisecondsPerSecond * kNanosecondsPerMillisecond)}};
    (void)::futimens(fd, times);
}

/**
 * The owner and group the new file must have: the old file's, so that a save run as root (sudo) does
 * not hand a user's file to root; a new file of root's in another user's folder goes to that user.
 * Nothing when the new file may keep the writer's own.
 */
std::optional<std::pair<uid_t, gid_t>> ownerToKeep(const struct stat* old, const QString& folder)
{
    if (old != nullptr) {
        if (old->st_uid == ::geteuid() && old->st_gid == ::getegid()) {
            return std::nullopt;
        }
        return std::make_pair(old->st_uid, old->st_gid);
    }
    struct stat parent = {};
    if (::geteuid() != 0 || ::stat(native(folder).constData(), &parent) != 0 || parent.st_uid == 0) {
        return std::nullopt;
    }
    return std::make_pair(parent.st_uid, parent.st_gid);
}

/** Writes and flushes the new file, with the old one's permissions and owner; the descriptor stays open. */
WriteOutcome fillNewFile(int fd, QByteArrayView bytes, const struct stat* old, const QString& folder,
                         FileDurability durability)
{
    if (old != nullptr) {
        // Best effort, as a copy would do: the contents matter more than the mode.
        (void)::fchmod(fd, old->st_mode & kPermissionBits);
    }
    if (const auto owner = ownerToKeep(old, folder); owner && ::fchown(fd, owner->first, owner->second) != 0) {
        // Only the group may stay the writer's own: a file of another user is never taken over.
        if (old == nullptr || old->st_uid != ::geteuid()) {
            return {errno};
        }
    }
    WriteOutcome outcome = writeAll(fd, bytes);
    if (outcome.ok() && old != nullptr) {
        makeNewerThan(fd, *old);
    }
    // A file system without a flush for this file answers EINVAL; it has nothing to lose.
    if (outcome.ok() && durability == FileDurability::Flushed && WriteCalls::current().fsync(fd) != 0 &&
        errno != EINVAL) {
        outcome.error = errno;
    }
    return outcome;
}

/** Closes the new file, and removes it when it or its writing failed. */
WriteOutcome closeNewFile(int fd, const QByteArray& newPath, WriteOutcome outcome)
{
    if (WriteCalls::current().close(fd) != 0 && outcome.ok()) {
        outcome.error = errno;
    }
    if (!outcome.ok() && !newPath.isEmpty()) {
        ::unlink(newPath.constData());
    }
    return outcome;
}

/**
 * A name beside the target for a whole unnamed file, for the moment between its naming and the
 * rename over the target: a process killed while it writes leaves nothing in the folder. Empty when
 * it cannot be named (no /proc).
 */
QByteArray nameUnnamedFile(int fd, const QString& target)
{
    const QByteArray procPath = QByteArrayLiteral("/proc/self/fd/") + QByteArray::number(fd);
    for (int attempt = 0; attempt < kMostNameTries; ++attempt) {
        const QByteArray newPath = native(target + QLatin1Char('.') + randomSuffix());
        if (::linkat(AT_FDCWD, procPath.constData(), AT_FDCWD, newPath.constData(), AT_SYMLINK_FOLLOW) == 0) {
            return newPath;
        }
        if (errno != EEXIST) {
            break;
        }
    }
    return {};
}

void flushFolder(const QString& folder)
{
    const int fd = ::open(native(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        // The new file is in place whatever this answers; it only hurries it to the disk.
        (void)::fsync(fd);
        ::close(fd);
    }
}

/** Renames the whole new file over the target, or removes it when that fails. */
WriteOutcome publish(const QByteArray& newPath, const QByteArray& targetName, const QString& folder,
                     FileDurability durability)
{
    if (::rename(newPath.constData(), targetName.constData()) != 0) {
        const int error = errno;
        ::unlink(newPath.constData());
        return {error};
    }
    if (durability == FileDurability::Flushed) {
        flushFolder(folder);
    }
    return {};
}

} // namespace

ssize_t WriteCalls::write(int fd, const void* data, size_t size)
{
    return ::write(fd, data, size);
}

int WriteCalls::fsync(int fd)
{
    return ::fsync(fd);
}

int WriteCalls::close(int fd)
{
    return ::close(fd);
}

WriteCalls& WriteCalls::current()
{
    static WriteCalls system;
    WriteCalls* installed = g_installed.load();
    return installed != nullptr ? *installed : system;
}

void WriteCalls::install(WriteCalls* calls)
{
    g_installed.store(calls);
}

WriteOutcome writeAll(int fd, QByteArrayView bytes)
{
    WriteCalls& calls = WriteCalls::current();
    const char* data = bytes.data();
    auto left = static_cast<size_t>(bytes.size());
    while (left > 0) {
        const ssize_t written = calls.write(fd, data, left);
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            return {errno};
        }
        if (written == 0) {
            return {EIO};
        }
        data += written;
        left -= static_cast<size_t>(written);
    }
    return {};
}

WriteOutcome replaceFile(const QString& path, QByteArrayView bytes, FileDurability durability)
{
    const bool cache = durability == FileDurability::Disposable;
    const QFileInfo link(path);
    QString target = link.isSymLink() && link.exists() && !cache ? link.canonicalFilePath() : link.absoluteFilePath();
    // A link to a file not yet there (a settings file kept in a synced folder) is kept: its target is
    // made, as a new file is, instead of the link being replaced by a file.
    for (int hop = 0; !cache && hop < kMostLinkHops && QFileInfo(target).isSymLink() && !QFileInfo::exists(target);
         ++hop) {
        target = QFileInfo(target).symLinkTarget();
    }
    if (!cache && QFileInfo(target).isSymLink() && !QFileInfo::exists(target)) {
        return {ELOOP};
    }
    const QByteArray targetName = native(target);

    // A cache's place holds only what the cache wrote: a link there is not followed (the cache would
    // write wherever it points), and a pipe would hold the program until someone read it. Either is
    // replaced like a damaged file.
    struct stat old = {};
    const bool exists = (cache ? ::lstat(targetName.constData(), &old) : ::stat(targetName.constData(), &old)) == 0;
    const bool regular = exists && S_ISREG(old.st_mode);
    if (exists && !regular && !cache) {
        return writeInPlace(targetName, bytes);
    }
    // A file this user may not write stays as it is, even where the folder would let it be replaced.
    if (regular && ::access(targetName.constData(), W_OK) != 0) {
        return {errno};
    }

    const QString folder = QFileInfo(target).absolutePath();
    const struct stat* keep = regular ? &old : nullptr;
    // An unnamed file first: only a whole file ever gets a name in the folder.
    if (const int fd = ::open(native(folder).constData(), O_TMPFILE | O_WRONLY | O_CLOEXEC, kNewFileMode); fd >= 0) {
        if (const WriteOutcome filled = fillNewFile(fd, bytes, keep, folder, durability); !filled.ok()) {
            return closeNewFile(fd, {}, filled);
        }
        const QByteArray newPath = nameUnnamedFile(fd, target);
        if (!newPath.isEmpty()) {
            if (const WriteOutcome closed = closeNewFile(fd, newPath, {}); !closed.ok()) {
                return closed;
            }
            return publish(newPath, targetName, folder, durability);
        }
        // No /proc to name it by: written again as a named file.
        (void)WriteCalls::current().close(fd);
    }
    for (int attempt = 0; attempt < kMostNameTries; ++attempt) {
        const QByteArray newPath = native(target + QLatin1Char('.') + randomSuffix());
        const int fd = ::open(newPath.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, kNewFileMode);
        if (fd < 0) {
            if (errno == EEXIST) {
                continue;
            }
            return {errno};
        }
        if (const WriteOutcome filled = closeNewFile(fd, newPath, fillNewFile(fd, bytes, keep, folder, durability));
            !filled.ok()) {
            return filled;
        }
        return publish(newPath, targetName, folder, durability);
    }
    return {EEXIST};
}

bool isReplacementName(const QString& target, const QString& name)
{
    const QString base = QFileInfo(target).fileName() + QLatin1Char('.');
    if (name.size() != base.size() + kSuffixLength || !name.startsWith(base)) {
        return false;
    }
    const QStringView suffix = QStringView(name).sliced(base.size());
    return std::all_of(suffix.begin(), suffix.end(), isSuffixCharacter) && mixesCharacterKinds(suffix);
}

QString errorText(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

} // namespace quantaro
