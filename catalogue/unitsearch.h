#pragma once

#include <QString>
#include <QStringView>

namespace quantaro {

/** The form in which a unit search compares texts: accents dropped and case folded, so that
 *  "angstrom" finds "ångström (Å)" and "KM" finds "kilometre (km)". */
QString searchKey(QStringView text);

/** Whether a unit's name (its symbol in parentheses included) holds the searched text; key is the
 *  searchKey of what the person typed, and an empty key matches every unit. */
bool matchesSearch(const QString& nameKey, const QString& key);

} // namespace quantaro
