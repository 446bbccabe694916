#pragma once

#include "app/resourcesource.h"
#include "ui/picturefile.h"

#include <QObject>
#include <QPointer>
#include <QPushButton>
#include <array>
#include <optional>

class QWidget;

namespace quantaro {

/**
 * A push button drawn entirely from bitmaps of the resource source. The button's caption is never
 * shown: it names the four bitmaps caption + "U" (up), "D" (pressed), "F" (focus) and "X"
 * (disabled). The chosen bitmap is stretched over the whole button; without an up bitmap the
 * button draws nothing but still reports its clicks.
 */
class CStretchBitmapButton : public QObject
{
    Q_OBJECT
public:
    /** The four bitmaps, in loading order. */
    enum class Image
    {
        Up,
        Down,
        Focus,
        Disabled
    };

    explicit CStretchBitmapButton(QObject* owner = nullptr);
    ~CStretchBitmapButton() override;

    /**
     * Takes over the push button with that control id among the owner's controls and loads its
     * bitmaps from the resource source (the process-wide one unless given, which must outlive the
     * button): the up bitmap now, the others when first shown. True when the up bitmap was loaded;
     * false also when there is no such button.
     */
    bool AttachAndLoad(int controlId, QWidget* owner, const ResourceSource* source = nullptr);

    QPushButton* button() const { return m_button; }
    bool hasImage(Image image) const;
    /** The bitmap a button in that state shows, or nothing when it shows none. */
    std::optional<Image> imageFor(bool pressed, bool focused, bool disabled) const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void detach();
    void paint();
    const PictureFile& picture(Image image) const;

    QPointer<QPushButton> m_button;
    // Found in the resource source when first needed: most buttons only ever show their up bitmap.
    const ResourceSource* m_source = nullptr;
    QString m_base;
    mutable std::array<std::optional<PictureFile>, 4> m_images;
};

} // namespace quantaro
