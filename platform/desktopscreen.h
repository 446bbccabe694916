#pragma once

#include "platform/screeninfo.h"

#include <QString>
#include <optional>

namespace quantaro {

/** Environment variable that emulates a handheld screen, for example QUANTARO_SCREEN=240x320. */
inline constexpr char kScreenOverrideVariable[] = "QUANTARO_SCREEN";

/** Reads "WIDTHxHEIGHT"; nothing for anything else. */
std::optional<QSize> parseScreenOverride(const QString& text);

/** The handheld screen the program emulates on a desktop, chosen once at start-up (from
 *  QUANTARO_SCREEN); nothing for the real screen. */
std::optional<QSize> emulatedScreen();
void setEmulatedScreen(std::optional<QSize> size);

/** The primary screen's size and available area, or the emulated screen's size for both. */
class DesktopScreen final : public ScreenInfo
{
public:
    QSize screenSize() const override;
    QSize availableSize() const override;
};

} // namespace quantaro
