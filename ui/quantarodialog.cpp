#include "ui/quantarodialog.h"

#include "app/resourcesource.h"
#include "app/savefailurenotice.h"
#include "platform/desktopscreen.h"
#include "platform/qtmessageboxes.h"
#include "ui/bottommenubar.h"
#include "ui/contrast.h"
#include "ui/controls.h"
#include "ui/formloader.h"
#include "ui/relayoutfromtemplate.h"
#include "ui/spokentext.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QScroller>
#include <QStyledItemDelegate>
#include <algorithm>

namespace quantaro {

namespace {
// Lists end where their rows end: no rubber band past the first or last row.
constexpr qreal kNoOvershoot = 0.0;

MessageBoxes& fallbackMessages()
{
    static QtMessageBoxes boxes;
    return boxes;
}

ScreenInfo& fallbackScreen()
{
    static DesktopScreen screen;
    return screen;
}

// Sizes each row for the list's current width: Qt's list view wraps texts only within a rectangle it
// never gives the delegate in list mode, so without this the names stay on one line and are cut.
class WrappingRowDelegate final : public QStyledItemDelegate
{
public:
    WrappingRowDelegate(QListWidget* list, int minimumHeight)
        : QStyledItemDelegate(list), m_list(list), m_minimumHeight(minimumHeight)
    {
    }

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        QStyleOptionViewItem wrapped = option;
        wrapped.features |= QStyleOptionViewItem::WrapText;
        // The style wraps only within a valid rectangle: it needs a height as well.
        wrapped.rect = QRect(0, 0, m_list->viewport()->width(), m_minimumHeight);
        const QSize natural = QStyledItemDelegate::sizeHint(wrapped, index);
        return {std::min(natural.width(), wrapped.rect.width()), std::max(natural.height(), m_minimumHeight)};
    }

private:
    QListWidget* m_list;
    int m_minimumHeight;
};

// Splits the controls into groups that no control bridges along one axis (bands one above the
// other, or columns side by side), in order along that axis.
QList<QList<QWidget*>> splitAtGaps(QList<QWidget*> controls, Qt::Orientation axis)
{
    const auto start = [axis](const QWidget* w) { return axis == Qt::Vertical ? w->y() : w->x(); };
    const auto end = [axis](const QWidget* w) {
        return axis == Qt::Vertical ? w->y() + w->height() : w->x() + w->width();
    };
    std::stable_sort(controls.begin(), controls.end(),
                     [&start](const QWidget* a, const QWidget* b) { return start(a) < start(b); });
    QList<QList<QWidget*>> groups;
    int reach = 0;
    for (QWidget* control : controls) {
        if (groups.isEmpty() || start(control) >= reach) {
            groups.append(QList<QWidget*>());
            reach = end(control);
        }
        groups.last() << control;
        reach = std::max(reach, end(control));
    }
    return groups;
}

// Reading order of controls laid out in bands and columns: cut at the widest gap between bands,
// or else between columns, and order each part the same way (a keypad beside a pair of lists is
// one block, read row by row); controls that overlap both ways go top to bottom.
void inReadingOrder(const QList<QWidget*>& controls, QList<QWidget*>& ordered)
{
    if (controls.size() <= 1) {
        ordered << controls;
        return;
    }
    for (const Qt::Orientation axis : {Qt::Vertical, Qt::Horizontal}) {
        const QList<QList<QWidget*>> groups = splitAtGaps(controls, axis);
        if (groups.size() < 2) {
            continue;
        }
        const auto start = [axis](const QWidget* w) { return axis == Qt::Vertical ? w->y() : w->x(); };
        const auto end = [axis](const QWidget* w) {
            return axis == Qt::Vertical ? w->y() + w->height() : w->x() + w->width();
        };
        qsizetype cut = 1;
        int widest = -1;
        int reach = 0;
        for (qsizetype i = 0; i + 1 < groups.size(); ++i) {
            for (const QWidget* w : groups[i]) {
                reach = std::max(reach, end(w));
            }
            const int gap = start(groups[i + 1].first()) - reach;
            if (gap > widest) {
                widest = gap;
                cut = i + 1;
            }
        }
        QList<QWidget*> before;
        QList<QWidget*> after;
        for (qsizetype i = 0; i < groups.size(); ++i) {
            (i < cut ? before : after) << groups[i];
        }
        inReadingOrder(before, ordered);
        inReadingOrder(after, ordered);
        return;
    }
    ordered << splitAtGaps(controls, Qt::Vertical).first();
}
} // namespace

