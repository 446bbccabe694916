#pragma once

#include <QString>

namespace quantaro {

class MessageBoxes;
class ResourceSource;
class SettingsStore;

/** Strings of the language module that tell a failed save of the settings. */
namespace savefailure {
/** The message: "%F%" stands for the folder, "%R%" for the reason. */
inline constexpr int kMessage = 1020;
inline constexpr int kNoSpace = 1021;
inline constexpr int kQuota = 1022;
inline constexpr int kReadOnly = 1023;
inline constexpr int kNotPermitted = 1024;
inline constexpr int kDiskError = 1025;
/** Another program holds the settings' lock: the changes are kept and written once it is free. */
inline constexpr int kBusy = 1026;
inline const QString kFolderMarker = QStringLiteral("%F%");
inline const QString kReasonMarker = QStringLiteral("%R%");
} // namespace savefailure

/** The string that names the reason for a write's errno. */
int saveFailureReason(int error);

/** The message that the settings could not be saved in that folder for that errno, in the strings' language. */
QString saveFailureMessage(const ResourceSource& strings, const QString& folder, int error);

/**
 * Tells the person, once per process, that the settings could not be saved: the folder and the
 * reason of the store's last failed write, in a message box with the error icon. Later failures
 * say nothing: the person knows, and the windows go on with what is stored.
 */
void tellSaveFailure(MessageBoxes& messages, const ResourceSource& strings, const SettingsStore& settings);

/** Shows an already made message of a failed save, unless one has been shown in this process. */
void tellSaveFailure(MessageBoxes& messages, const QString& message);

/** Whether the failure has been told in this process. */
bool saveFailureTold();
/** Forgets that it was told, so that a test sees the next failure told again. */
void forgetSaveFailureTold();

} // namespace quantaro
