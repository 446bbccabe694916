#include "ui/touchstyle.h"

#include "ui/contrast.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QColor>
#include <QEvent>
#include <QFocusFrame>
#include <QFont>
#include <QPainter>
#include <QPointer>
#include <QProxyStyle>
#include <QStyleOption>

namespace quantaro {

namespace {

// The frame around the control that has the keyboard. Qt hides a focus frame when its control's
// style changes; a list restyles its rows at every re-layout, and its frame must stay.
class FocusRing final : public QFocusFrame
{
public:
    using QFocusFrame::QFocusFrame;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        const bool taken = QFocusFrame::eventFilter(watched, event);
        if (watched == widget() && event->type() == QEvent::StyleChange && widget()->isVisible()) {
            show();
        }
        return taken;
    }
};

bool isFocusRing(const QStyleOption* option, const QWidget* widget)
{
    const QObject* drawn = widget ? widget : (option ? option->styleObject : nullptr);
    return qobject_cast<const QFocusFrame*>(drawn) != nullptr;
}

// A ring of the frame's width just inside the rectangle (the focus frame's: the control's grown by
// that width).
QRegion ringInside(const QRect& rect)
{
    return QRegion(rect).subtracted(
        QRegion(rect.adjusted(kFocusFrameWidth, kFocusFrameWidth, -kFocusFrameWidth, -kFocusFrameWidth)));
}

// Whether the control shows where the keyboard is by a frame: not a window, a popup's list (which
// shows its current row) or a picture button that has a focus picture of its own.
bool wantsRing(const QWidget* control)
{
    return control && !control->isWindow() &&
           !(control->window()->windowType() == Qt::Popup && qobject_cast<const QAbstractItemView*>(control)) &&
           !control->property(kOwnFocusPictureProperty).toBool();
}

class TouchStyle final : public QProxyStyle
{
public:
    void polish(QApplication* application) override
    {
        QProxyStyle::polish(application);
        connect(application, &QApplication::focusChanged, this, &TouchStyle::followFocus, Qt::UniqueConnection);
    }

    void unpolish(QApplication* application) override
    {
        disconnect(application, &QApplication::focusChanged, this, &TouchStyle::followFocus);
        QProxyStyle::unpolish(application);
    }

    int pixelMetric(PixelMetric metric, const QStyleOption* option, const QWidget* widget) const override
    {
        switch (metric) {
        case PM_IndicatorWidth:
        case PM_IndicatorHeight:
        case PM_ExclusiveIndicatorWidth:
        case PM_ExclusiveIndicatorHeight:
            return kTouchIndicatorSize;
        case PM_FocusFrameHMargin:
        case PM_FocusFrameVMargin:
            // The ring lies just outside the control, on the window's ground, where it stands out
            // whatever the control paints (a language's banner is as blue as the accent); it takes
            // half of the least gap between touch targets.
            if (isFocusRing(option, widget)) {
                return kFocusFrameWidth;
            }
            return QProxyStyle::pixelMetric(metric, option, widget);
        default:
            return QProxyStyle::pixelMetric(metric, option, widget);
        }
    }

    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* returnData) const override
    {
        if (hint == SH_FocusFrame_AboveWidget) {
            return 1;
        }
        if (hint == SH_FocusFrame_Mask && option) {
            if (auto* mask = qstyleoption_cast<QStyleHintReturnMask*>(returnData)) {
                mask->region = ringInside(option->rect);
                return 1;
            }
        }
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }

    void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget) const override
    {
        if (element != CE_FocusFrame || !option || !painter) {
            QProxyStyle::drawControl(element, option, painter, widget);
            return;
        }
        const auto* ring = qobject_cast<const QFocusFrame*>(widget);
        const QWidget* control = ring ? ring->widget() : nullptr;
        const QColor colour = control ? focusFrameColour(control) : option->palette.color(QPalette::Highlight);
        for (const QRect& part : ringInside(option->rect)) {
            painter->fillRect(part, colour);
        }
    }

private:
    void followFocus(QWidget* /*old*/, QWidget* now)
    {
        if (!wantsRing(now)) {
            if (m_ring) {
                m_ring->setWidget(nullptr);
            }
            return;
        }
        // The ring belongs to the window it is in and goes with it; a new one is made for the next.
        if (!m_ring) {
            m_ring = new FocusRing(now->window());
        }
        m_ring->setWidget(now);
        m_ring->update();
    }

    QPointer<QFocusFrame> m_ring;
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

QColor focusFrameColour(const QWidget* control)
{
    const QColor around = backgroundBehind(control->parentWidget() ? control->parentWidget() : control);
    return contrastingWith(control->palette().color(QPalette::Active, QPalette::Highlight), around,
                           kFocusFrameContrast);
}

} // namespace quantaro
