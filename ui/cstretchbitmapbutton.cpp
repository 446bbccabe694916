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
    m_source = nullptr;
    auto* button = qobject_cast<QPushButton*>(findControl(owner, controlId));
    if (!button) {
        return false;
    }
    m_button = button;
    m_button->installEventFilter(this);
    m_button->update();

    m_source = source != nullptr ? source : &ResourceSource::current();
    m_base = m_button->text();
    return hasImage(Image::Up);
}

const PictureFile& CStretchBitmapButton::picture(Image image) const
{
    std::optional<PictureFile>& slot = m_images[indexOf(image)];
    if (!slot) {
        slot = m_source != nullptr
                   ? PictureFile(m_source->bitmapPath(m_base + QLatin1Char(kImageSuffixes[indexOf(image)])))
                   : PictureFile();
    }
    return *slot;
}

bool CStretchBitmapButton::hasImage(Image image) const
{
    // Without an up bitmap the button shows none of the others either.
    if (image != Image::Up && !hasImage(Image::Up)) {
        return false;
    }
    return !picture(image).isNull();
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
    if (event->type() == QEvent::FocusIn && watched == m_button) {
        // Its focus picture shows where the keyboard is: the touch style draws no frame over it.
        // Told when the keyboard arrives, so that a start looks up no focus picture it does not show.
        m_button->setProperty(kOwnFocusPictureProperty, hasImage(Image::Focus));
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
    const PictureFile& shown = picture(*image);
    QRect area = m_button->rect();
    const QSize fitted = shown.naturalSize().scaled(area.size(), Qt::KeepAspectRatio);
    if (!fitted.isEmpty()) {
        QRect centred(QPoint(0, 0), fitted);
        centred.moveCenter(area.center());
        area = centred;
    }
    const QPixmap pixmap = shown.stretchedTo(area.size(), m_button->devicePixelRatioF());
    QPainter painter(m_button);
    // A plain copy of the source pixels: no smoothing, so the picture keeps its hard edges.
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    painter.drawPixmap(area, pixmap);
}

} // namespace quantaro
