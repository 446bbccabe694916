#pragma once

#include "catalogue/currencyunits.h"

#include <QDate>
#include <QString>
#include <utility>
#include <vector>

namespace quantaro {

/**
 * The rates one source publishes, as it publishes them: how many units of each currency one unit
 * of its base buys, in the order the source lists them, with the source's own date.
 */
struct QuotedRates
{
    /** The day the source says its rates are of; invalid when it gave none. */
    QDate date;
    /** Upper-case code of the currency the quotes are relative to. */
    QString base = kEuroCode;
    /** Code and units of it per one unit of the base. Values may be anything the source sent. */
    std::vector<std::pair<QString, double>> quotes;
};

} // namespace quantaro
