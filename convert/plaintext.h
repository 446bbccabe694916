#pragma once

#include <QByteArrayView>
#include <QString>
#include <QStringView>
#include <optional>

namespace quantaro {

/**
 * Whether a text from outside (an argument, a line of standard input, a query or an id from the bus)
 * is text a person could have typed: no control characters but the tab, no characters that stand for bytes that
 * could not be decoded, no broken surrogate pairs. Anything else is refused whole, never read with
 * the odd characters left out (a "1", a NUL and a "2" is no 12).
 */
bool isPlainText(QStringView text);

/** The text of UTF-8 bytes when they are plain text; none when they are not valid UTF-8 or not plain. */
std::optional<QString> plainTextOf(QByteArrayView bytes);

/** Whether the text holds a decimal digit: a value without one names no number. */
bool hasDigit(QStringView text);

} // namespace quantaro