void QuantaroDialog::wrapRows(QListWidget* list)
{
    if (!list) {
        return;
    }
    list->setWordWrap(true);
    list->setUniformItemSizes(false);
    list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    list->setResizeMode(QListView::Adjust);
    list->setItemDelegate(new WrappingRowDelegate(list, kMinimumRowHeight));
}

QuantaroDialog::QuantaroDialog(TemplateTriple templates, UiServices services, QWidget* parent)
    : QDialog(parent), m_services(services), m_templates(templates)
{
    create(templates.portrait);
}

QuantaroDialog::QuantaroDialog(int templateId, UiServices services, QWidget* parent)
    : QDialog(parent), m_services(services)
{
    create(templateId);
}

QuantaroDialog::~QuantaroDialog() = default;

const ResourceSource& QuantaroDialog::resources() const
{
    return m_services.resources ? *m_services.resources : ResourceSource::current();
}

const DialogTemplate* QuantaroDialog::parsedTemplate(int templateId)
{
    auto it = m_parsedTemplates.find(templateId);
    if (it == m_parsedTemplates.end()) {
        const auto file = resources().dialogTemplate(templateId);
        it = m_parsedTemplates.insert(templateId, file ? DialogTemplate::parse(*file) : std::nullopt);
    }
    return it->has_value() ? &it->value() : nullptr;
}

void QuantaroDialog::create(int templateId)
{
    m_creationTemplate = templateId;
    const auto file = resources().dialogTemplate(templateId);
    if (!file) {
        return;
    }
    // One reading of the template gives both the controls and what the re-layouts need of it.
    DialogTemplate parsed;
    QWidget* form = loadForm(*file, &parsed);
    if (!form) {
        m_parsedTemplates.insert(templateId, std::nullopt);
        return;
    }
    m_parsedTemplates.insert(templateId, std::move(parsed));
    setWindowTitle(form->windowTitle());
    setStyleSheet(form->styleSheet());
    const auto children = form->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly);
    for (QWidget* child : children) {
        const bool visible = !child->isHidden();
        const QRect geometry = child->geometry();
        child->setParent(this);
        child->setGeometry(geometry);
        child->setVisible(visible);
        // The template's font, which every re-layout scales to the window's size.
        setDesignFont(child, child->font());
    }
    delete form;
    m_created = true;
    connectControls();
    followPalette();
    resize(initialSize());
}

QSize QuantaroDialog::initialSize() const
{
    // An emulated handheld window fills its emulated screen; a real one takes its size from the
    // screen's available area and never exceeds it.
    if (const auto emulated = emulatedScreen()) {
        return *emulated;
    }
    const int templateId = m_templates ? m_templates->forShape(currentShape()) : m_creationTemplate;
    auto* self = const_cast<QuantaroDialog*>(this);
    const DialogTemplate* shaped = self->parsedTemplate(templateId);
    const QSize design = shaped ? shaped->designSize : self->parsedTemplate(m_creationTemplate)->designSize;
    const ScreenInfo& screen = m_services.screen ? *m_services.screen : fallbackScreen();
    return windowSizeFor(design, screen.availableSize());
}

void QuantaroDialog::connectControls()
{
    const QHash<int, QWidget*> controls = controlsById(this);
    for (auto it = controls.begin(); it != controls.end(); ++it) {
        const int id = it.key();
        QWidget* widget = it.value();
        if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
            connect(button, &QAbstractButton::clicked, this, [this, id] { command(id); });
            if (auto* push = qobject_cast<QPushButton*>(button)) {
                // Enter is the window's OK, not a click of whichever button has the focus.
                push->setAutoDefault(false);
                // Arrow keys go across a grid of buttons (the categories, the keypad) as it lies.
                push->installEventFilter(this);
            }
        } else if (auto* edit = qobject_cast<QLineEdit*>(widget)) {
            connect(edit, &QLineEdit::textChanged, this, [this, id] { notify(id, Notification::TextChanged); });
        } else if (auto* list = qobject_cast<QListWidget*>(widget)) {
            followFinger(list);
            tellCurrentRowOnFocus(list);
            connect(list, &QListWidget::currentRowChanged, this,
                    [this, id] { notify(id, Notification::SelectionChanged); });
            connect(list, &QListWidget::itemChanged, this, [this, id] { notify(id, Notification::ItemChanged); });
            connect(list, &QListWidget::itemDoubleClicked, this,
                    [this, id] { notify(id, Notification::DoubleClicked); });
        } else if (auto* combo = qobject_cast<QComboBox*>(widget)) {
            connect(combo, &QComboBox::currentIndexChanged, this,
                    [this, id] { notify(id, Notification::SelectionChanged); });
        } else if (auto* bar = qobject_cast<QScrollBar*>(widget)) {
            connect(bar, &QScrollBar::valueChanged, this, [this, id] { notify(id, Notification::ValueChanged); });
        }
    }
}

