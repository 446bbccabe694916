#pragma once

#include "platform/filewrite.h"

#include <cerrno>
#include <limits>

namespace quantaro::test {

/**
 * Writes as a failing disk does, for as long as it lives: the first `bytesBeforeFailure` bytes
 * reach the file, the next write fails with `error` (ENOSPC: the disk is full); or the flush or the
 * close fails although every write went through.
 */
class FailingWrites final : public WriteCalls
{
public:
    enum class Stage
    {
        Write,
        Flush,
        Close,
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
            errno = m_error;
            return -1;
        }
        const auto allowed = static_cast<size_t>(std::min<qint64>(m_left, static_cast<qint64>(size)));
        const ssize_t written = WriteCalls::write(fd, data, allowed);
        m_left -= written > 0 ? written : 0;
        return written;
    }
    int fsync(int fd) override { return failAt(Stage::Flush, WriteCalls::fsync(fd)); }
    int close(int fd) override { return failAt(Stage::Close, WriteCalls::close(fd)); }

private:
    int failAt(Stage stage, int result)
    {
        if (stage != m_stage) {
            return result;
        }
        errno = m_error;
        return -1;
    }

    Stage m_stage;
    qint64 m_left;
    int m_error;
};

} // namespace quantaro::test
