#include "app/savefailurenotice.h"

#include "app/placeholderfill.h"
#include "app/resourcesource.h"
#include "app/settingsstore.h"
#include "platform/messageboxes.h"

#include <QDir>
#include <cerrno>

namespace quantaro {

namespace {

bool g_told = false;

} // namespace

int saveFailureReason(int error)
{
    switch (error) {
    case ENOSPC:
        return savefailure::kNoSpace;
    case EDQUOT:
        return savefailure::kQuota;
    case EROFS:
        return savefailure::kReadOnly;
    case EACCES:
    case EPERM:
        return savefailure::kNotPermitted;
    case EBUSY:
        return savefailure::kBusy;
    default:
        return savefailure::kDiskError;
    }
}

QString saveFailureMessage(const ResourceSource& strings, const QString& folder, int error)
{
    return fillPlaceholders(strings.string(savefailure::kMessage),
                            {{savefailure::kFolderMarker, QDir::toNativeSeparators(folder)},
                             {savefailure::kReasonMarker, strings.string(saveFailureReason(error))}},
                            PercentPairs::AsWritten, LaterPlaces::AsWritten);
}

void tellSaveFailure(MessageBoxes& messages, const ResourceSource& strings, const SettingsStore& settings)
{
    if (!g_told) {
        tellSaveFailure(messages, saveFailureMessage(strings, settings.folder(), settings.lastWriteError()));
    }
}

void tellSaveFailure(MessageBoxes& messages, const QString& message)
{
    if (g_told) {
        return;
    }
    g_told = true;
    messages.show(message, MessageIcon::Error);
}

bool saveFailureTold()
{
    return g_told;
}

void forgetSaveFailureTold()
{
    g_told = false;
}

} // namespace quantaro
