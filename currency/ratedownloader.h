#pragma once

#include "platform/httpclient.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

namespace quantaro {

class Clock;
class SettingsStore;

/** Where the rates come from unless "Settings\UpdateServer" names a server, with the open source. */
inline const QString kEcbDailyRatesUrl =
    QStringLiteral("https://www.ecb.europa.eu/stats/eurofxref/eurofxref-daily.xml");
/** The rate file's path on a publisher's server. */
inline const QString kRateFilePath = QStringLiteral("/cvf/CurrenciesUpdate.cvf");

/** The text form of a rate source's body. */
enum class RateFormat
{
    RateFile,   ///< lines "CODE;rate"
    EcbXml,     ///< the central bank's daily reference rates
    EcbAndOpen, ///< the central bank's rates at url merged with the open source's JSON at openUrls
};

struct RateSource
{
    QString url;
    RateFormat format = RateFormat::RateFile;
    /** For EcbAndOpen: the open source's addresses, each tried only when the one before gave nothing. */
    QStringList openUrls = {};
};

/**
 * The source the settings choose: the rate file of the server named by "Settings\UpdateServer"
 * (a base address; a bare host name means http), else the central bank's daily rates merged with
 * the open source's. Nothing
 * when that value names an address of another scheme than http or https.
 */
std::optional<RateSource> rateSourceFor(const SettingsStore& settings);

/** LastCurrencyUpdate's value for seconds since 1970. */
QByteArray lastUpdateBytes(int64_t seconds);
/** Writes LastCurrencyUpdate: 8 bytes, little-endian seconds since 1970; false when it could not be stored. */
bool storeLastCurrencyUpdate(SettingsStore& settings, int64_t seconds);

/**
 * Downloads the exchange rates and stores them in "Currencies", leaving locked rates alone, then
 * records the time in LastCurrencyUpdate. Rate-file lines are stored as they arrive; the time is
 * written only after the whole body was read and every rate of it stored. A rate or time that the
 * settings could not store makes the download a failure, as a broken transfer does: the rates
 * stored before it stay. Blocks the calling thread and processes no events.
 *
 * From both the bank and the open source, the merge (mergeRates) is stored in one write with each
 * rate's day, each source's day and outcome and the time. A source that fails is no failure while
 * the other gives rates: the store only ever gains or replaces rates, so one source alone never
 * empties or shrinks it. The download fails when neither gives a rate.
 */
class RateDownloader
{
public:
    RateDownloader(SettingsStore& settings, HttpClient& http, const Clock& clock, HttpLimits limits = {});

    /** From the source the settings choose. */
    bool download();
    bool download(const RateSource& source);

private:
    bool downloadRateFile(const QString& url);
    /** Stores the day of each rate a publisher's file stored. */
    bool storeRateFileDays(const std::vector<std::pair<QString, QString>>& codes);
    bool downloadEcbRates(const QString& url);
    bool downloadBankAndOpen(const RateSource& source);
    /** The whole body of a complete 2xx answer; nothing otherwise. */
    std::optional<QByteArray> fetch(const QString& url);
    bool markUpdated();

    SettingsStore& m_settings;
    HttpClient& m_http;
    const Clock& m_clock;
    HttpLimits m_limits;
};

} // namespace quantaro
