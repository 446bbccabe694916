#pragma once

#include "platform/clock.h"

#include <cstdint>
#include <functional>
#include <vector>

namespace quantaro::test {

/** A clock whose sleeps advance time at once. Keeps milliseconds so short sleeps add up. */
class VirtualClock final : public Clock
{
public:
    explicit VirtualClock(int64_t startSeconds = 1'700'000'000) : m_ms(startSeconds * 1000) {}

    int64_t now() const override { return m_ms / 1000; }
    void sleepMs(int milliseconds) override
    {
        m_ms += milliseconds;
        sleeps.push_back(milliseconds);
    }
    void pumpOneMessage() override { ++pumps; }

    void advanceSeconds(int64_t seconds) { m_ms += seconds * 1000; }
    int64_t nowMs() const { return m_ms; }

    std::vector<int> sleeps;
    int pumps = 0;

private:
    int64_t m_ms;
};

} // namespace quantaro::test
