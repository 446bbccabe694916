#include "currency/ratedates.h"

#include "app/connectionrunmode.h"
#include "app/placeholderfill.h"
#include "app/settingsstore.h"
#include "app/updateserver.h"
#include "catalogue/currencyunits.h"
#include "catalogue/rubric.h"
#include "catalogue/unitrecord.h"
#include "currency/quotedrates.h"
#include "currency/ratedownloader.h"
#include "currency/ratemerge.h"

#include <QDateTime>
#include <algorithm>

namespace quantaro {

QDate builtInRatesDate()
{
    // The build takes the day from the snapshot table that the unit file's currency formulas are
    // made from (lang/units/currency_rates.tsv).
    constexpr int kYear = QUANTARO_BUILT_IN_RATES_YEAR;
    constexpr int kMonth = QUANTARO_BUILT_IN_RATES_MONTH;
    constexpr int kDay = QUANTARO_BUILT_IN_RATES_DAY;
    return {kYear, kMonth, kDay};
}

QString storedDateText(QDate date)
{
    return date.toString(Qt::ISODate);
}

QDate storedDate(const QString& text)
{
    return QDate::fromString(text, Qt::ISODate);
}

QDate utcDay(int64_t seconds)
{
    return QDateTime::fromSecsSinceEpoch(seconds, Qt::UTC).date();
}

std::optional<QDate> rateDate(const SettingsStore& settings, const QString& code)
{
    if (code == kEuroCode) {
        return std::nullopt;
    }
    const StoredRate stored = storedRate(settings, code);
    if (stored.locked) {
        return std::nullopt;
    }
    if (!isRateNumber(stored.text)) {
        return builtInRatesDate();
    }
    if (const QDate date = storedDate(settings.getString(settings::kCurrencyDates, code)); date.isValid()) {
        return date;
    }
    const int64_t lastUpdate = lastCurrencyUpdate(settings);
    if (lastUpdate > 0) {
        return utcDay(lastUpdate);
    }
    return std::nullopt;
}

std::optional<int> staleRateDays(const SettingsStore& settings, const QString& fromCode, const QString& toCode,
                                 QDate today)
{
    std::optional<int> oldest;
    for (const QString& code : {fromCode, toCode}) {
        const std::optional<QDate> date = rateDate(settings, code);
        if (!date) {
            continue;
        }
        const int days = static_cast<int>(date->daysTo(today));
        if (days > kMaxRateAgeDays) {
            oldest = std::max(oldest.value_or(0), days);
        }
    }
    return oldest;
}

QString staleRateNote(const Rubric& rubric, int from, int to, const SettingsStore* settings, QDate today,
                      const QString& format)
{
    if (settings == nullptr || rubric.code() != rubricCode(kCurrencyRubric) || from < 0 || to < 0 ||
        from >= rubric.unitCount() || to >= rubric.unitCount()) {
        return {};
    }
    const std::optional<int> days = staleRateDays(*settings, rubric.unit(from).tag(), rubric.unit(to).tag(), today);
    if (!days) {
        return {};
    }
    return fillPlaceholders(format, {{kDaysMarker, QString::number(*days)}}, PercentPairs::AsWritten,
                            LaterPlaces::Filled);
}

QStringList rateSourceLines(const SettingsStore& settings)
{
    const std::optional<QString> server = updateServerBase(settings);
    if (server && !server->isEmpty()) {
        return {QStringLiteral("rates: from %1").arg(*server + kRateFilePath)};
    }
    struct Source
    {
        const char* name;
        const QString& date;
        const QString& outcome;
    };
    const Source sources[] = {
        {"European Central Bank", settings::kBankRatesDate, settings::kBankRatesOutcome},
        {"exchange-api (open source)", settings::kOpenRatesDate, settings::kOpenRatesOutcome},
    };
    QStringList lines;
    for (const Source& source : sources) {
        const QDate day = storedDate(settings.getString(settings::kSettings, source.date));
        QString line =
            QStringLiteral("rates: %1 of %2")
                .arg(QLatin1String(source.name), day.isValid() ? storedDateText(day) : QStringLiteral("no day yet"));
        const int32_t outcome =
            settings.getInt(settings::kSettings, source.outcome, static_cast<int32_t>(SourceOutcome::Used));
        if (outcome == static_cast<int32_t>(SourceOutcome::Failed)) {
            line += QStringLiteral(" (last try failed)");
        } else if (outcome == static_cast<int32_t>(SourceOutcome::Stale)) {
            line += QStringLiteral(" (last ones too old, not used)");
        }
        lines += line;
    }
    lines += QStringLiteral("rates: built-in of %1").arg(storedDateText(builtInRatesDate()));
    return lines;
}

QString pairRateNote(const Rubric& rubric, int from, int to, const SettingsStore* settings, const QString& format)
{
    const QString note = staleRateNote(rubric, from, to, settings, QDateTime::currentDateTimeUtc().date(), format);
    return note.isEmpty() ? note : kPairNoteSeparator + note;
}

} // namespace quantaro
