#include "about/programinfo.h"

#include "app/placeholderfill.h"

#ifndef QUANTARO_PUBLISHER_URL
#define QUANTARO_PUBLISHER_URL ""
#endif
#ifndef QUANTARO_CONTACT_ADDRESS
#define QUANTARO_CONTACT_ADDRESS ""
#endif

namespace quantaro {

QString publisherWebAddress()
{
    return QStringLiteral(QUANTARO_PUBLISHER_URL);
}

QString contactAddress()
{
    return QStringLiteral(QUANTARO_CONTACT_ADDRESS);
}

QString formatWithOneString(QStringView format, const QString& argument)
{
    return fillPlaceholders(format, {{u"%s", argument}}, PercentPairs::OnePercent, LaterPlaces::Emptied);
}

} // namespace quantaro
