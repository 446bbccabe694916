#pragma once

#include "convert/numbertext.h"

#include <QChar>
#include <QString>
#include <QStringView>

namespace quantaro {

class Rubric;
class SettingsStore;

/** In front of a stored rate, says that downloads leave it alone. */
inline constexpr QChar kRateLockMarker = u'-';
/** Significant digits of a rate written for a file or for a person to edit. */
inline constexpr int kRateSignificantDigits = 15;

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
 * Rewrites the formulas of the currency units from the rates stored under their tags in
 * "Currencies": toBase becomes "$*" + rate, fromBase "$/" + rate, the rate text as stored without
 * its lock marker. A unit whose rate is absent, empty, not a number or 0 keeps its formulas.
 */
void UpdateCurrencyUnits(Rubric& currencies, const SettingsStore& settings);

} // namespace quantaro
