#pragma once

#include <QString>
#include <QStringView>
#include <initializer_list>

namespace quantaro {

/** A place in a module string ("%s", "%D%") and the text that goes there. */
struct Placeholder
{
    QStringView marker;
    QString text;
};

/**
 * What a "%%" of a module string stands for. Strings written as printf formats ("Version %s", the
 * About and version check windows' strings) double a "%" as printf wants, so there "%%" is one "%".
 * Strings with named markers ("%D%", "%F%") and the conversion window's "%s" strings never had a "%"
 * doubled: there a "%%" is shown as written.
 */
enum class PercentPairs
{
    AsWritten,
    OnePercent,
};

/**
 * What a marker's places after its first get. A named marker has one place, and a second one is
 * shown as written (AsWritten); a printf format has one argument, which a second "%s" lacks, so it
 * gets nothing (Emptied); a value a string may name more than once goes wherever it is named (Filled).
 */
enum class LaterPlaces
{
    AsWritten,
    Filled,
    Emptied,
};

/**
 * A module string with its placeholders filled, read once from its start: a filled text is never
 * read again for markers (a folder named "%R%" stays a folder's name). Where two markers begin at
 * one place, the one listed first is taken; any other "%" stays as written.
 */
QString fillPlaceholders(QStringView format, std::initializer_list<Placeholder> placeholders, PercentPairs percent,
                         LaterPlaces later);

} // namespace quantaro
