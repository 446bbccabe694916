#pragma once

#include <QDate>
#include <QString>
#include <QStringList>
#include <optional>

namespace quantaro {

class Rubric;
class SettingsStore;

/** The day of the rates the unit file's currency formulas were made from. */
QDate builtInRatesDate();

/** The day as the settings store it: "YYYY-MM-DD". */
QString storedDateText(QDate date);
/** A stored day; invalid when the text is none. */
QDate storedDate(const QString& text);

/** The day (UTC) of seconds since 1970. */
QDate utcDay(int64_t seconds);

/**
 * The day of the rate the currency runs on: the day stored with its downloaded rate; for a rate
 * stored without one (by an older version), the day of the last update; for a currency without a
 * usable stored rate, builtInRatesDate(). Nothing for the euro, which has no rate, and for a locked
 * rate, which the user typed and dates nothing.
 */
std::optional<QDate> rateDate(const SettingsStore& settings, const QString& code);

/**
 * How many days old the older of the rates of two currencies is on today, when it is older than
 * kMaxRateAgeDays; nothing otherwise.
 */
std::optional<int> staleRateDays(const SettingsStore& settings, const QString& fromCode, const QString& toCode,
                                 QDate today);

/** For the pair line of a currency pair: the format with its "%N%" replaced by the age of the
 *  older rate, when that is stale; empty otherwise, and for a rubric of other units. */
QString staleRateNote(const Rubric& rubric, int from, int to, const SettingsStore* settings, QDate today,
                      const QString& format);

/**
 * The sources of the stored rates in plain English for a terminal, one line each: the day of the
 * central bank's and of the open source's rates and what became of the last try of each, or the
 * publisher's server when one is set.
 */
QStringList rateSourceLines(const SettingsStore& settings);

/** The marker of the stale note's format that the number of days replaces. */
inline const QString kDaysMarker = QStringLiteral("%N%");
/** The module's string of the stale note ("rate %N% days old"); %N% is always above 7, a plural. */
inline constexpr int kStaleRateString = 1043;
/** Between the pair and its note. */
inline const QString kPairNoteSeparator = QStringLiteral(" · ");

/** The pair line's note of a currency pair on the machine's day (UTC): the separator and the stale
 *  note, or nothing. */
QString pairRateNote(const Rubric& rubric, int from, int to, const SettingsStore* settings, const QString& format);

} // namespace quantaro
