#pragma once

#include "currency/quotedrates.h"

#include <QByteArrayView>
#include <QString>
#include <QStringList>
#include <optional>

namespace quantaro {

/**
 * The open rate source that fills in the currencies the central bank does not publish: the daily
 * "currency-api" files of the exchange-api project, free without an account or a key.
 * The second address is the project's own mirror, asked only when the first gives nothing usable.
 */
inline const QString kOpenRatesUrl =
    QStringLiteral("https://cdn.jsdelivr.net/npm/@fawazahmed0/currency-api@latest/v1/currencies/eur.json");
inline const QString kOpenRatesMirrorUrl =
    QStringLiteral("https://latest.currency-api.pages.dev/v1/currencies/eur.json");

/** The open source's addresses, in the order they are tried. */
QStringList openRatesUrls();

/**
 * Reads the open source's JSON: an object with "date" ("YYYY-MM-DD", the source's own date) and one
 * object named by the base code (lower case) that maps codes to units per one unit of the base.
 * Codes are upper-cased; members whose value is not a JSON number are left out. Nothing when the
 * text is not such an object (not JSON, no base object or two of them, a base that is not three
 * ASCII letters).
 */
std::optional<QuotedRates> readOpenRates(QByteArrayView json);

} // namespace quantaro
