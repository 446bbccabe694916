#include "platform/desktopscreen.h"

#include <QGuiApplication>
#include <QRegularExpression>
#include <QScreen>

namespace quantaro {

namespace {
constexpr int kLargestScreenSide = 100000;
constexpr QSize kFallbackScreen(360, 640);
} // namespace

std::optional<QSize> parseScreenOverride(const QString& text)
{
    static const QRegularExpression pattern(QStringLiteral("^\\s*(\\d{1,6})\\s*[xX]\\s*(\\d{1,6})\\s*$"));
    const QRegularExpressionMatch match = pattern.match(text);
    if (!match.hasMatch()) {
        return std::nullopt;
    }
    const int width = match.captured(1).toInt();
    const int height = match.captured(2).toInt();
    if (width <= 0 || height <= 0 || width > kLargestScreenSide || height > kLargestScreenSide) {
        return std::nullopt;
    }
    return QSize(width, height);
}

QSize DesktopScreen::screenSize() const
{
    if (const auto emulated = parseScreenOverride(qEnvironmentVariable(kScreenOverrideVariable))) {
        return *emulated;
    }
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        return screen->geometry().size();
    }
    return kFallbackScreen;
}

QSize DesktopScreen::availableSize() const
{
    if (const auto emulated = parseScreenOverride(qEnvironmentVariable(kScreenOverrideVariable))) {
        return *emulated;
    }
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        return screen->availableGeometry().size();
    }
    return kFallbackScreen;
}

} // namespace quantaro
