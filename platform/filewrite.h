#pragma once

#include <QByteArrayView>
#include <QString>
#include <cstddef>
#include <sys/types.h>

namespace quantaro {

/** How a write ended: error 0 when every byte reached the disk, else the errno of the first step that failed. */
struct WriteOutcome
{
    int error = 0;

    bool ok() const { return error == 0; }
};

/**
 * The system calls that write files. Tests install others that fail after a number of bytes, at the
 * flush or at the close, as a full or failing disk does.
 */
class WriteCalls
{
public:
    virtual ~WriteCalls() = default;
    virtual ssize_t write(int fd, const void* data, size_t size);
    virtual int fsync(int fd);
    virtual int close(int fd);

    /** The calls in use: the system's unless a test installed its own. */
    static WriteCalls& current();
    /** Installs calls for the whole process; nullptr puts the system's back. */
    static void install(WriteCalls* calls);
};

/** Whether a replaced file is flushed to the disk before it is published. */
enum class FileDurability
{
    Flushed,    ///< what a person keeps: on the disk before the rename
    Disposable, ///< a cache that is made again when lost: a crash may leave the old file or none; a
                ///< link, device or pipe found in its place is replaced, never followed or written into
};

/** Writes every byte to an open descriptor, going on after short writes and interruptions. */
WriteOutcome writeAll(int fd, QByteArrayView bytes);

/**
 * Replaces the file at path so that it is at every moment either wholly the old file or wholly the
 * new one: the bytes go to a new file beside it, every write is checked, the new file is flushed to
 * the disk and closed, and only then renamed over the old one, whose folder is flushed too. The new
 * file has no name while it is written where the file system allows (O_TMPFILE), so a process killed
 * meanwhile leaves nothing behind; it is named (path, a point and six letters or digits) only for
 * the moment before the rename. On any failure the new file is removed and the old one is left byte
 * for byte as it was. The new file keeps the old one's permissions (0666 less the umask when there
 * was none) and its owner and group: a file of another user is not replaced when its owner cannot
 * be kept, and a new file that root makes in another user's folder is that user's. A symbolic link
 * of a Flushed file is followed, so the link stays; a link whose target is missing gets that target
 * made. A path of a Flushed file that names a device or a pipe is written in place: there is no file
 * to keep.
 * Every writer of whole files goes through here; durability says whether the new file and its folder
 * are flushed (settings, rates, registrations) or not (caches).
 */
WriteOutcome replaceFile(const QString& path, QByteArrayView bytes,
                         FileDurability durability = FileDurability::Flushed);

/** Whether a file name is one of the new files that replaceFile, or Qt's own save path, makes beside
 *  the file named target while it writes: target's name, a point and six letters or digits. */
bool isReplacementName(const QString& target, const QString& name);

/** The system's text for an errno value, for messages on standard error. */
QString errorText(int error);

} // namespace quantaro
