#include "currency/ratedownloader.h"

#include "app/settingsstore.h"
#include "app/updateserver.h"
#include "currency/ecbrates.h"
#include "currency/ratefilereader.h"
#include "platform/clock.h"

#include <QByteArray>
#include <QtEndian>

namespace quantaro {

namespace {

constexpr int kTimeStampBytes = 8;

} // namespace

std::optional<RateSource> rateSourceFor(const SettingsStore& settings)
{
    const std::optional<QString> base = updateServerBase(settings);
    if (!base) {
        return std::nullopt;
    }
    if (base->isEmpty()) {
        return RateSource{kEcbDailyRatesUrl, RateFormat::EcbXml};
    }
    return RateSource{*base + kRateFilePath, RateFormat::RateFile};
}

bool storeLastCurrencyUpdate(SettingsStore& settings, int64_t seconds)
{
    QByteArray bytes(kTimeStampBytes, '\0');
    qToLittleEndian<qint64>(seconds, bytes.data());
    return settings.putBinary(settings::kSettings, settings::kLastCurrencyUpdate, bytes);
}

RateDownloader::RateDownloader(SettingsStore& settings, HttpClient& http, const Clock& clock, HttpLimits limits)
    : m_settings(settings), m_http(http), m_clock(clock), m_limits(limits)
{
    // An error page (404, 500, a proxy's refusal) is not a rate file: reading it would store its
    // fields as rates and record a successful update, so the next automatic try would wait hours.
    m_limits.successStatusOnly = true;
}

bool RateDownloader::download()
{
    const std::optional<RateSource> source = rateSourceFor(m_settings);
    return source && download(*source);
}

bool RateDownloader::download(const RateSource& source)
{
    // Rates that could not be stored make a failed download, and so does its time: the connection
    // run tries again, and the next automatic update is not put off by rates that are not there.
    const bool ok = source.format == RateFormat::EcbXml ? downloadEcbRates(source.url) : downloadRateFile(source.url);
    return ok && markUpdated();
}

bool RateDownloader::downloadRateFile(const QString& url)
{
    RateFileReader reader(m_settings);
    const HttpResult result = m_http.get(
        url,
        [&reader](const char* data, std::size_t size) {
            reader.feed(QByteArrayView(data, static_cast<qsizetype>(size)));
            return true;
        },
        m_limits);
    // An answer other than 2xx ends the transfer before any of its body reaches the reader; a broken
    // transfer is a failure too, and then the unfinished last line is dropped.
    if (!result.complete()) {
        return false;
    }
    reader.finish();
    return !reader.storeFailed();
}

bool RateDownloader::downloadEcbRates(const QString& url)
{
    QByteArray body;
    const HttpResult result = m_http.get(
        url,
        [&body](const char* data, std::size_t size) {
            body.append(data, static_cast<qsizetype>(size));
            return true;
        },
        m_limits);
    if (!result.complete()) {
        return false;
    }
    const std::optional<QByteArray> lines = ecbRatesToRateFile(body);
    if (!lines) {
        return false;
    }
    return !storeRateFile(m_settings, *lines).failed;
}

bool RateDownloader::markUpdated()
{
    return storeLastCurrencyUpdate(m_settings, m_clock.now());
}

} // namespace quantaro
