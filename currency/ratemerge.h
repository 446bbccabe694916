#pragma once

#include "currency/quotedrates.h"

#include <QByteArray>
#include <QDate>
#include <QString>
#include <optional>
#include <vector>

namespace quantaro {

/** A source whose own date is more days before today than this contributes nothing. */
inline constexpr int kMaxRateAgeDays = 7;
/** A source's date may lie this many days after the program's day (the publisher's time zone). */
inline constexpr int kMaxSourceDaysAhead = 1;

/** What one source gave to a merge. */
enum class SourceOutcome
{
    Used = 0,   ///< at least one of its rates is in the merge
    Failed = 1, ///< not fetched, not readable, without a usable date or without a usable rate
    Stale = 2,  ///< dated more than kMaxRateAgeDays before today
};

struct SourceReport
{
    SourceOutcome outcome = SourceOutcome::Failed;
    /** The source's own date, when it gave a valid one. */
    QDate date;
    /** How many rates of the merge come from it. */
    int count = 0;

    bool used() const { return outcome == SourceOutcome::Used; }
};

/** One rate of the merge: the value of one unit of the currency in euros, as a rate line writes it. */
struct MergedRate
{
    QString code;
    QString rate;
    QDate date;
};

struct MergedRates
{
    std::vector<MergedRate> rates;
    SourceReport bank;
    SourceReport open;

    /** Whether either source gave anything. */
    bool anyUsed() const { return bank.used() || open.used(); }
    /** The rate file: "CODE;rate;YYYY-MM-DD" a line, the date being the rate's source's own date. */
    QByteArray rateFile() const;
};

/**
 * Merges the central bank's rates (base euro) with the open source's. Every currency the bank
 * publishes takes the bank's rate; the open source fills in the others (three ASCII letters only).
 * When its base is not the euro, its quotes are carried into euros through the base: by the bank's
 * rate of the base when the bank has one, else by the open source's own quote of the euro, and when
 * neither is there the open source gives nothing. A source that is missing (nothing), dated more
 * than kMaxRateAgeDays before today, undated or dated after today + kMaxSourceDaysAhead contributes
 * nothing, and so does any single quote that is not a positive finite number or whose rate would not
 * make a rate line. The euro itself never gets a rate. At most kMostRatesPerFile rates, the bank's first.
 */
MergedRates mergeRates(const std::optional<QuotedRates>& bank, const std::optional<QuotedRates>& open, QDate today);

} // namespace quantaro
