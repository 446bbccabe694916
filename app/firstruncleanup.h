#pragma once

#include <QString>

namespace quantaro {

class SettingsStore;

/** Unit files of the program folder. */
QString unitFilePattern();

/**
 * After the language has been chosen: deletes every other language module of the program folder
 * (any library exporting GetModuleKey) and, when the chosen module is valid, every unit file but
 * the one it names. Files that cannot be deleted are left. Without a stored choice nothing is
 * deleted.
 */
void runFirstRunCleanup(const SettingsStore& settings, const QString& programFolder);

} // namespace quantaro
