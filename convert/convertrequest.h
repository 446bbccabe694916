#pragma once

#include <QString>
#include <QStringList>
#include <optional>

namespace quantaro {

/** The option that opens a conversion window at start-up: "--convert CODE [FROM TO VALUE]". */
inline const QString kConvertOption = QStringLiteral("--convert");

/** A conversion window to open once the home window has its catalogue. */
struct ConvertRequest
{
    QString code;  ///< the category
    QString from;  ///< the source unit's whole name, or empty for the category alone
    QString to;    ///< the target unit's whole name
    QString value; ///< the value to put into the input field

    bool operator==(const ConvertRequest&) const = default;
};

/**
 * The request among the program's arguments: "--convert" with a known category code, and either
 * nothing more or the source unit, the target unit and the value. A request that names units but
 * not all three is taken for the category alone; anything longer than a unit name or a query could
 * be is dropped. No "--convert", or an unknown code: none.
 */
std::optional<ConvertRequest> convertRequestOf(const QStringList& arguments);

} // namespace quantaro
