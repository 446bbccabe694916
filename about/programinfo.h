#pragma once

#include "generated/programversion.h"

#include <QString>
#include <QStringView>

namespace quantaro {

/** The program's own version, as shown to the user and compared with a version file. */
inline const QString kProgramVersion = QStringLiteral(QUANTARO_PROGRAM_VERSION);
/** The program's year. */
inline const QString kProgramYear = QStringLiteral("2008");

/** The publisher's web address; the packager sets it at build time (QUANTARO_PUBLISHER_URL).
 *  Empty when the build names none. */
QString publisherWebAddress();
/** The author's contact e-mail address; set at build time (QUANTARO_CONTACT_ADDRESS). Empty when
 *  the build names none. */
QString contactAddress();

/** The two addresses the About window shows; an empty one is not shown at all. */
struct PublisherAddresses
{
    QString contact = contactAddress();
    QString web = publisherWebAddress();
};

/**
 * A format with one string argument, the way printf would use it: the first "%s" takes the
 * argument and "%%" stands for "%". A format without "%s" comes back as it is (but for "%%"); a
 * second "%s" gets nothing, since there is no second argument to give it, and any other "%"
 * sequence stays as written.
 */
QString formatWithOneString(QStringView format, const QString& argument);

} // namespace quantaro
