#include "convert/cconvertdlg.h"

#include "app/placeholderfill.h"
#include "app/settingsstore.h"
#include "catalogue/lexicon.h"
#include "catalogue/rubric.h"
#include "catalogue/unitlookup.h"
#include "catalogue/unitsearch.h"
#include "convert/conversion.h"
#include "currency/ratedates.h"
#include "ui/bottommenubar.h"
#include "ui/contrast.h"
#include "ui/cstretchbitmapbutton.h"
#include "ui/relayoutfromtemplate.h"
#include "ui/spokentext.h"
#include "ui/textfit.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QClipboard>
#include <QCursor>
#include <QEvent>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QPalette>
#include <QPushButton>
#include <QScrollBar>
#include <QStyleHints>
#include <QTimer>
#include <QToolTip>
#include <algorithm>
#include <functional>

namespace quantaro {

using namespace convertdlg;

namespace {

/** Where the window's module strings take a value: every "%s" of them, a "%%" shown as written. */
constexpr QStringView kValuePlace = u"%s";

QString withValue(const QString& format, const QString& value)
{
    return fillPlaceholders(format, {{kValuePlace, value}}, PercentPairs::AsWritten, LaterPlaces::Filled);
}

const QColor kResultColour(192, 0, 0);
const QColor kTitleColour(0, 160, 0);
constexpr int kBoldWeight = 700;
constexpr int kUnitIndexRole = Qt::UserRole;
/** The value a target row shows in every-unit mode, as Copy would copy it. */
constexpr int kRowValueRole = Qt::UserRole + 1;

// The smallest text the window shrinks the pair line or the result to when the screen leaves it
// little room. The title's fixed green is readable on a light window as large text only: it stays
// bold and at least kLargeBoldTextPoints.
constexpr qreal kSmallestPairPoints = 7.0;
constexpr qreal kSmallestResultPoints = 11.0;

// A list row is a finger's height at the design size and shrinks with the window, but never below
// its text with some air around it.
constexpr int kDesignRowHeight = 40;
constexpr int kRowTextPadding = 8;
const QString kPairArrow = QStringLiteral(" \u2192 ");
const QString kNoUnit = QStringLiteral("\u2014");
/** Between a row's value and its unit in every-unit mode: the value has a line of its own, so that a
 *  narrow list cuts the unit's name short, never the value. */
const QLatin1Char kValueUnitBreak('\n');

// The colour was chosen for a light window: a dark one gets a lighter variant of its hue.
void setTextColour(QWidget* control, QColor colour)
{
    QPalette palette = control->palette();
    colour = readableOn(colour, backgroundBehind(control));
    palette.setColor(QPalette::WindowText, colour);
    palette.setColor(QPalette::Text, colour);
    control->setPalette(palette);
}

// A screen reader is told of a new name only when there is one: not at every key.
void setSpokenName(QWidget* control, const QString& name)
{
    if (control && control->accessibleName() != name) {
        control->setAccessibleName(name);
    }
}

// Puts the radio mark on the item of that id among the popup's items in [first, last].
void markAmong(const QMenu* popup, int first, int last, int marked)
{
    for (QAction* item : BottomMenuBar::items(popup)) {
        const int id = BottomMenuBar::itemCommandId(item);
        if (id >= first && id <= last) {
            item->setCheckable(true);
            item->setChecked(id == marked);
        }
    }
}

/**
 * Calls back with the row under a finger or button held still on a list for the desktop's press and
 * hold time; a drag (which scrolls the list) or a release before then is no hold.
 */
class RowHold : public QObject
{
public:
    RowHold(QListWidget* list, std::function<void(int row, QPoint global)> held)
        : QObject(list), m_list(list), m_held(std::move(held))
    {
        m_timer.setParent(this);
        m_timer.setObjectName(QStringLiteral("rowHold"));
        m_timer.setSingleShot(true);
        m_timer.setInterval(QGuiApplication::styleHints()->mousePressAndHoldInterval());
        QObject::connect(&m_timer, &QTimer::timeout, this, [this] {
            const QListWidgetItem* item = m_list->itemAt(m_start);
            if (item != nullptr) {
                m_held(m_list->row(item), m_list->viewport()->mapToGlobal(m_start));
            }
        });
        // Installed after the scroller's filter, so it sees the press before the scroller holds it back.
        list->viewport()->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        switch (event->type()) {
        case QEvent::MouseButtonPress:
            m_start = static_cast<QMouseEvent*>(event)->position().toPoint();
            m_timer.start();
            break;
        case QEvent::MouseMove:
            if ((static_cast<QMouseEvent*>(event)->position().toPoint() - m_start).manhattanLength() >
                QApplication::startDragDistance()) {
                m_timer.stop();
            }
            break;
        case QEvent::MouseButtonRelease:
        case QEvent::Leave:
        case QEvent::Hide:
            m_timer.stop();
            break;
        default:
            break;
        }
        return QObject::eventFilter(watched, event);
    }

private:
    QListWidget* m_list;
    std::function<void(int, QPoint)> m_held;
    QTimer m_timer;
    QPoint m_start;
};
} // namespace

CConvertDlg::CConvertDlg(Rubric& rubric, UiServices services, QWidget* parent)
    : QuantaroDialog(TemplateTriple{kPortraitTemplate, kLandscapeTemplate, kSquareTemplate}, services, parent),
      m_rubric(rubric), m_choices(rubric)
{
    connectCommands();
}

CConvertDlg::~CConvertDlg() = default;

SettingsStore& CConvertDlg::settings() const
{
    if (services().settings) {
        return *services().settings;
    }
    static SettingsStore userSettings;
    return userSettings;
}

QLineEdit* CConvertDlg::inputField() const
{
    return control<QLineEdit>(kInput);
}

QListWidget* CConvertDlg::fromList() const
{
    return control<QListWidget>(kFromList);
}

QListWidget* CConvertDlg::toList() const
{
    return control<QListWidget>(kToList);
}

QLabel* CConvertDlg::resultField() const
{
    return control<QLabel>(kResult);
}

QLineEdit* CConvertDlg::searchField() const
{
    return control<QLineEdit>(kFilter);
}

void CConvertDlg::connectCommands()
{
    for (int id = kFirstKey; id <= kLastKey; ++id) {
        const QChar character(kKeypadCharacters[id - kFirstKey]);
        onCommand(id, [this, character] { typeCharacter(character); });
    }
    onCommand(kBackspace, [this] { typeBackspace(); });
    onCommand(kClear, [this] { clearInput(); });
    onCommand(kSwap, [this] { swapUnits(); });
    onCommand(kCopy, [this] { copyResult(); });
    onCommand(kPaste, [this] { pasteInput(); });
    for (int id = kFirstNotation; id <= kLastNotation; ++id) {
        onCommand(id, [this, id] { setNotation(id - kFirstNotation); });
    }
    // The placeholder shares its id with a precision: it is gone before anyone can choose it.
    for (int id = kFirstPrecision; id <= kLastPrecision; ++id) {
        onCommand(id, [this, id] { setPrecision(id - kFirstPrecision); });
    }
    for (int id = kFirstSousRubric; id <= kLastSousRubric; ++id) {
        onCommand(id, [this, id] { switchSousRubric(id - kFirstSousRubric); });
    }
    onCommand(kRecent, [this] { showRecentPairs(); });
    onCommand(kEveryUnit, [this] { toggleEveryUnit(); });
    onNotification(kInput, Notification::TextChanged, [this] {
        recompute();
        // A value typed with a pair of units is a use of that pair.
        rememberCurrentPair();
    });
    onNotification(kFilter, Notification::TextChanged, [this] { applyUnitSearch(); });
    onNotification(kFromList, Notification::SelectionChanged, [this] { recompute(); });
    onNotification(kToList, Notification::SelectionChanged, [this] { recompute(); });

    // A position means the same unit in both lists only while neither sorts.
    for (QListWidget* list : {fromList(), toList()}) {
        if (list) {
            list->setSortingEnabled(false);
            list->setSelectionMode(QAbstractItemView::SingleSelection);
            // A selection can also end without the current row changing (a control-click).
            connect(list, &QListWidget::itemSelectionChanged, this, [this] { recompute(); });
            // A unit found through the search is picked: the keyboard goes back to the value.
            connect(list, &QListWidget::itemClicked, this, [this] {
                if (QLineEdit* search = searchField(); search && search->hasFocus() && inputField()) {
                    inputField()->setFocus();
                }
            });
        }
    }
}

void CConvertDlg::groupAsRadio(const QMenu* popup, int first, int last)
{
    if (!popup) {
        return;
    }
    // An exclusive group draws its items with radio marks: one choice out of several.
    auto* group = new QActionGroup(this);
    group->setExclusionPolicy(QActionGroup::ExclusionPolicy::Exclusive);
    for (QAction* item : BottomMenuBar::items(popup)) {
        const int id = BottomMenuBar::itemCommandId(item);
        if (id >= first && id <= last) {
            item->setCheckable(true);
            group->addAction(item);
        }
    }
}

void CConvertDlg::onInitDialog()
{
    setMenuBarFromResource(m_rubric.hasSousRubrics() ? kMenuWithSousRubrics : kMenuPlain);
    if (BottomMenuBar* bar = menuBar()) {
        groupAsRadio(bar->popupByFirstItem(kFirstNotation), kFirstNotation, kLastNotation);
        groupAsRadio(bar->popupByFirstItem(kFirstPrecision), kFirstPrecision, kLastPrecision);
    }
    applyTitleAndResultLook();
    // One line a unit, so that the lists show as many as their height allows; the whole name is
    // in the tooltip and in the pair line once chosen.
    for (QListWidget* list : {fromList(), toList()}) {
        if (list) {
            list->setWordWrap(false);
            list->setTextElideMode(Qt::ElideRight);
            list->setUniformItemSizes(true);
        }
    }
    if (QListWidget* list = toList()) {
        // In every-unit mode a row held still copies its value.
        new RowHold(list, [this](int row, QPoint where) {
            if (copyRowValue(row)) {
                const QString value = toList()->item(row)->data(kRowValueRole).toString();
                QToolTip::showText(where, withValue(string(kRowCopiedString), value), toList());
            }
        });
    }
    m_search = UnitSearchIndex(m_rubric);
    applyColours();
    m_swapButton = new CStretchBitmapButton(this);
    m_swapButton->AttachAndLoad(kSwap, this, &resources());
    nameControls();
    // Before the settings: remembered units and recent pairs may name units renamed since.
    m_formerNames = FormerUnitNames::fromResources(resources());
    m_firstPairs = FirstPairs::fromResources(resources());
    m_region = userRegion();
    readSettings();
    fillUnitLists(false);
    m_initialised = true;
    // The value field keeps the keyboard: a tap on a key, a list or any other control of the window
    // never takes the focus, so typing on a hardware keyboard after a tap still reaches the field.
    // Only the Tab key moves the focus to them, for a person who works the window without a pointer.
    if (QLabel* shown = resultField()) {
        // The result is read only but can be selected and copied, with the pointer or, once Tab
        // reached it, with the keyboard.
        shown->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
        shown->setFocusPolicy(Qt::TabFocus);
    }
    const QList<QWidget*> focusable = findChildren<QWidget*>(); // the menu bar and swap button too
    for (QWidget* widget : focusable) {
        // A list's viewport hands its focus policy on to the list: it follows the list.
        if (widget != inputField() && !qobject_cast<QLineEdit*>(widget) && !widget->focusProxy()) {
            const bool tabStop = (widget->focusPolicy() & Qt::TabFocus) != 0 && !qobject_cast<QScrollBar*>(widget);
            widget->setFocusPolicy(tabStop ? Qt::TabFocus : Qt::NoFocus);
        }
    }
    if (QLineEdit* field = inputField()) {
        field->setFocus();
    }
}

void CConvertDlg::applyTitleAndResultLook()
{
    QLabel* title = control<QLabel>(kTitle);
    if (!title) {
        return;
    }
    QFont bold = title->font();
    bold.setWeight(QFont::Weight(kBoldWeight));
    m_titleFont = bold;
    setDesignFont(title, m_titleFont);
    if (QLabel* shown = resultField()) {
        // The result takes the title's bold font, but never smaller than its own template gives it.
        QFont resultFont = bold;
        if (shown->font().pointSizeF() > resultFont.pointSizeF()) {
            resultFont.setPointSizeF(shown->font().pointSizeF());
        }
        m_resultFont = resultFont;
        setDesignFont(shown, m_resultFont);
    }
}

void CConvertDlg::applyColours()
{
    if (QLabel* title = control<QLabel>(kTitle)) {
        setTextColour(title, kTitleColour);
    }
    for (const int id : {kResult, kUnit}) {
        if (QLabel* label = control<QLabel>(id)) {
            setTextColour(label, kResultColour);
        }
    }
}

void CConvertDlg::changeEvent(QEvent* event)
{
    QuantaroDialog::changeEvent(event);
    // The desktop changed its theme: the specified colours are measured against the new window.
    if (event->type() == QEvent::PaletteChange && m_initialised) {
        applyColours();
    }
}

void CConvertDlg::nameControls()
{
    // The keys whose marks a screen reader would read as symbols, or not at all, say what they do;
    // the digits say themselves.
    speakAs(*this, {{kInput, spoken::kValue, spoken::kValueHint},
                    {kFromList, spoken::kFrom},
                    {kToList, spoken::kTo},
                    {kResult, spoken::kResult},
                    {kSwap, spoken::kSwap, spoken::kSwapHint},
                    {kFirstKey + 10, spoken::kPoint},
                    {kFirstKey + 11, spoken::kMinus},
                    {kFirstKey + 12, spoken::kPlus},
                    {kFirstKey + 13, spoken::kMultiply},
                    {kFirstKey + 14, spoken::kDivide},
                    {kFirstKey + 15, spoken::kExponent},
                    {kBackspace, spoken::kBackspace},
                    {kClear, spoken::kClear},
                    {kFilter, spoken::kFilter, spoken::kFilterHint},
                    {kRecent, spoken::kRecent}});
    nameClearButton(*this, searchField());
    // The pair line and the unit beside the result say their own (changing) texts; what they are
    // for is their description.
    for (const auto& [id, description] : {std::pair{kPair, spoken::kPair}, std::pair{kUnit, spoken::kUnit}}) {
        if (QWidget* shown = control(id)) {
            shown->setAccessibleDescription(string(description));
        }
    }
    if (QLabel* shown = resultField()) {
        m_announcer = new PauseAnnouncer(shown, this);
    }
}

void CConvertDlg::announceResult(int to)
{
    QLabel* shown = resultField();
    if (!m_announcer || !shown) {
        return;
    }
    // Said with the unit's whole name: a symbol such as "km" would be spelled out letter by letter.
    QString spokenText = string(spoken::kResult);
    if (!shown->text().isEmpty() && to >= 0) {
        const QString value = shown->text() + QLatin1Char(' ') + m_rubric.unit(to).name();
        const QString format = string(spoken::kResultIs);
        spokenText = format.contains(kValuePlace) ? withValue(format, value) : spokenText + QLatin1Char(' ') + value;
    }
    m_announcer->changed(spokenText);
}

void CConvertDlg::readSettings()
{
    m_choices.read(settings(), &m_formerNames);
}

std::optional<int> CConvertDlg::sousRubricSuffix() const
{
    return m_choices.sousRubricSuffix();
}

QString CConvertDlg::unitNameOf(const QListWidgetItem* item) const
{
    // A row's text may hold a value before the name (every-unit mode): the unit index names it.
    bool ok = false;
    const int index = item ? item->data(kUnitIndexRole).toInt(&ok) : -1;
    return (ok && index >= 0 && index < m_rubric.unitCount()) ? m_rubric.unit(index).name() : QString();
}

int CConvertDlg::selectedUnit(QListWidget* list) const
{
    if (!list) {
        return -1;
    }
    const QList<QListWidgetItem*> selected = list->selectedItems();
    if (selected.isEmpty()) {
        return -1;
    }
    bool ok = false;
    const int index = selected.first()->data(kUnitIndexRole).toInt(&ok);
    return (ok && index >= 0 && index < m_rubric.unitCount()) ? index : -1;
}

void CConvertDlg::recompute()
{
    if (m_filling) {
        return;
    }
    QLabel* shown = resultField();
    QLineEdit* field = inputField();
    if (!shown || !field) {
        return;
    }
    shown->clear();
    QLabel* symbol = control<QLabel>(kUnit);
    if (symbol) {
        symbol->clear();
    }
    const QString text = field->text();
    const int from = selectedUnit(fromList());
    const int to = selectedUnit(toList());
    showPairLine(from, to);
    showEveryUnit(text, from);
    // A search that leaves a list empty leaves nothing to convert between on the screen.
    if (text.isEmpty() || from < 0 || to < 0 || !m_unitsOnShow) {
        setSpokenName(symbol, QString());
        announceResult(-1);
        return;
    }
    shown->setText(
        convertValue(text, m_rubric.unit(from), m_rubric.unit(to), m_choices.notation(), m_choices.precision()));
    announceResult(to);
    // A long result on a small screen is better small than cut.
    fitText(shown, kSmallestResultPoints, fontscale::kSmallestPoints);
    if (symbol && !shown->text().isEmpty()) {
        const QString& target = m_rubric.unit(to).name();
        const QString unitText = unitShortName(target);
        symbol->setText(symbol->fontMetrics().elidedText(unitText, Qt::ElideRight, symbol->contentsRect().width()));
        symbol->setToolTip(target);
        setSpokenName(symbol, target);
    } else if (symbol) {
        setSpokenName(symbol, QString());
    }
}

void CConvertDlg::showEveryUnit(const QString& text, int from)
{
    QListWidget* list = toList();
    const bool values = m_everyUnit && !text.isEmpty() && from >= 0;
    if (!list || (!values && !m_rowsHoldValues)) {
        return;
    }
    m_rowsHoldValues = values;
    const UnitRecord* source = from >= 0 ? &m_rubric.unit(from) : nullptr;
    for (int row = 0; row < list->count(); ++row) {
        QListWidgetItem* item = list->item(row);
        bool ok = false;
        const int index = item->data(kUnitIndexRole).toInt(&ok);
        if (!ok || index < 0 || index >= m_rubric.unitCount()) {
            continue;
        }
        const UnitRecord& unit = m_rubric.unit(index);
        // Rows the search hides are filled once it shows them again: it recomputes.
        const QString value = values && !item->isHidden()
                                  ? convertValue(text, *source, unit, m_choices.notation(), m_choices.precision())
                                  : QString();
        const QString shown = value.isEmpty() ? unit.name() : value + kValueUnitBreak + unit.name();
        if (item->text() != shown) {
            item->setText(shown);
            // Said as "value unit"; the unit's name alone once there is no value.
            item->setData(Qt::AccessibleTextRole,
                          value.isEmpty() ? QVariant() : QVariant(value + QLatin1Char(' ') + unit.name()));
            item->setData(kRowValueRole, value.isEmpty() ? QVariant() : QVariant(value));
        }
    }
}

void CConvertDlg::toggleEveryUnit()
{
    m_everyUnit = !m_everyUnit;
    fitRowsToScale();
    if (QListWidget* list = toList()) {
        setSpokenName(list, string(m_everyUnit ? spoken::kEveryUnit : spoken::kTo));
        list->setAccessibleDescription(m_everyUnit ? string(spoken::kEveryUnitHint) : QString());
    }
    recompute();
    // The rows changed their height: the chosen target stays in view.
    if (QListWidget* list = toList(); list && !list->selectedItems().isEmpty()) {
        list->scrollToItem(list->selectedItems().first());
    }
}

bool CConvertDlg::copyRowValue(int row)
{
    QListWidget* list = toList();
    const QListWidgetItem* item =
        list && m_rowsHoldValues && row >= 0 && row < list->count() ? list->item(row) : nullptr;
    const QString value = item ? item->data(kRowValueRole).toString() : QString();
    // A row without a value would only wipe what the clipboard held.
    if (value.isEmpty() || !QGuiApplication::clipboard()) {
        return false;
    }
    QGuiApplication::clipboard()->setText(value);
    if (m_announcer) {
        m_announcer->changed(withValue(string(kRowCopiedString), value + QLatin1Char(' ') + unitNameOf(item)));
    }
    return true;
}

void CConvertDlg::showPairLine(int from, int to)
{
    QLabel* line = control<QLabel>(kPair);
    if (!line) {
        return;
    }
    // Typing recomputes at every key: the line is only laid out again when the pair or its room changed.
    const PairLineState shown{from, to, line->size()};
    if (shown == m_pairLineShown) {
        return;
    }
    m_pairLineShown = shown;
    const QString fromName = from >= 0 ? m_rubric.unit(from).name() : kNoUnit;
    const QString toName = to >= 0 ? m_rubric.unit(to).name() : kNoUnit;
    // A currency rate past its age says so after the names, and keeps its room when they are shortened.
    const QString note = pairRateNote(m_rubric, from, to, services().settings, string(kStaleRateString));
    QString text = fromName + kPairArrow + toName + note;
    line->setText(text);
    fitText(line, kSmallestPairPoints, kSmallestPairPoints);
    const QFontMetrics metrics(line->font());
    const int room = line->contentsRect().width();
    if (metrics.horizontalAdvance(text) > room) {
        // Each name gets half of what the arrow and the note leave, so both ends stay readable.
        const int half =
            std::max(0, (room - metrics.horizontalAdvance(kPairArrow) - metrics.horizontalAdvance(note)) / 2);
        text = metrics.elidedText(fromName, Qt::ElideRight, half) + kPairArrow +
               metrics.elidedText(toName, Qt::ElideRight, half) + note;
    }
    line->setText(text);
    line->setToolTip(fromName + kPairArrow + toName + note);
    // Spoken whole, not as the shortened names that fit the line.
    setSpokenName(line, line->toolTip());
}

QString CConvertDlg::selectedName(QListWidget* list) const
{
    const QList<QListWidgetItem*> selected = list ? list->selectedItems() : QList<QListWidgetItem*>();
    return selected.isEmpty() ? QString() : unitNameOf(selected.first());
}

void CConvertDlg::addSelections(SettingsChanges& changes, std::optional<int> sousRubric) const
{
    m_choices.addSelections(changes, sousRubric, selectedName(fromList()), selectedName(toList()));
}

void CConvertDlg::saveSelections(std::optional<int> sousRubric)
{
    SettingsChanges changes;
    addSelections(changes, sousRubric);
    tellIfNotSaved(settings().write(changes), settings());
}

bool CConvertDlg::selectByName(QListWidget* list, const QString& name)
{
    for (int row = 0; list && row < list->count(); ++row) {
        if (unitNameOf(list->item(row)) == name) {
            list->setCurrentRow(row);
            list->scrollToItem(list->item(row));
            return true;
        }
    }
    return false;
}

void CConvertDlg::selectRemembered(QListWidget* list, const QString& name)
{
    if (!list || name.isEmpty()) {
        return;
    }
    for (int row = 0; row < list->count(); ++row) {
        if (unitNameOf(list->item(row)).startsWith(name, Qt::CaseInsensitive)) {
            list->setCurrentRow(row);
            list->scrollToItem(list->item(row));
            return;
        }
    }
}

void CConvertDlg::fillUnitLists(bool saveFirst, int leftSousRubric)
{
    if (saveFirst) {
        saveSelections(m_rubric.hasSousRubrics() ? std::optional<int>(leftSousRubric) : std::nullopt);
    }
    QListWidget* from = fromList();
    QListWidget* to = toList();
    if (!from || !to) {
        return;
    }
    m_filling = true;
    from->clear();
    to->clear();
    for (int i = 0; i < m_rubric.unitCount(); ++i) {
        const UnitRecord& unit = m_rubric.unit(i);
        if (unit.hidden() || (m_rubric.hasSousRubrics() && !unit.belongsToSousRubric(m_choices.sousRubric()))) {
            continue;
        }
        for (QListWidget* list : {from, to}) {
            auto* item = new QListWidgetItem(unit.name());
            item->setData(kUnitIndexRole, i);
            // Narrow lists cut long names short: the whole name is a touch and hold away.
            item->setToolTip(unit.name());
            list->addItem(item);
        }
    }
    // Filling leaves a current row behind in Qt; only the remembered units are selected.
    from->setCurrentRow(-1);
    to->setCurrentRow(-1);
    // A unit renamed since it was remembered is still the one the person chose.
    selectRemembered(from, m_formerNames.current(m_choices.rememberedFrom(settings())));
    selectRemembered(to, m_formerNames.current(m_choices.rememberedTo(settings())));
    selectFirstPair();
    applyUnitSearch();
    m_filling = false;
}

void CConvertDlg::selectFirstPair()
{
    // With nothing remembered on show, the pair people of the user's region convert most is chosen,
    // so that a typed value converts at once; where the user hid one of its units, the first units
    // on show stand in.
    QListWidget* from = fromList();
    QListWidget* to = toList();
    const std::optional<UnitPair> pair = m_firstPairs.pairFor(m_rubric, sousRubricSuffix(), m_region);
    if (from && from->selectedItems().isEmpty() && !(pair && selectByName(from, pair->from)) && from->count() > 0) {
        from->setCurrentRow(0);
    }
    if (to && to->selectedItems().isEmpty() && !(pair && selectByName(to, pair->to)) && to->count() > 0) {
        // The first unit on show that is not the source, so that a value converts into another unit.
        const int source = from && !from->selectedItems().isEmpty() ? from->row(from->selectedItems().first()) : -1;
        to->setCurrentRow(source == 0 ? std::min(1, to->count() - 1) : 0);
    }
}

void CConvertDlg::setUnitSearch(const QString& text)
{
    if (QLineEdit* search = searchField()) {
        search->setText(text); // applies it through the field's change notification
    }
}

void CConvertDlg::addSearchWords()
{
    // Every word people know a unit by finds it too ("meter", "feet", "mph").
    m_search.addWords(m_rubric, Lexicon::fromResources(resources()));
}

void CConvertDlg::applyUnitSearch()
{
    const QString key = searchKey(searchField() ? searchField()->text() : QString());
    if (!key.isEmpty() && !m_search.hasWords()) {
        addSearchWords();
    }
    m_unitsOnShow = true;
    for (QListWidget* list : {fromList(), toList()}) {
        if (!list) {
            continue;
        }
        int shown = 0;
        for (int row = 0; row < list->count(); ++row) {
            QListWidgetItem* item = list->item(row);
            const int index = item->data(kUnitIndexRole).toInt();
            const bool matches = m_search.matches(index, key);
            item->setHidden(!matches);
            shown += matches ? 1 : 0;
        }
        m_unitsOnShow = m_unitsOnShow && shown > 0;
        // The chosen unit stays in view when the search lets it; otherwise the list starts at its top.
        const QList<QListWidgetItem*> selected = list->selectedItems();
        if (!selected.isEmpty() && !selected.first()->isHidden()) {
            list->scrollToItem(selected.first());
        } else {
            list->scrollToTop();
        }
    }
    recompute();
}

void CConvertDlg::rememberCurrentPair()
{
    if (resultField() && resultField()->text().isEmpty()) {
        return;
    }
    const int from = selectedUnit(fromList());
    const int to = selectedUnit(toList());
    if (from >= 0 && to >= 0) {
        m_choices.recentPairs().use({m_rubric.unit(from).name(), m_rubric.unit(to).name()});
    }
}

QList<UnitPair> CConvertDlg::offeredRecentPairs() const
{
    // Units hidden since, or of another sub-category, are not in the lists and are not offered.
    auto listed = [this](const QString& name) {
        return fromList() && !fromList()->findItems(name, Qt::MatchExactly).isEmpty();
    };
    QList<UnitPair> offered;
    for (const UnitPair& pair : m_choices.recentPairs().pairs()) {
        if (listed(pair.from) && listed(pair.to)) {
            offered.append(pair);
        }
    }
    return offered;
}

void CConvertDlg::chooseRecentPair(const UnitPair& pair)
{
    m_filling = true;
    const bool found = selectByName(fromList(), pair.from) && selectByName(toList(), pair.to);
    m_filling = false;
    if (found) {
        m_choices.recentPairs().use(pair);
    }
    recompute();
}

bool CConvertDlg::showConversion(const UnitPair& pair, const QString& value)
{
    m_filling = true;
    const bool found = selectByName(fromList(), pair.from) && selectByName(toList(), pair.to);
    m_filling = false;
    recompute();
    if (found && inputField()) {
        inputField()->setText(value); // recorded as a recent pair once its result is on show
    }
    return found;
}

void CConvertDlg::showRecentPairs()
{
    auto* menu = new QMenu(this);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->setStyle(touchMenuStyle());
    keepTextsReadable(menu);
    const QList<UnitPair> offered = offeredRecentPairs();
    for (const UnitPair& pair : offered) {
        QAction* item = menu->addAction(pair.from + kPairArrow + pair.to);
        connect(item, &QAction::triggered, this, [this, pair] { chooseRecentPair(pair); });
    }
    if (offered.isEmpty()) {
        menu->addAction(string(kNoRecentPairsString))->setEnabled(false);
    }
    BottomMenuBar::fitToScreenWidth(menu);
    QWidget* button = control<QWidget>(kRecent);
    menu->popup(button ? button->mapToGlobal(QPoint(0, button->height())) : QCursor::pos());
}

void CConvertDlg::fitRowsToScale()
{
    for (QListWidget* list : {fromList(), toList()}) {
        if (!list) {
            continue;
        }
        const int scaled = qRound(kDesignRowHeight * layoutScale(list));
        const int height = std::max(scaled, list->fontMetrics().height() + kRowTextPadding);
        if (list == toList() && m_everyUnit) {
            // A value over its unit's name: some air and a rule keep one row's two lines together.
            list->setStyleSheet(QStringLiteral("QListWidget::item { min-height: %1px; padding: %2px 0px; "
                                               "border-bottom: 1px solid palette(mid); }"
                                               "QListWidget::item:selected { background: palette(highlight); "
                                               "color: palette(highlighted-text); }")
                                    .arg(height)
                                    .arg(kRowTextPadding / 2));
            continue;
        }
        list->setStyleSheet(QStringLiteral("QListWidget::item { min-height: %1px; }").arg(height));
    }
}

void CConvertDlg::refreshTitle()
{
    if (QLabel* title = control<QLabel>(kTitle)) {
        const QString whole =
            m_rubric.hasSousRubrics() && m_choices.sousRubric() < m_rubric.sousRubricCount()
                ? QStringLiteral("%1\n(%2)").arg(m_rubric.name(), m_rubric.sousRubric(m_choices.sousRubric()))
                : m_rubric.name();
        showWithoutShrinkingBelow(title, whole, kLargeBoldTextPoints);
        // A title cut short is whole in its tooltip and for a screen reader.
        title->setToolTip(title->text() == whole ? QString() : whole);
        const QString spokenTitle = QString(whole).replace(QLatin1Char('\n'), QLatin1Char(' '));
        setSpokenName(title, spokenTitle);
        // A screen reader reads a window's name as it opens, but not a one-word label in it.
        setSpokenName(this, windowTitle() + QStringLiteral(", ") + spokenTitle);
    }
    recompute();
}

void CConvertDlg::afterRelayout()
{
    // A re-layout may scale the line's font without changing its size.
    m_pairLineShown.reset();
    fitRowsToScale();
    refreshTitle();
    // The lists were filled at the template's size: the chosen units come into view at the new one.
    for (QListWidget* list : {fromList(), toList()}) {
        if (list && !list->selectedItems().isEmpty()) {
            list->scrollToItem(list->selectedItems().first());
        }
    }
}

void CConvertDlg::typeCharacter(QChar character)
{
    if (QLineEdit* field = inputField()) {
        // insert() replaces the selection and goes through the field's own editing, as typing does.
        field->insert(QString(character));
    }
}

void CConvertDlg::typeBackspace()
{
    if (QLineEdit* field = inputField()) {
        field->backspace();
    }
}

void CConvertDlg::clearInput()
{
    if (QLineEdit* field = inputField()) {
        field->clear();
    }
    if (QLabel* shown = resultField()) {
        shown->clear();
    }
    announceResult(-1);
}

void CConvertDlg::swapUnits()
{
    QListWidget* from = fromList();
    QListWidget* to = toList();
    if (!from || !to || from->selectedItems().isEmpty() || to->selectedItems().isEmpty()) {
        return;
    }
    const int fromRow = from->row(from->selectedItems().first());
    const int toRow = to->row(to->selectedItems().first());
    m_filling = true;
    from->setCurrentRow(toRow);
    to->setCurrentRow(fromRow);
    m_filling = false;
    recompute();
}

void CConvertDlg::copyResult()
{
    const QString text = resultField() ? resultField()->text() : QString();
    // An empty result would only wipe what the clipboard held.
    if (text.isEmpty()) {
        return;
    }
    if (QClipboard* clipboard = QGuiApplication::clipboard()) {
        clipboard->setText(text);
    }
}

void CConvertDlg::pasteInput()
{
    QLineEdit* field = inputField();
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (!field || !clipboard) {
        return;
    }
    const QMimeData* offered = clipboard->mimeData();
    if (!offered || !offered->hasText()) {
        return;
    }
    field->clear();
    field->paste();
}

void CConvertDlg::setNotation(int notation)
{
    m_choices.setNotation(notation);
    recompute();
}

void CConvertDlg::setPrecision(int precision)
{
    m_choices.setPrecision(precision);
    recompute();
}

void CConvertDlg::switchSousRubric(int sousRubric)
{
    if (!m_rubric.hasSousRubrics() || sousRubric < 0 || sousRubric >= m_rubric.sousRubricCount()) {
        return;
    }
    const int left = m_choices.sousRubric();
    rememberCurrentPair();
    m_choices.setSousRubric(sousRubric);
    // The selections and recent pairs are stored under the sub-category left before the new one's are read.
    fillUnitLists(true, left);
    m_choices.loadRecentPairs(settings(), &m_formerNames);
    refreshTitle();
}

void CConvertDlg::replacePlaceholder(QMenu* popup)
{
    BottomMenuBar* bar = menuBar();
    if (!bar || m_sousRubricPopup || BottomMenuBar::firstItemId(popup) != kSousRubricPlaceholder) {
        return;
    }
    bar->removeItem(popup, kSousRubricPlaceholder);
    for (int n = 0; n < m_rubric.sousRubricCount(); ++n) {
        bar->appendItem(popup, kFirstSousRubric + n, m_rubric.sousRubric(n));
    }
    m_sousRubricPopup = popup;
    groupAsRadio(popup, kFirstSousRubric, kFirstSousRubric + m_rubric.sousRubricCount() - 1);
}

void CConvertDlg::markMenuItems()
{
    BottomMenuBar* bar = menuBar();
    if (!bar) {
        return;
    }
    bar->setItemEnabled(kCopy, resultField() && !resultField()->text().isEmpty());
    bar->setItemChecked(kEveryUnit, m_everyUnit);
    const QMimeData* clipboard = QGuiApplication::clipboard() ? QGuiApplication::clipboard()->mimeData() : nullptr;
    bar->setItemEnabled(kPaste, clipboard && clipboard->hasText());

    for (const QMenu* popup : bar->allMenus()) {
        markAmong(popup, kFirstNotation, kLastNotation, kFirstNotation + m_choices.notation());
    }
    // Precision 6 and the placeholder share an id: the precision items are found in their own popup.
    markAmong(bar->popupByFirstItem(kFirstPrecision), kFirstPrecision, kLastPrecision,
              kFirstPrecision + m_choices.precision());
    if (m_rubric.hasSousRubrics() && m_sousRubricPopup) {
        markAmong(m_sousRubricPopup, kFirstSousRubric, kFirstSousRubric + m_rubric.sousRubricCount() - 1,
                  kFirstSousRubric + m_choices.sousRubric());
    }
}

void CConvertDlg::onPopupAboutToShow(QMenu* popup)
{
    replacePlaceholder(popup);
    markMenuItems();
}

void CConvertDlg::onOk()
{
    closeWindow();
}

void CConvertDlg::onCancel()
{
    closeWindow();
}

void CConvertDlg::closeWindow()
{
    saveSettings();
    done(QDialog::Rejected);
}

void CConvertDlg::saveSettings()
{
    // A window closed before it ever opened has nothing of the user's to keep: it must not wipe
    // the remembered values with its empty lists.
    if (!m_initialised) {
        return;
    }
    SettingsChanges changes;
    rememberCurrentPair();
    m_choices.addAll(changes, selectedName(fromList()), selectedName(toList()));
    tellIfNotSaved(settings().write(changes), settings());
}

} // namespace quantaro
