#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QHash>
#include <QMap>
#include <QString>
#include <QVariant>

namespace quantaro {

/** Values by their full key ("Section/name", "Section/sub/name" or a bare "name"), as QSettings names them. */
using IniValues = QMap<QString, QVariant>;

/** The order of the keys in an INI file's text: each full key's place among the key lines. */
QHash<QString, int> iniKeyOrder(QByteArrayView text);

/**
 * The text of an INI file holding these values, written as Qt's settings classes write it (the
 * same escapes, quotes, sections and typed values), so that they read it back as these values.
 * Sections and the keys inside them keep the order that keyOrder gives them (the file they came
 * from); the rest follow, sorted by name, as Qt sorts a new file.
 */
QByteArray iniText(const IniValues& values, const QHash<QString, int>& keyOrder);

} // namespace quantaro
