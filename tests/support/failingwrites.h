#pragma once

#include "platform/filewrite.h"

#include <cerrno>
#include <limits>

namespace quantaro::test {

/** For as long as it lives, files are written as on a failing disk: the write after the first
 *  bytesBeforeFailure bytes fails with `error` (ENOSPC: full), or the flush or the close does. */
class FailingWrites final : public WriteCalls
{
public:
    enum class Stage
    {
        Write,
        Flush,
        Close
    };

    FailingWrites(Stage stage, qint64 bytesBeforeFailure = 0, int error = ENOSPC)
        : m_stage(stage), m_left(stage == Stage::Write ? bytesBeforeFailure : std::numeric_limits<qint64>::max()),
          m_error(error)
    {
        WriteCalls::install(this);
    }
    ~FailingWrites() override { WriteCalls::install(nullptr); }
    FailingWrites(const FailingWrites&) = delete;
    FailingWrites& operator=(const FailingWrites&) = delete;

    ssize_t write(int fd, const void* data, size_t size) override
    {
        if (m_left <= 0) {
            return fail();
        }
        const ssize_t written =
            WriteCalls::write(fd, data, static_cast<size_t>(std::min<qint64>(m_left, qint64(size))));
        m_left -= std::max<ssize_t>(written, 0);
        return written;
    }
    int fsync(int fd) override { return m_stage == Stage::Flush ? fail() : WriteCalls::fsync(fd); }
    int close(int fd) override
    {
        const int closed = WriteCalls::close(fd);
        return m_stage == Stage::Close ? fail() : closed;
    }

private:
    int fail() const
    {
        errno = m_error;
        return -1;
    }

    Stage m_stage;
    qint64 m_left;
    int m_error;
};

} // namespace quantaro::test