void QuantaroDialog::followFinger(QAbstractItemView* view)
{
    // A finger drag scrolls (and flicks) the list; only a tap without movement selects a row.
    view->setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    view->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    QScroller::grabGesture(view->viewport(), QScroller::LeftMouseButtonGesture);
    QScrollerProperties properties = QScroller::scroller(view->viewport())->scrollerProperties();
    properties.setScrollMetric(QScrollerProperties::OvershootDragResistanceFactor, kNoOvershoot);
    properties.setScrollMetric(QScrollerProperties::OvershootScrollDistanceFactor, kNoOvershoot);
    properties.setScrollMetric(QScrollerProperties::VerticalOvershootPolicy,
                               QVariant::fromValue(QScrollerProperties::OvershootAlwaysOff));
    QScroller::scroller(view->viewport())->setScrollerProperties(properties);
}

int QuantaroDialog::exec()
{
    if (!m_created) {
        return kCreationFailed;
    }
    const int result = QDialog::exec();
    // The window that opened this one takes the keyboard back, also where no window manager hands
    // it back (a bare X server): a person without a pointer could not reach it otherwise.
    if (QWidget* opener = parentWidget() ? parentWidget()->window() : nullptr; opener && opener->isVisible()) {
        opener->activateWindow();
    }
    return result;
}

QWidget* QuantaroDialog::control(int id) const
{
    return findControl(this, id);
}

void QuantaroDialog::onCommand(int id, std::function<void()> handler)
{
    onNotification(id, Notification::Clicked, std::move(handler));
}

void QuantaroDialog::onNotification(int id, Notification notification, std::function<void()> handler)
{
    m_handlers[{id, notification}] = std::move(handler);
}

bool QuantaroDialog::notify(int id, Notification notification)
{
    const auto it = m_handlers.find({id, notification});
    if (it == m_handlers.end() || !it->second) {
        return false;
    }
    // A copy: the handler may replace itself in the table while it runs.
    const std::function<void()> handler = it->second;
    handler();
    return true;
}

void QuantaroDialog::command(int id)
{
    if (notify(id, Notification::Clicked)) {
        return;
    }
    if (id == kIdOk) {
        onOk();
    } else if (id == kIdCancel) {
        onCancel();
    }
}

void QuantaroDialog::accept()
{
    command(kIdOk);
}

void QuantaroDialog::reject()
{
    command(kIdCancel);
}

void QuantaroDialog::onOk()
{
    done(QDialog::Accepted);
}

void QuantaroDialog::onCancel()
{
    done(QDialog::Rejected);
}

void QuantaroDialog::onPopupAboutToShow(QMenu* /*popup*/) {}

bool QuantaroDialog::setMenuBarFromResource(int menuId)
{
    delete m_menuBar;
    m_menuBar = nullptr;
    const auto resource = resources().menu(menuId);
    if (!resource) {
        return false;
    }
    auto* bar = new BottomMenuBar(this);
    if (!bar->load(*resource)) {
        delete bar;
        return false;
    }
    m_menuBar = bar;
    connect(bar, &BottomMenuBar::commandTriggered, this, [this](int id) { command(id); });
    connect(bar, &BottomMenuBar::popupAboutToShow, this, [this](QMenu* popup) { onPopupAboutToShow(popup); });
    placeMenuBar();
    bar->show();
    return true;
}

void QuantaroDialog::placeMenuBar()
{
    if (m_menuBar) {
        m_menuBar->setGeometry(0, height() - kMenuBarHeight, width(), kMenuBarHeight);
        m_menuBar->raise();
    }
}

void QuantaroDialog::showMessage(int stringId, MessageIcon icon)
{
    showMessageText(string(stringId), icon);
}

void QuantaroDialog::showMessageText(const QString& text, MessageIcon icon)
{
    MessageBoxes& boxes = m_services.messages ? *m_services.messages : fallbackMessages();
    boxes.show(text, icon);
}

void QuantaroDialog::tellIfNotSaved(bool saved, const SettingsStore& settings)
{
    if (saved) {
        return;
    }
    MessageBoxes& boxes = m_services.messages ? *m_services.messages : fallbackMessages();
    tellSaveFailure(boxes, resources(), settings);
}

void QuantaroDialog::tellIfNotSaved(bool saved)
{
    if (m_services.settings) {
        tellIfNotSaved(saved, *m_services.settings);
    }
}

