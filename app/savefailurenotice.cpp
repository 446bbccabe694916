#include "app/savefailurenotice.h"

#include "app/resourcesource.h"
#include "app/settingsstore.h"
#include "platform/messageboxes.h"

#include <QDir>
#include <cerrno>

namespace quantaro {

namespace {

bool g_told = false;

void replaceFirst(QString& text, const QString& marker, const QString& by)
{
    const qsizetype at = text.indexOf(marker);
    if (at >= 0) {
        text.replace(at, marker.size(), by);
    }
}

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
    QString text = strings.string(savefailure::kMessage);
    replaceFirst(text, savefailure::kFolderMarker, QDir::toNativeSeparators(folder));
    replaceFirst(text, savefailure::kReasonMarker, strings.string(saveFailureReason(error)));
    return text;
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
