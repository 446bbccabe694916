#pragma once

#include <cstdint>

namespace quantaro {

/** Wall-clock time, blocking sleeps and the one-message pump. Run modes use nothing else to wait,
 *  so tests drive them in virtual time. */
class Clock
{
public:
    virtual ~Clock() = default;
    /** Seconds since 1970-01-01 00:00 UTC. */
    virtual int64_t now() const = 0;
    virtual void sleepMs(int milliseconds) = 0;
    /** Takes at most one pending event of this thread and delivers it. */
    virtual void pumpOneMessage() = 0;
};

/** The real clock of the machine. */
class SystemClock final : public Clock
{
public:
    int64_t now() const override;
    void sleepMs(int milliseconds) override;
    void pumpOneMessage() override;
};

} // namespace quantaro
