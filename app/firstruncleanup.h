#pragma once

#include <QString>

namespace quantaro {

class SettingsStore;

/** Unit files of the program folder. */
QString unitFilePattern();

/** The file a package installs into the program folder it owns. */
QString packageManagedMarker();

/** The user this process runs as, as file ownership counts it. */
uint currentUserId();

/**
 * A program folder the running user must not change: one that a package manager owns (it holds the
 * marker), or one that belongs to another user (an install under /usr or /usr/local).
 */
bool isSystemWideInstall(const QString& programFolder, uint userId);

/**
 * After the language has been chosen: deletes every other language module of the program folder
 * (any library exporting GetModuleKey) and, when the chosen module is valid, every unit file but
 * the one it names. Files that cannot be deleted are left. Without a stored choice, and in a
 * system-wide install, nothing is deleted.
 */
void runFirstRunCleanup(const SettingsStore& settings, const QString& programFolder, uint userId = currentUserId());

} // namespace quantaro
