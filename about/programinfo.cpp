#include "about/programinfo.h"

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
    constexpr QChar kPercent = u'%';
    QString out;
    out.reserve(format.size() + argument.size());
    bool argumentUsed = false;
    for (qsizetype i = 0; i < format.size(); ++i) {
        const QChar ch = format[i];
        const QChar next = i + 1 < format.size() ? format[i + 1] : QChar();
        if (ch == kPercent && next == kPercent) {
            out += kPercent;
            ++i;
        } else if (ch == kPercent && next == u's') {
            if (!argumentUsed) {
                out += argument;
                argumentUsed = true;
            }
            ++i;
        } else {
            out += ch;
        }
    }
    return out;
}

} // namespace quantaro
