#include "platform/desktopscreen.h"

#include <QGuiApplication>
#include <QScreen>

namespace quantaro {

namespace {
constexpr int kLargestScreenSide = 100000;
constexpr QSize kFallbackScreen(360, 640);
constexpr qsizetype kMostSideDigits = 6;

// One side of "WIDTHxHEIGHT": one to six digits, spaces around them allowed.
std::optional<int> sideOf(QStringView text)
{
    text = text.trimmed();
    if (text.isEmpty() || text.size() > kMostSideDigits) {
        return std::nullopt;
    }
    int value = 0;
    for (const QChar c : text) {
        if (c < u'0' || c > u'9') {
            return std::nullopt;
        }
        value = value * 10 + (c.unicode() - u'0');
    }
    return value;
}

std::optional<QSize>& chosenEmulatedScreen()
{
    static std::optional<QSize> size;
    return size;
}
} // namespace

std::optional<QSize> parseScreenOverride(const QString& text)
{
    // Read by hand rather than by a regular expression: this runs at every start, and compiling a
    // pattern would load and fill the expression engine for one small test.
    const qsizetype cross = text.indexOf(u'x', 0, Qt::CaseInsensitive);
    if (cross < 0) {
        return std::nullopt;
    }
    const auto width = sideOf(QStringView(text).left(cross));
    const auto height = sideOf(QStringView(text).mid(cross + 1));
    if (!width || !height || *width <= 0 || *height <= 0 || *width > kLargestScreenSide ||
        *height > kLargestScreenSide) {
        return std::nullopt;
    }
    return QSize(*width, *height);
}

std::optional<QSize> emulatedScreen()
{
    return chosenEmulatedScreen();
}

void setEmulatedScreen(std::optional<QSize> size)
{
    chosenEmulatedScreen() = size;
}

QSize DesktopScreen::screenSize() const
{
    if (const auto emulated = emulatedScreen()) {
        return *emulated;
    }
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        return screen->geometry().size();
    }
    return kFallbackScreen;
}

QSize DesktopScreen::availableSize() const
{
    if (const auto emulated = emulatedScreen()) {
        return *emulated;
    }
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        return screen->availableGeometry().size();
    }
    return kFallbackScreen;
}

} // namespace quantaro
