#pragma once

#include <QString>

namespace quantaro {

/**
 * The path of a file of the program folder named by a setting or a module string. Those names are
 * compared without regard to case, so a name whose case differs from the file on disk still finds
 * it; the exact name wins when both exist. Names with a folder part are not followed.
 */
QString programFilePath(const QString& folder, const QString& name);

} // namespace quantaro
