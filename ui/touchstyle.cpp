#include "ui/touchstyle.h"

#include <QApplication>
#include <QFont>
#include <QProxyStyle>

namespace quantaro {

namespace {

class TouchStyle final : public QProxyStyle
{
public:
    int pixelMetric(PixelMetric metric, const QStyleOption* option, const QWidget* widget) const override
    {
        switch (metric) {
        case PM_IndicatorWidth:
        case PM_IndicatorHeight:
        case PM_ExclusiveIndicatorWidth:
        case PM_ExclusiveIndicatorHeight:
            return kTouchIndicatorSize;
        default:
            return QProxyStyle::pixelMetric(metric, option, widget);
        }
    }
};

} // namespace

void applyTouchDefaults()
{
    // The application takes ownership of its style.
    QApplication::setStyle(new TouchStyle);
    QFont font = QApplication::font();
    if (font.pointSizeF() > 0 && font.pointSizeF() < kSmallestTextPoints) {
        font.setPointSizeF(kSmallestTextPoints);
        QApplication::setFont(font);
    }
}

} // namespace quantaro
