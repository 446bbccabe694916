#include "program/environmentoverrides.h"

#include "platform/desktopscreen.h"
#include "platform/peerprobe.h"
#include "ui/picturecache.h"

#include <QtGlobal>

namespace quantaro {

EnvironmentOverrides readEnvironmentOverrides()
{
    EnvironmentOverrides overrides;
    overrides.screen = parseScreenOverride(qEnvironmentVariable(kScreenOverrideVariable));
    overrides.peer = parsePeerOverride(qgetenv(kPeerOverrideVariable));
    overrides.pictureCache = qEnvironmentVariable(kPictureCacheVariable);
    return overrides;
}

void applyEnvironmentOverrides(const EnvironmentOverrides& overrides)
{
    setEmulatedScreen(overrides.screen);
    PictureCache::chooseFolder(overrides.pictureCache);
}

} // namespace quantaro
