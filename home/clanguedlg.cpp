#include "home/clanguedlg.h"

#include "app/cconverterapp.h"
#include "app/resourcesource.h"
#include "app/savefailurenotice.h"
#include "app/settingsstore.h"
#include "platform/qtmessageboxes.h"
#include "ui/controls.h"

#include <QEvent>
#include <QImage>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QScrollBar>
#include <algorithm>
#include <cmath>

namespace quantaro {

namespace {

// The window exists before any language module is in use, so its title is the program's own.
const QString kWindowTitle = QStringLiteral("Quantaro");

const ResourceSource& programResources()
{
    static const ResourceSource source(kProgramResourceRoot);
    return source;
}

// The window's layout always comes from the program itself, whatever the process-wide source is.
UiServices withProgramResources(UiServices services)
{
    services.resources = &programResources();
    return services;
}

MessageBoxes& messagesOf(const UiServices& services)
{
    static QtMessageBoxes fallback;
    return services.messages ? *services.messages : fallback;
}

// Exclusive-or of the colour bits: applying it twice to the same pixels gives them back.
// The selection mark: a dotted outline along the row's edges, drawn by inverting pixels, so that
// drawing it twice restores the row and it shows on any banner colour.
constexpr int kMarkWidth = 3;
constexpr int kMarkDotLength = 4;

void invertDottedOutline(QImage& image, int width, int dotLength)
{
    const QRect area = image.rect();
    for (int y = area.top(); y <= area.bottom(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        const bool topOrBottom = y < width || y > area.bottom() - width;
        for (int x = area.left(); x <= area.right(); ++x) {
            const bool leftOrRight = x < width || x > area.right() - width;
            const bool dot = topOrBottom ? (x / dotLength) % 2 == 0 : leftOrRight && (y / dotLength) % 2 == 0;
            if (dot) {
                line[x] ^= 0x00ffffffu;
            }
        }
    }
}

} // namespace

CLangueDlg::CLangueDlg(UiServices services, QString programFolder, uint16_t deviceLanguage, QWidget* parent)
    : QuantaroDialog(TemplateTriple::single(langue::kTemplate), withProgramResources(services), parent),
      m_programFolder(std::move(programFolder)), m_deviceLanguage(deviceLanguage)
{
    if (!isCreated()) {
        return;
    }
    setWindowTitle(kWindowTitle);
    for (int row = 0; row < langue::kVisibleRows; ++row) {
        if (QWidget* button = control(langue::kFirstRow + row)) {
            button->installEventFilter(this);
        }
        onCommand(langue::kFirstRow + row, [this, row] { tapRow(row); });
    }
    if (auto* bar = control<QScrollBar>(langue::kScrollBar)) {
        // Rows follow the thumb when it is let go, not while it is dragged.
        bar->setTracking(false);
        connect(bar, &QAbstractSlider::actionTriggered, this, [this](int action) { pageRows(action); });
    }
    onNotification(langue::kScrollBar, Notification::ValueChanged, [this] { redrawRows(); });
    setMenuBarFromResource(langue::kMenu);
    updateScale();
}

CLangueDlg::~CLangueDlg() = default;

int CLangueDlg::scaleForRowHeight(int height)
{
    return std::max(0, height) / langue::kBannerSize.height();
}

int CLangueDlg::firstVisibleRow() const
{
    const auto* bar = control<QScrollBar>(langue::kScrollBar);
    return bar && !bar->isHidden() ? bar->value() : 0;
}

int CLangueDlg::exec()
{
    // With no module or a single one there is nothing to ask: the window never appears.
    findEntries();
    if (m_confirmed) {
        return result();
    }
    return QuantaroDialog::exec();
}

void CLangueDlg::onInitDialog()
{
    if (m_searched) {
        return;
    }
    findEntries();
    if (m_confirmed) {
        // Shown without exec(): close once the show has finished rather than in the middle of it.
        const int closing = result();
        setResult(0);
        QMetaObject::invokeMethod(
            this, [this, closing] { done(closing); }, Qt::QueuedConnection);
    }
}

void CLangueDlg::findEntries()
{
    if (m_searched) {
        return;
    }
    m_searched = true;
    m_entries = findLanguageEntries(m_programFolder);
    m_banners.clear();
    for (const LanguageEntry& entry : m_entries) {
        m_banners.emplace_back(ResourceSource(entry.module->resourceRoot()).bitmapPath(res::kLanguageBanner));
    }
    m_renderedBanners.clear();
    updateScale();

    if (m_entries.empty()) {
        messagesOf(services()).show(kDamagedMessage, MessageIcon::Error);
        confirm(QDialog::Rejected);
        return;
    }
    if (m_entries.size() == 1) {
        m_selectedIndex = 0;
        confirm(QDialog::Accepted);
        return;
    }
    showRows();
    m_selectedIndex = defaultLanguageEntry(m_entries, m_deviceLanguage);
    if (m_selectedIndex >= langue::kVisibleRows) {
        // The chosen row becomes the last visible one.
        if (auto* bar = control<QScrollBar>(langue::kScrollBar)) {
            bar->setValue(m_selectedIndex - (langue::kVisibleRows - 1));
        }
    }
    // The labels could wait for the first tap; showing the preselected module's texts at once
    // tells the user what OK will do.
    showSelectedTexts();
    redrawRows();
}

void CLangueDlg::showRows()
{
    const int count = static_cast<int>(m_entries.size());
    for (int row = 0; row < std::min(count, langue::kVisibleRows); ++row) {
        if (QWidget* button = control(langue::kFirstRow + row)) {
            button->show();
        }
    }
    auto* bar = control<QScrollBar>(langue::kScrollBar);
    if (bar && count > langue::kVisibleRows) {
        // A page is five rows (the thumb's size); the last page starts at count - 5.
        bar->setRange(0, count - langue::kVisibleRows);
        bar->setPageStep(langue::kVisibleRows);
        bar->setSingleStep(1);
        bar->setValue(0);
        bar->show();
    }
}

void CLangueDlg::pageRows(int action)
{
    auto* bar = control<QScrollBar>(langue::kScrollBar);
    if (!bar) {
        return;
    }
    // The slider has already moved by its page of five; page steps move by four rows instead.
    int first = bar->value();
    if (action == QAbstractSlider::SliderPageStepAdd) {
        first += langue::kPageStep;
    } else if (action == QAbstractSlider::SliderPageStepSub) {
        first -= langue::kPageStep;
    } else {
        return;
    }
    bar->setSliderPosition(std::clamp(first, bar->minimum(), bar->maximum()));
}

void CLangueDlg::tapRow(int row)
{
    const int index = firstVisibleRow() + row;
    if (index < 0 || index >= static_cast<int>(m_entries.size())) {
        return;
    }
    m_selectedIndex = index;
    redrawRows();
    showSelectedTexts();
}

void CLangueDlg::showSelectedTexts()
{
    if (m_selectedIndex < 0 || m_selectedIndex >= static_cast<int>(m_entries.size())) {
        return;
    }
    const LanguageEntry& entry = m_entries[static_cast<size_t>(m_selectedIndex)];
    if (auto* header = control<QLabel>(langue::kHeaderLabel)) {
        header->setText(entry.headerText);
    }
    if (auto* footer = control<QLabel>(langue::kFooterLabel)) {
        footer->setText(entry.footerText);
    }
}

void CLangueDlg::afterRelayout()
{
    // Rows are scaled with the window, so the banner scale follows their new height.
    updateScale();
    showSelectedTexts();
}

void CLangueDlg::updateScale()
{
    const QWidget* row = control(langue::kFirstRow);
    const int newScale = row ? scaleForRowHeight(row->height()) : 0;
    // Rows are scaled with the window in both directions, so a tall row can be narrower than its
    // banner at whole scale: the banner is then shrunk to the row's width rather than cut off, so
    // that the language's name stays readable.
    const qreal widthFit = row ? qreal(row->width()) / langue::kBannerSize.width() : 0.0;
    const qreal newFactor = std::min<qreal>(newScale, widthFit);
    if (newScale == m_scale && newFactor == m_bannerFactor && m_renderedBanners.size() == m_banners.size()) {
        return;
    }
    m_scale = newScale;
    m_bannerFactor = newFactor;
    m_renderedBanners.clear();
    for (const PictureFile& banner : m_banners) {
        m_renderedBanners.push_back(banner.stretchedTo(bannerRect().size().toSize(), devicePixelRatioF()));
    }
    redrawRows();
}

QRectF CLangueDlg::bannerRect() const
{
    return QRectF(QPointF(0, 0), QSizeF(langue::kBannerSize) * m_bannerFactor);
}

void CLangueDlg::redrawRows()
{
    for (int row = 0; row < langue::kVisibleRows; ++row) {
        if (auto* button = control<QPushButton>(langue::kFirstRow + row)) {
            button->update();
            // The banner shows the language's name as a picture: a screen reader says it as text, and
            // hears which row is the chosen one as a checked button.
            const int index = firstVisibleRow() + row;
            const bool known = index >= 0 && index < static_cast<int>(m_entries.size());
            button->setAccessibleName(known ? m_entries[static_cast<size_t>(index)].languageName : QString());
            button->setCheckable(known);
            button->setChecked(known && index == m_selectedIndex);
        }
    }
}

bool CLangueDlg::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::Paint) {
        if (auto* button = qobject_cast<QPushButton*>(watched)) {
            const int id = controlIdOf(button);
            if (id >= langue::kFirstRow && id < langue::kFirstRow + langue::kVisibleRows) {
                paintRow(button, firstVisibleRow() + (id - langue::kFirstRow));
                return true;
            }
        }
    }
    return QuantaroDialog::eventFilter(watched, event);
}

