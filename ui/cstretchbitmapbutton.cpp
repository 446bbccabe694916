#include "ui/cstretchbitmapbutton.h"

#include "ui/controls.h"
#include "ui/touchstyle.h"

#include <QEvent>
#include <QPainter>
#include <QPushButton>

namespace quantaro {

namespace {
constexpr std::array<char, 4> kImageSuffixes = {'U', 'D', 'F', 'X'};

std::size_t indexOf(CStretchBitmapButton::Image image)
{
    return static_cast<std::size_t>(image);
}
} // namespace

CStretchBitmapButton::CStretchBitmapButton(QObject* owner) : QObject(owner) {}

CStretchBitmapButton::~CStretchBitmapButton()
{
    detach();
}

void CStretchBitmapButton::detach()
{
    if (m_button) {
        m_button->removeEventFilter(this);
        m_button->setProperty(kOwnFocusPictureProperty, QVariant());
        m_button->update();
    }
    m_button = nullptr;
}

bool CStretchBitmapButton::AttachAndLoad(int controlId, QWidget* owner, const ResourceSource* source)
{
    detach();
    m_images = {};
    auto* button = qobject_cast<QPushButton*>(findControl(owner, controlId));
    if (!button) {
        return false;
    }
    m_button = button;
    m_button->installEventFilter(this);
    m_button->update();

    const ResourceSource& resources = source ? *source : ResourceSource::current();
    const QString base = m_button->text();
    for (std::size_t i = 0; i < m_images.size(); ++i) {
        m_images[i] = PictureFile(resources.bitmapPath(base + QLatin1Char(kImageSuffixes[i])));
        if (i == indexOf(Image::Up) && m_images[i].isNull()) {
            break;
        }
    }
    // Its focus picture shows where the keyboard is: the touch style draws no frame over it.
    m_button->setProperty(kOwnFocusPictureProperty, hasImage(Image::Up) && hasImage(Image::Focus));
    return hasImage(Image::Up);
}

bool CStretchBitmapButton::hasImage(Image image) const
{
    return !m_images[indexOf(image)].isNull();
}

std::optional<CStretchBitmapButton::Image> CStretchBitmapButton::imageFor(bool pressed, bool focused,
                                                                          bool disabled) const
{
    if (pressed && hasImage(Image::Down)) {
        return Image::Down;
    }
    if (focused && hasImage(Image::Focus)) {
        return Image::Focus;
    }
    if (disabled && hasImage(Image::Disabled)) {
        return Image::Disabled;
    }
    if (hasImage(Image::Up)) {
        return Image::Up;
    }
    return std::nullopt;
}

bool CStretchBitmapButton::eventFilter(QObject* watched, QEvent* event)
{
    // The type test comes first: while the button is being destroyed it still sends events, and it
    // is no longer a push button then.
    if (event->type() == QEvent::Paint && watched == m_button) {
        paint();
        return true;
    }
    return QObject::eventFilter(watched, event);
}

void CStretchBitmapButton::paint()
{
    const auto image = imageFor(m_button->isDown(), m_button->hasFocus(), !m_button->isEnabled());
    if (!image) {
        return;
    }
    // The picture fills the button in one direction and keeps its proportions (a clock stays round
    // on a wide landscape button), centred in the other.
    const PictureFile& picture = m_images[indexOf(*image)];
    QRect area = m_button->rect();
    const QSize fitted = picture.naturalSize().scaled(area.size(), Qt::KeepAspectRatio);
    if (!fitted.isEmpty()) {
        QRect centred(QPoint(0, 0), fitted);
        centred.moveCenter(area.center());
        area = centred;
    }
    const QPixmap pixmap = picture.stretchedTo(area.size(), m_button->devicePixelRatioF());
    QPainter painter(m_button);
    // A plain copy of the source pixels: no smoothing, so the picture keeps its hard edges.
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    painter.drawPixmap(area, pixmap);
}

} // namespace quantaro
