#pragma once

#include "platform/httpclient.h"

namespace quantaro {

/**
 * HttpClient over libcurl: direct access without a proxy, http and https only (redirects too), a
 * connect time-out, a receive time-out measured as time without a single byte, an overall limit
 * and a bound on the body size.
 */
class CurlHttpClient final : public HttpClient
{
public:
    /** userAgent is sent with every request. */
    explicit CurlHttpClient(QString userAgent);

    HttpResult get(const QString& url, const BodySink& sink, const HttpLimits& limits) override;

private:
    QString m_userAgent;
};

} // namespace quantaro
