#pragma once

#include <QSize>

namespace quantaro {

/** Size of the whole screen in pixels (not of a window). */
class ScreenInfo
{
public:
    virtual ~ScreenInfo() = default;
    virtual QSize screenSize() const = 0;
    /** The part of the screen a window may cover (without a phone shell's panels). */
    virtual QSize availableSize() const { return screenSize(); }
};

} // namespace quantaro
