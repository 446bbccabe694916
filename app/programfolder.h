#pragma once

#include <QString>
#include <QStringView>

namespace quantaro {

/**
 * The path of a file of the program folder named by a setting or a module string. Those names are
 * compared without regard to case, so a name whose case differs from the file on disk still finds
 * it; the exact name wins when both exist. Names with a folder part are not followed.
 */
QString programFilePath(const QString& folder, const QString& name);

/**
 * Whether a file of the program folder answers to a name from a setting or a module string: the
 * one match the loaders and the first-run clean-up share, so that the clean-up never keeps a file
 * that a loader then cannot find, nor deletes the one it would open.
 */
bool isSameProgramFileName(QStringView fileName, QStringView name);

} // namespace quantaro