void CLangueDlg::paintRow(QWidget* button, int entryIndex)
{
    // Drawn off screen first: the selection mark needs the pixels already drawn.
    const qreal ratio = button->devicePixelRatioF();
    QImage image((QSizeF(button->size()) * ratio).toSize(), QImage::Format_RGB32);
    image.fill(Qt::white);
    const bool known = entryIndex >= 0 && entryIndex < static_cast<int>(m_renderedBanners.size());
    if (known && m_scale > 0 && !m_renderedBanners[static_cast<size_t>(entryIndex)].isNull()) {
        const QPixmap& banner = m_renderedBanners[static_cast<size_t>(entryIndex)];
        // The banner keeps its proportions; the rest of the row takes the banner's own background
        // (its left edge, clear of the flag), so the whole row reads as the language's band.
        image.fill(banner.toImage().pixel(0, banner.height() / 2));
        QPainter painter(&image);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        // Centred in the row's height.
        const QRectF target = bannerRect().translated(0, std::floor((button->height() - bannerRect().height()) / 2));
        painter.drawPixmap(QRectF(target.topLeft() * ratio, target.size() * ratio), banner, QRectF());
    }
    if (known && entryIndex == m_selectedIndex) {
        invertDottedOutline(image, qRound(kMarkWidth * ratio), qRound(kMarkDotLength * ratio));
    }
    image.setDevicePixelRatio(ratio);
    QPainter painter(button);
    painter.drawImage(QPoint(0, 0), image);
}