QString QuantaroDialog::string(int id) const
{
    return resources().string(id);
}

ScreenShape QuantaroDialog::currentShape() const
{
    const ScreenInfo& screen = m_services.screen ? *m_services.screen : fallbackScreen();
    return screenShape(screen.screenSize());
}

void QuantaroDialog::relayout()
{
    if (!m_created) {
        return;
    }
    placeMenuBar();
    if (!m_templates) {
        // A single-template window is only scaled to its size: its texts stay as the window set them.
        relayoutFromParsedTemplate(this, *parsedTemplate(m_creationTemplate), resources(), true);
        m_currentTemplate = m_creationTemplate;
        orderTabsByPosition();
        return;
    }
    const int templateId = m_templates->forShape(currentShape());
    if (const DialogTemplate* shaped = parsedTemplate(templateId)) {
        relayoutFromParsedTemplate(this, *shaped, resources());
        m_currentTemplate = templateId;
    }
    orderTabsByPosition();
    afterRelayout();
    // A window's own style sheets, set anew by a re-layout, give a list back its first palette.
    followPalette();
}

void QuantaroDialog::orderTabsByPosition()
{
    // The Tab key goes the way a person reads the window in its present shape: band by band from the
    // top, each band's columns from the left, the menu bar last.
    QList<QWidget*> stops;
    for (QWidget* child : findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
        if ((child->focusPolicy() & Qt::TabFocus) != 0 && child != m_menuBar) {
            stops << child;
        }
    }
    QList<QWidget*> ordered;
    inReadingOrder(stops, ordered);
    if (m_menuBar) {
        for (QPushButton* button : m_menuBar->findChildren<QPushButton*>()) {
            if ((button->focusPolicy() & Qt::TabFocus) != 0) {
                ordered << button;
            }
        }
    }
    for (qsizetype i = 1; i < ordered.size(); ++i) {
        setTabOrder(ordered[i - 1], ordered[i]);
    }
}

void QuantaroDialog::showEvent(QShowEvent* event)
{
    if (!m_started && m_created) {
        m_started = true;
        onInitDialog();
        relayout();
        placeOnScreen();
    }
    QDialog::showEvent(event);
}

void QuantaroDialog::placeOnScreen()
{
    // A child window opens centred over the window that opened it, a first window centred on the
    // screen; either way it stays inside the screen's available area.
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen) {
        return;
    }
    const QRect available = screen->availableGeometry();
    const QWidget* opener = parentWidget() ? parentWidget()->window() : nullptr;
    QRect placed(QPoint(), size());
    placed.moveCenter(opener ? opener->geometry().center() : available.center());
    move(keptInside(placed, available).topLeft());
}

void QuantaroDialog::resizeEvent(QResizeEvent* event)
{
    QDialog::resizeEvent(event);
    if (m_started) {
        relayout();
    } else {
        placeMenuBar();
    }
}

void QuantaroDialog::changeEvent(QEvent* event)
{
    QDialog::changeEvent(event);
    if (event->type() == QEvent::PaletteChange || event->type() == QEvent::ApplicationPaletteChange) {
        followPalette();
    }
}

void QuantaroDialog::followPalette()
{
    // The desktop's palette, with one change where it needs it: the selected row of a list must stay
    // readable (Qt's own light palette puts white on a blue of 3.5 : 1).
    if (m_followingPalette) {
        return;
    }
    m_followingPalette = true;
    // Lists styled by a style sheet do not inherit the window's palette: they get the colour too.
    QList<QWidget*> selecting{this};
    for (QAbstractItemView* view : findChildren<QAbstractItemView*>()) {
        selecting << view;
    }
    for (QWidget* widget : selecting) {
        keepTextsReadable(widget);
    }
    m_followingPalette = false;
}

bool QuantaroDialog::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress && watched->isWidgetType()) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->modifiers() == Qt::NoModifier || key->modifiers() == Qt::KeypadModifier) {
            if (QWidget* next = buttonTowards(static_cast<QWidget*>(watched), key->key())) {
                next->setFocus(Qt::TabFocusReason);
                return true;
            }
        }
    }
    return QDialog::eventFilter(watched, event);
}

void QuantaroDialog::keyPressEvent(QKeyEvent* event)
{
    if (event->modifiers() == Qt::NoModifier || event->modifiers() == Qt::KeypadModifier) {
        if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
            command(kIdOk);
            return;
        }
        if (event->key() == Qt::Key_Escape) {
            command(kIdCancel);
            return;
        }
    }
    QDialog::keyPressEvent(event);
}

} // namespace quantaro
