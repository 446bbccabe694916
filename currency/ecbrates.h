#pragma once

#include "currency/quotedrates.h"

#include <QByteArray>
#include <QByteArrayView>
#include <optional>

namespace quantaro {

/**
 * Turns the European Central Bank's daily reference rates (XML whose Cube elements carry a
 * currency and a rate of one euro in that currency) into a rate file: one line "CODE;rate" per
 * currency, rate being the value of one unit of the currency in euros, 1 / the bank's rate,
 * written as rateText writes it (plain decimal, 15 significant digits). Entries with an unusable
 * code or rate, and those whose line would be longer than kRateLineMaxLength, are left out.
 * Nothing when the text is not well-formed XML.
 */
std::optional<QByteArray> ecbRatesToRateFile(QByteArrayView xml);

/**
 * The bank's rates as it publishes them: the base is the euro, the date is the first "time" of a
 * Cube element, and each Cube with a usable code (graphic ASCII without ';', at most 16 characters)
 * and a positive finite rate is a quote. Nothing when the text is not well-formed XML.
 */
std::optional<QuotedRates> readEcbRates(QByteArrayView xml);

} // namespace quantaro
