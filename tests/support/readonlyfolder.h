#pragma once

#include <QDir>
#include <QFile>
#include <QString>

#include <sched.h>
#include <sys/mount.h>

namespace quantaro::test {

/** Puts this thread into a mount namespace of its own: empty when done, else why not. */
inline QString enterPrivateMountNamespace()
{
    if (::unshare(CLONE_NEWNS) != 0 || ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0) {
        return QStringLiteral("no private mount namespace here (unshare needs CAP_SYS_ADMIN)");
    }
    return {};
}

/**
 * Makes a folder unwritable for as long as it lives, for root too: its permissions first, and
 * where the user still writes (root), a read-only bind mount of the folder in a mount namespace of
 * this thread's own, so nothing outside the test sees it. why() says what could not be done.
 */
class ReadOnlyFolder
{
public:
    explicit ReadOnlyFolder(QString path) : m_path(std::move(path))
    {
        QFile::setPermissions(m_path, QFile::ReadOwner | QFile::ExeOwner);
        if (!writable()) {
            return;
        }
        const QByteArray native = QFile::encodeName(m_path);
        m_why = enterPrivateMountNamespace();
        if (!m_why.isEmpty()) {
            return;
        }
        if (::mount(native.constData(), native.constData(), nullptr, MS_BIND, nullptr) != 0) {
            m_why = QStringLiteral("the folder cannot be bound onto itself");
            return;
        }
        m_mounted = true;
        if (::mount(nullptr, native.constData(), nullptr, MS_REMOUNT | MS_BIND | MS_RDONLY, nullptr) != 0 ||
            writable()) {
            m_why = QStringLiteral("the bind mount cannot be made read-only");
        }
    }
    ~ReadOnlyFolder()
    {
        if (m_mounted) {
            ::umount2(QFile::encodeName(m_path).constData(), MNT_DETACH);
        }
        QFile::setPermissions(m_path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    ReadOnlyFolder(const ReadOnlyFolder&) = delete;
    ReadOnlyFolder& operator=(const ReadOnlyFolder&) = delete;

    /** Empty when the folder is read-only now; else why it could not be made so. */
    const QString& why() const { return m_why; }

private:
    bool writable() const
    {
        QFile probe(QDir(m_path).filePath(QStringLiteral(".write-probe")));
        if (!probe.open(QIODevice::WriteOnly)) {
            return false;
        }
        probe.close();
        probe.remove();
        return true;
    }

    QString m_path;
    QString m_why;
    bool m_mounted = false;
};

/** A small tmpfs over a folder for as long as it lives, seen by this thread only. */
class SmallDisk
{
public:
    SmallDisk(QString path, const QByteArray& size) : m_path(std::move(path)), m_why(enterPrivateMountNamespace())
    {
        const QByteArray options = "size=" + size;
        if (m_why.isEmpty() &&
            ::mount("tmpfs", QFile::encodeName(m_path).constData(), "tmpfs", 0, options.constData()) != 0) {
            m_why = QStringLiteral("no tmpfs can be mounted here");
        }
    }
    ~SmallDisk()
    {
        if (m_why.isEmpty()) {
            ::umount2(QFile::encodeName(m_path).constData(), MNT_DETACH);
        }
    }
    SmallDisk(const SmallDisk&) = delete;
    SmallDisk& operator=(const SmallDisk&) = delete;

    /** Empty when the disk is mounted; else why it could not be. */
    const QString& why() const { return m_why; }

private:
    QString m_path;
    QString m_why;
};

} // namespace quantaro::test
