#pragma once

#include "platform/httpclient.h"

namespace quantaro::test {

/** Limits short enough that a stalled test server ends a transfer in a fraction of a second; tests
 *  assert the outcome, never the time it took. */
inline HttpLimits shortHttpLimits(int receiveTimeoutMs, int totalTimeoutMs)
{
    constexpr int kConnectTimeoutMs = 1000;
    HttpLimits limits;
    limits.connectTimeoutMs = kConnectTimeoutMs;
    limits.receiveTimeoutMs = receiveTimeoutMs;
    limits.totalTimeoutMs = totalTimeoutMs;
    return limits;
}

} // namespace quantaro::test
