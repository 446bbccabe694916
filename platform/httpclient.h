#pragma once

#include <QString>
#include <cstddef>
#include <cstdint>
#include <functional>

namespace quantaro {

/** Bounds of one HTTP transfer. The defaults are those of the program's downloads. */
struct HttpLimits
{
    /** Longest wait for the connection to be made. */
    int connectTimeoutMs = 5000;
    /** Longest time without a single byte from the server once connected. */
    int receiveTimeoutMs = 5000;
    /** Longest whole transfer, so a server that keeps dripping bytes cannot hold us forever. */
    int totalTimeoutMs = 60000;
    /** Largest body accepted; a larger one ends the transfer as a failure. */
    int64_t maxBodyBytes = int64_t{1} << 20;
    /** Whether only a success status (2xx) delivers the body; any other status ends the transfer
     *  as HttpOutcome::ErrorStatus before a byte of its body reaches the sink. */
    bool successStatusOnly = false;
};

/** How a transfer ended. */
enum class HttpOutcome
{
    Complete,    ///< the whole body was received
    BadUrl,      ///< not an http or https address
    Failed,      ///< no connection, time-out, broken transfer, refused redirect
    TooLarge,    ///< the body exceeded HttpLimits::maxBodyBytes
    SinkStopped, ///< the body sink asked to stop
    ErrorStatus, ///< the server answered with a status other than 2xx (with HttpLimits::successStatusOnly)
};

struct HttpResult
{
    HttpOutcome outcome = HttpOutcome::Failed;
    /** The last response's status code, 0 when none was received. Callers decide what it means. */
    long status = 0;

    bool complete() const { return outcome == HttpOutcome::Complete; }
};

/**
 * A blocking HTTP GET whose body is streamed to a sink as it arrives. The call processes no
 * events of the calling thread, so a window that runs it takes no input meanwhile.
 */
class HttpClient
{
public:
    /** Receives the body piece by piece; returns false to stop the transfer. */
    using BodySink = std::function<bool(const char* data, std::size_t size)>;

    virtual ~HttpClient() = default;
    virtual HttpResult get(const QString& url, const BodySink& sink, const HttpLimits& limits) = 0;
};

} // namespace quantaro
