#pragma once

#include "catalogue/numbertext.h"

#include <QChar>
#include <QString>
#include <QStringView>

namespace quantaro {

class Rubric;
class SettingsStore;

/** The euro: the base of the stored rates, never given a rate of its own. */
inline const QString kEuroCode = QStringLiteral("EUR");
/** In front of a stored rate, says that downloads leave it alone. */
inline constexpr QChar kRateLockMarker = u'-';
/** Significant digits of a rate written for a file or for a person to edit. */
inline constexpr int kRateSignificantDigits = 15;

/**
 * Whether a rate text (without its lock marker) is a rate: a plain decimal number, digits with at
 * most one decimal point and optionally an exponent ("0.92", "1.25e-3"), whose value and reciprocal
 * are both finite and greater than zero. Anything else ("1-1", "0.5+50", "-0.5", "1e999", "0") would
 * rewrite or break the formulas it goes into.
 */
bool isRateNumber(QStringView text);

/**
 * A rate as it is written: plain decimal notation with kRateSignificantDigits significant digits,
 * never an exponent, which an edit in a field of digits and points would mangle.
 */
QString rateText(double rate);

/**
 * A stored rate text (without its lock marker) as a person is shown it to edit: a text of digits
 * and points stays as it is, one in another form that begins with a positive number (an exponent
 * written by an older version or by hand) becomes that number in plain decimal notation, and
 * anything else stays as it is.
 */
QString editableRateText(const QString& stored);

/**
 * A rate as the settings keep it under a currency's code in "Currencies": its text, and whether
 * downloads leave it alone, which the stored text says with kRateLockMarker in front of the rate.
 */
struct StoredRate
{
    /** The rate's text without the marker, as typed or downloaded: whether it is a rate at all is
     *  isRateNumber's to say. */
    QString text;
    bool locked = false;

    /** A stored text read: one marker in front is taken off and locks the rate. */
    static StoredRate parse(const QString& stored);
    /** The rate a currency unit's formula to the base ("$*0.92") was made from, not locked: the
     *  formula's text after its operator. */
    static StoredRate ofFormula(const QString& toBase);
    /** The text the settings keep: the rate, with the marker in front when it is locked. */
    QString stored() const;

    friend bool operator==(const StoredRate&, const StoredRate&) = default;
};

/** The rate stored under a currency's code; an empty text when none is. */
StoredRate storedRate(const SettingsStore& settings, const QString& code);

/**
 * Rewrites the formulas of the currency units from the rates stored under their tags in
 * "Currencies": toBase becomes "$*" + rate, fromBase "$/" + rate, the rate text as stored without
 * its lock marker. A unit whose stored text is absent or, once its marker is taken off, not a rate
 * (isRateNumber) keeps its formulas, and so does the euro, the base; the stored text is left as it is.
 */
void UpdateCurrencyUnits(Rubric& currencies, const SettingsStore& settings);

} // namespace quantaro
