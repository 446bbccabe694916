#include "currency/ratedownloader.h"

#include "app/settingsstore.h"
#include "app/updateserver.h"
#include "catalogue/currencyunits.h"
#include "currency/ecbrates.h"
#include "currency/openrates.h"
#include "currency/ratedates.h"
#include "currency/ratefilereader.h"
#include "currency/ratemerge.h"
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
        return RateSource{kEcbDailyRatesUrl, RateFormat::EcbAndOpen, openRatesUrls()};
    }
    return RateSource{*base + kRateFilePath, RateFormat::RateFile};
}

QByteArray lastUpdateBytes(int64_t seconds)
{
    QByteArray bytes(kTimeStampBytes, '\0');
    qToLittleEndian<qint64>(seconds, bytes.data());
    return bytes;
}

bool storeLastCurrencyUpdate(SettingsStore& settings, int64_t seconds)
{
    return settings.putBinary(settings::kSettings, settings::kLastCurrencyUpdate, lastUpdateBytes(seconds));
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
    switch (source.format) {
    case RateFormat::EcbAndOpen:
        // One write stores the rates, their days and the time together.
        return downloadBankAndOpen(source);
    case RateFormat::EcbXml:
        return downloadEcbRates(source.url) && markUpdated();
    case RateFormat::RateFile:
        break;
    }
    return downloadRateFile(source.url) && markUpdated();
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
    return !reader.storeFailed() && storeRateFileDays(reader.storedCodes());
}

bool RateDownloader::storeRateFileDays(const std::vector<std::pair<QString, QString>>& codes)
{
    // A publisher's line may carry the rate's day in its third field; without a plausible one the
    // rate is as new as the download.
    const QDate today = utcDay(m_clock.now());
    SettingsChanges changes;
    for (const auto& [code, field] : codes) {
        QDate day = storedDate(field);
        if (!day.isValid() || day > today.addDays(kMaxSourceDaysAhead)) {
            day = today;
        }
        const QString text = storedDateText(day);
        if (m_settings.getString(settings::kCurrencyDates, code) != text) {
            changes.putString(settings::kCurrencyDates, code, text);
        }
    }
    return changes.isEmpty() || m_settings.write(changes);
}

std::optional<QByteArray> RateDownloader::fetch(const QString& url)
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
        return std::nullopt;
    }
    return body;
}

bool RateDownloader::downloadBankAndOpen(const RateSource& source)
{
    std::optional<QuotedRates> bank;
    if (const std::optional<QByteArray> body = fetch(source.url)) {
        bank = readEcbRates(*body);
    }
    std::optional<QuotedRates> open;
    for (const QString& url : source.openUrls) {
        if (const std::optional<QByteArray> body = fetch(url)) {
            open = readOpenRates(*body);
        }
        if (open) {
            break;
        }
    }
    const QDate today = utcDay(m_clock.now());
    const MergedRates merged = mergeRates(bank, open, today);
    if (!merged.anyUsed()) {
        return false;
    }

    SettingsChanges changes;
    for (const MergedRate& rate : merged.rates) {
        // As for a rate line: a code that cannot be a value name stores nothing, a locked rate stays.
        if (!isAcceptableRateCode(rate.code)) {
            continue;
        }
        const StoredRate stored = storedRate(m_settings, rate.code);
        if (stored.locked) {
            continue;
        }
        if (stored.text != rate.rate) {
            changes.putString(settings::kCurrencies, rate.code, rate.rate);
        }
        const QString day = storedDateText(rate.date);
        if (m_settings.getString(settings::kCurrencyDates, rate.code) != day) {
            changes.putString(settings::kCurrencyDates, rate.code, day);
        }
    }
    const std::pair<const SourceReport&, const QString&> days[] = {{merged.bank, settings::kBankRatesDate},
                                                                   {merged.open, settings::kOpenRatesDate}};
    for (const auto& [report, name] : days) {
        if (report.used()) {
            changes.putString(settings::kSettings, name, storedDateText(report.date));
        }
    }
    changes.putInt(settings::kSettings, settings::kBankRatesOutcome, static_cast<int32_t>(merged.bank.outcome));
    changes.putInt(settings::kSettings, settings::kOpenRatesOutcome, static_cast<int32_t>(merged.open.outcome));
    changes.putBinary(settings::kSettings, settings::kLastCurrencyUpdate, lastUpdateBytes(m_clock.now()));
    return m_settings.write(changes);
}

bool RateDownloader::downloadEcbRates(const QString& url)
{
    const std::optional<QByteArray> body = fetch(url);
    if (!body) {
        return false;
    }
    const std::optional<QByteArray> lines = ecbRatesToRateFile(*body);
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
