#pragma once

#include "platform/httpclient.h"

#include <QString>
#include <cstdint>
#include <optional>

namespace quantaro {

class Clock;
class SettingsStore;

/** Where the rates come from unless "Settings\UpdateServer" names a server. */
inline const QString kEcbDailyRatesUrl =
    QStringLiteral("https://www.ecb.europa.eu/stats/eurofxref/eurofxref-daily.xml");
/** The rate file's path on a publisher's server. */
inline const QString kRateFilePath = QStringLiteral("/cvf/CurrenciesUpdate.cvf");

/** The text form of a rate source's body. */
enum class RateFormat
{
    RateFile, ///< lines "CODE;rate"
    EcbXml,   ///< the central bank's daily reference rates
};

struct RateSource
{
    QString url;
    RateFormat format = RateFormat::RateFile;
};

/**
 * The source the settings choose: the rate file of the server named by "Settings\UpdateServer"
 * (a base address; a bare host name means http), else the central bank's daily rates. Nothing
 * when that value names an address of another scheme than http or https.
 */
std::optional<RateSource> rateSourceFor(const SettingsStore& settings);

/** Writes LastCurrencyUpdate: 8 bytes, little-endian seconds since 1970; false when it could not be stored. */
bool storeLastCurrencyUpdate(SettingsStore& settings, int64_t seconds);

/**
 * Downloads the exchange rates and stores them in "Currencies", leaving locked rates alone, then
 * records the time in LastCurrencyUpdate. Rate-file lines are stored as they arrive; the time is
 * written only after the whole body was read and every rate of it stored. A rate or time that the
 * settings could not store makes the download a failure, as a broken transfer does: the rates
 * stored before it stay. Blocks the calling thread and processes no events.
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
    bool downloadEcbRates(const QString& url);
    bool markUpdated();

    SettingsStore& m_settings;
    HttpClient& m_http;
    const Clock& m_clock;
    HttpLimits m_limits;
};

} // namespace quantaro
