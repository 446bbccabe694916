#include "ui/contrast.h"

#include <QApplication>
#include <QPalette>
#include <QWidget>
#include <algorithm>
#include <cmath>

namespace quantaro {

namespace {
// Constants of the sRGB transfer curve and of the luminance weights of its three primaries.
constexpr double kLinearLimit = 0.04045;
constexpr double kLinearSlope = 12.92;
constexpr double kCurveOffset = 0.055;
constexpr double kCurveScale = 1.055;
constexpr double kCurveExponent = 2.4;
constexpr double kRedWeight = 0.2126;
constexpr double kGreenWeight = 0.7152;
constexpr double kBlueWeight = 0.0722;
// Keeps the ratio finite for black.
constexpr double kFlare = 0.05;
// A window this luminous or more counts as light.
constexpr double kDarkWindowLimit = 0.35;
// Lightness steps small enough that the variant stops close to the least contrast asked for.
constexpr int kLightnessStep = 2;
constexpr int kFullLightness = 255;

double linear(double channel)
{
    return channel <= kLinearLimit ? channel / kLinearSlope
                                   : std::pow((channel + kCurveOffset) / kCurveScale, kCurveExponent);
}
} // namespace

double relativeLuminance(const QColor& colour)
{
    const QColor rgb = colour.toRgb();
    return kRedWeight * linear(rgb.redF()) + kGreenWeight * linear(rgb.greenF()) + kBlueWeight * linear(rgb.blueF());
}

double contrastRatio(const QColor& first, const QColor& second)
{
    const double a = relativeLuminance(first);
    const double b = relativeLuminance(second);
    return (std::max(a, b) + kFlare) / (std::min(a, b) + kFlare);
}

bool isDarkPalette(const QPalette& palette)
{
    return relativeLuminance(palette.color(QPalette::Window)) < kDarkWindowLimit;
}

QColor contrastingWith(const QColor& colour, const QColor& against, double minimum)
{
    if (contrastRatio(colour, against) >= minimum) {
        return colour;
    }
    // A step in HSL lightness keeps the hue (and as much of the saturation as the lightness allows):
    // the red of a result stays a red, only a paler one.
    const bool lighter = relativeLuminance(against) < kDarkWindowLimit;
    const int step = lighter ? kLightnessStep : -kLightnessStep;
    QColor variant = colour.toHsl();
    const int hue = variant.hslHue();
    const int saturation = variant.hslSaturation();
    for (int lightness = variant.lightness(); lightness >= 0 && lightness <= kFullLightness; lightness += step) {
        variant.setHsl(hue, saturation, lightness);
        if (contrastRatio(variant, against) >= minimum) {
            return variant.toRgb();
        }
    }
    return lighter ? QColor(Qt::white) : QColor(Qt::black);
}

QColor readableOn(const QColor& chosen, const QColor& background, double minimum)
{
    if (relativeLuminance(background) >= kDarkWindowLimit) {
        return chosen;
    }
    return contrastingWith(chosen, background, minimum);
}

QPalette withReadableTexts(QPalette palette)
{
    for (const QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
        const QColor text = palette.color(group, QPalette::HighlightedText);
        palette.setColor(group, QPalette::Highlight, contrastingWith(palette.color(group, QPalette::Highlight), text));
        // Dark themes tend to grey the hint of an empty field to just under what can be read.
        palette.setColor(
            group, QPalette::PlaceholderText,
            contrastingWith(palette.color(group, QPalette::PlaceholderText), palette.color(group, QPalette::Base)));
    }
    return palette;
}

void keepTextsReadable(QWidget* widget)
{
    if (!widget) {
        return;
    }
    const QPalette readable = withReadableTexts(QApplication::palette(widget));
    QPalette mine = widget->palette();
    bool changed = false;
    for (const QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
        for (const QPalette::ColorRole role : {QPalette::Highlight, QPalette::PlaceholderText}) {
            if (mine.color(group, role) != readable.color(group, role)) {
                mine.setColor(group, role, readable.color(group, role));
                changed = true;
            }
        }
    }
    if (changed) {
        widget->setPalette(mine);
    }
}

QColor backgroundBehind(const QWidget* widget)
{
    for (const QWidget* w = widget; w; w = w->parentWidget()) {
        if (w->autoFillBackground() || w->isWindow()) {
            return w->palette().color(w->backgroundRole());
        }
    }
    return widget ? widget->palette().color(QPalette::Window) : QColor(Qt::white);
}

} // namespace quantaro
