#pragma once

#include <QStringView>

namespace quantaro {

class Rubric;
class SettingsStore;

/**
 * The number a stored rate text begins with, read as a C library reads a decimal number: white
 * space, a sign, digits with an optional point and fraction, an optional exponent. 0 when the
 * text does not begin with a number; the rest of the text is ignored.
 */
double leadingNumber(QStringView text);

/**
 * Rewrites the formulas of the currency units from the rates stored under their tags in
 * "Currencies": toBase becomes "$*" + rate, fromBase "$/" + rate, the rate text as stored without
 * its lock marker. A unit whose rate is absent, empty, not a number or 0 keeps its formulas.
 */
void UpdateCurrencyUnits(Rubric& currencies, const SettingsStore& settings);

} // namespace quantaro
