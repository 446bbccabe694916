#pragma once

#include <QSize>
#include <QString>
#include <optional>

namespace quantaro {

/** What the environment asks of a run instead of the machine's own answers, read once at start-up. */
struct EnvironmentOverrides
{
    /** QUANTARO_SCREEN: the handheld screen emulated on a desktop. */
    std::optional<QSize> screen;
    /** QUANTARO_PEER: the peer probe's answer for every key. */
    std::optional<bool> peer;
    /** QUANTARO_PICTURE_CACHE: the folder of kept renderings, "off" for none, empty for the user's. */
    QString pictureCache;
};

/** Reads the variables; a value that means nothing leaves the machine's own answer. */
EnvironmentOverrides readEnvironmentOverrides();

/** Hands the screen and the picture folder to the window machinery; the peer answer goes to the
 *  probe the program makes. */
void applyEnvironmentOverrides(const EnvironmentOverrides& overrides);

} // namespace quantaro
