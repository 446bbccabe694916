#include "platform/curlhttpclient.h"

#include "platform/curlapi.h"

#include <QUrl>
#include <algorithm>
#include <chrono>
#include <memory>

namespace quantaro {

namespace {

using SteadyClock = std::chrono::steady_clock;

constexpr long kMaxRedirects = 5;
// How long one wait for network activity may last before the time-outs are looked at again.
constexpr int kPollSliceMs = 20;
constexpr int kMsPerSecond = 1000;
constexpr char kAllowedProtocols[] = "http,https";
constexpr long kFirstSuccessStatus = 200;
constexpr long kLastSuccessStatus = 299;

bool isSuccessStatus(long status)
{
    return status >= kFirstSuccessStatus && status <= kLastSuccessStatus;
}

bool isHttpUrl(const QString& url)
{
    const QUrl parsed(url, QUrl::StrictMode);
    const QString scheme = parsed.scheme().toLower();
    return parsed.isValid() && (scheme == QLatin1String("http") || scheme == QLatin1String("https")) &&
           !parsed.host().isEmpty();
}

/** What the callbacks share with the transfer loop. */
struct Transfer
{
    const CurlApi* api = nullptr;
    CURL* handle = nullptr;
    bool successStatusOnly = false;
    bool errorStatus = false;
    const HttpClient::BodySink* sink = nullptr;
    int64_t maxBytes = 0;
    int64_t received = 0;
    bool tooLarge = false;
    bool sinkStopped = false;
    bool anyByte = false;
    SteadyClock::time_point lastByte;
};

size_t onBody(char* data, size_t size, size_t count, void* user)
{
    auto* transfer = static_cast<Transfer*>(user);
    const size_t bytes = size * count;
    transfer->anyByte = true;
    transfer->lastByte = SteadyClock::now();
    if (transfer->successStatusOnly) {
        long status = 0;
        transfer->api->easyGetinfo(transfer->handle, CURLINFO_RESPONSE_CODE, &status);
        if (!isSuccessStatus(status)) {
            transfer->errorStatus = true;
            return 0;
        }
    }
    const auto room = static_cast<uint64_t>(transfer->maxBytes - transfer->received);
    // The sink sees the body up to the limit, whichever way the pieces fall, and nothing after it.
    const size_t accepted = static_cast<uint64_t>(bytes) > room ? static_cast<size_t>(room) : bytes;
    transfer->received += static_cast<int64_t>(accepted);
    if (accepted > 0 && *transfer->sink && !(*transfer->sink)(data, accepted)) {
        transfer->sinkStopped = true;
        return 0; // anything but `bytes` makes libcurl end the transfer with an error
    }
    if (accepted < bytes) {
        transfer->tooLarge = true;
        return 0;
    }
    return bytes;
}

size_t onHeader(char*, size_t size, size_t count, void* user)
{
    auto* transfer = static_cast<Transfer*>(user);
    transfer->anyByte = true;
    transfer->lastByte = SteadyClock::now();
    return size * count;
}

struct EasyDeleter
{
    const CurlApi* api;
    void operator()(CURL* easy) const { api->easyCleanup(easy); }
};
struct MultiDeleter
{
    const CurlApi* api;
    void operator()(CURLM* multi) const { api->multiCleanup(multi); }
};

} // namespace

CurlHttpClient::CurlHttpClient(QString userAgent) : m_userAgent(std::move(userAgent)) {}

HttpResult CurlHttpClient::get(const QString& url, const BodySink& sink, const HttpLimits& limits)
{
    HttpResult result;
    if (!isHttpUrl(url)) {
        result.outcome = HttpOutcome::BadUrl;
        return result;
    }
    const CurlApi* api = CurlApi::get();
    if (api == nullptr) {
        return result;
    }
    std::unique_ptr<CURL, EasyDeleter> easy(api->easyInit(), EasyDeleter{api});
    std::unique_ptr<CURLM, MultiDeleter> multi(api->multiInit(), MultiDeleter{api});
    if (!easy || !multi) {
        return result;
    }

    Transfer transfer;
    transfer.api = api;
    transfer.handle = easy.get();
    transfer.successStatusOnly = limits.successStatusOnly;
    transfer.sink = &sink;
    transfer.maxBytes = std::max<int64_t>(limits.maxBodyBytes, 0);

    const QByteArray urlBytes = url.toUtf8();
    const QByteArray agent = m_userAgent.toUtf8();
    CURL* handle = easy.get();
    api->easySetopt(handle, CURLOPT_URL, urlBytes.constData());
    api->easySetopt(handle, CURLOPT_USERAGENT, agent.constData());
    api->easySetopt(handle, CURLOPT_NOSIGNAL, 1L);
    api->easySetopt(handle, CURLOPT_PROXY, ""); // direct access, whatever the environment says
    api->easySetopt(handle, CURLOPT_PROTOCOLS_STR, kAllowedProtocols);
    api->easySetopt(handle, CURLOPT_REDIR_PROTOCOLS_STR, kAllowedProtocols);
    api->easySetopt(handle, CURLOPT_FOLLOWLOCATION, 1L);
    api->easySetopt(handle, CURLOPT_MAXREDIRS, kMaxRedirects);
    api->easySetopt(handle, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(limits.connectTimeoutMs));
    api->easySetopt(handle, CURLOPT_TIMEOUT_MS, static_cast<long>(limits.totalTimeoutMs));
    // libcurl's own stall detection works in whole seconds; the loop below enforces the exact limit.
    api->easySetopt(handle, CURLOPT_LOW_SPEED_LIMIT, 1L);
    api->easySetopt(handle, CURLOPT_LOW_SPEED_TIME,
                    static_cast<long>(std::max(1, (limits.receiveTimeoutMs + kMsPerSecond - 1) / kMsPerSecond)));
    api->easySetopt(handle, CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(transfer.maxBytes));
    api->easySetopt(handle, CURLOPT_WRITEFUNCTION, onBody);
    api->easySetopt(handle, CURLOPT_WRITEDATA, &transfer);
    api->easySetopt(handle, CURLOPT_HEADERFUNCTION, onHeader);
    api->easySetopt(handle, CURLOPT_HEADERDATA, &transfer);

    if (api->multiAddHandle(multi.get(), handle) != CURLM_OK) {
        return result;
    }

    const auto receiveLimit = std::chrono::milliseconds(limits.receiveTimeoutMs);
    transfer.lastByte = SteadyClock::now();
    bool connected = false;
    bool finished = false;
    bool stalled = false;
    CURLcode code = CURLE_OK;
    for (;;) {
        int running = 0;
        if (api->multiPerform(multi.get(), &running) != CURLM_OK) {
            code = CURLE_RECV_ERROR;
            break;
        }
        int queued = 0;
        while (CURLMsg* message = api->multiInfoRead(multi.get(), &queued)) {
            if (message->msg == CURLMSG_DONE) {
                finished = true;
                code = message->data.result;
            }
        }
        if (finished || running == 0) {
            break;
        }
        // The receive time-out starts once the connection stands; until then the connect time-out rules.
        if (!connected) {
            curl_off_t connectTime = 0;
            api->easyGetinfo(handle, CURLINFO_CONNECT_TIME_T, &connectTime);
            if (connectTime > 0 || transfer.anyByte) {
                connected = true;
                transfer.lastByte = std::max(transfer.lastByte, SteadyClock::now());
            }
        } else if (SteadyClock::now() - transfer.lastByte >= receiveLimit) {
            stalled = true;
            break;
        }
        api->multiPoll(multi.get(), nullptr, 0, kPollSliceMs, nullptr);
    }

    long status = 0;
    api->easyGetinfo(handle, CURLINFO_RESPONSE_CODE, &status);
    result.status = status;
    api->multiRemoveHandle(multi.get(), handle);

    if (transfer.errorStatus ||
        (limits.successStatusOnly && finished && code == CURLE_OK && !isSuccessStatus(status))) {
        result.outcome = HttpOutcome::ErrorStatus;
    } else if (transfer.tooLarge || code == CURLE_FILESIZE_EXCEEDED) {
        result.outcome = HttpOutcome::TooLarge;
    } else if (transfer.sinkStopped) {
        result.outcome = HttpOutcome::SinkStopped;
    } else if (!stalled && finished && code == CURLE_OK) {
        result.outcome = HttpOutcome::Complete;
    } else {
        result.outcome = HttpOutcome::Failed;
    }
    return result;
}

} // namespace quantaro
