#pragma once

#include <QFile>
#include <QString>

#include <sched.h>
#include <sys/mount.h>

namespace quantaro::test {

/**
 * A small tmpfs mounted over a folder for as long as it lives, in a mount namespace of this
 * thread's own, so nothing outside the test sees it. Needs CAP_SYS_ADMIN (root): why() says what
 * could not be done.
 */
class SmallDisk
{
public:
    SmallDisk(QString path, const QByteArray& size) : m_path(std::move(path))
    {
        const QByteArray native = QFile::encodeName(m_path);
        if (::unshare(CLONE_NEWNS) != 0 || ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0) {
            m_why = QStringLiteral("no private mount namespace here (unshare needs CAP_SYS_ADMIN)");
            return;
        }
        if (::mount("tmpfs", native.constData(), "tmpfs", 0, ("size=" + size).constData()) != 0) {
            m_why = QStringLiteral("no tmpfs can be mounted here");
            return;
        }
        m_mounted = true;
    }
    ~SmallDisk()
    {
        if (m_mounted) {
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
    bool m_mounted = false;
};

} // namespace quantaro::test
