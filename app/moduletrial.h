#pragma once

#include <QString>

namespace quantaro {

/**
 * Whether a language module survives being loaded: a short-lived child process maps it with every
 * relocation resolved and calls its exports, and the program loads it only when the child lived.
 * A module damaged in any way the file's headers do not show (a copy whose second half is zeroes,
 * a zeroed or stray dynamic section, zeroed code) takes the child down instead of the program.
 *
 * The verdict is remembered by the file's device, inode, size and times, in this process and in the
 * user's cache folder ($XDG_CACHE_HOME/Velmora/Quantaro/modules), so only the first start with a
 * module pays for its trial. A child that does not end in time is stopped, and that verdict ("no")
 * is not remembered: the next start tries again.
 */
bool moduleSurvivesTrial(const QString& path);

/** Forgets the verdicts of this process (the cache folder's stay), so that a test sees a trial run. */
void forgetModuleVerdicts();

} // namespace quantaro