void CLangueDlg::onOk()
{
    if (confirm(QDialog::Accepted)) {
        done(QDialog::Accepted);
    }
}

void CLangueDlg::onCancel()
{
    // Cancel stores the choice as OK does: the program cannot go on without a language.
    if (confirm(QDialog::Rejected)) {
        done(QDialog::Rejected);
    }
}

bool CLangueDlg::confirm(int result)
{
    if (m_confirmed) {
        return true;
    }
    if (!m_entries.empty() && m_selectedIndex < 0) {
        return false;
    }
    if (m_selectedIndex >= 0 && m_selectedIndex < static_cast<int>(m_entries.size())) {
        m_chosenFile = m_entries[static_cast<size_t>(m_selectedIndex)].fileName;
    }
    QString failure;
    SettingsStore* store = services().settings;
    if (store && !storeLanguageChoice(*store, m_entries, m_selectedIndex) && !m_chosenFile.isEmpty()) {
        // Said in the language just chosen, whose module is still loaded.
        const ResourceSource strings(m_entries[static_cast<size_t>(m_selectedIndex)].module->resourceRoot());
        failure = saveFailureMessage(strings, store->folder(), store->lastWriteError());
    }
    unloadLanguageEntries(m_entries);
    if (!failure.isEmpty()) {
        tellSaveFailure(messagesOf(services()), failure);
    }
    m_confirmed = true;
    // The modules are unloaded now; their pictures are kept only as already drawn.
    m_banners.clear();
    setResult(result);
    return true;
}

} // namespace quantaro
