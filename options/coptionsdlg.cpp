#include "options/coptionsdlg.h"

#include "app/settingsstore.h"
#include "options/hiddenunitlists.h"
#include "ui/spokentext.h"

#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QSignalBlocker>

namespace quantaro {

namespace {

/** A unit row, sorted by its text without regard to case (then by case, then by unit index). */
class UnitRow final : public QListWidgetItem
{
public:
    UnitRow(const QString& text, int unitIndex) : QListWidgetItem(text, nullptr, QListWidgetItem::UserType)
    {
        setData(options::kUnitIndexRole, unitIndex);
    }

    bool operator<(const QListWidgetItem& other) const override
    {
        const int folded = text().compare(other.text(), Qt::CaseInsensitive);
        if (folded != 0) {
            return folded < 0;
        }
        if (text() != other.text()) {
            return text() < other.text();
        }
        return data(options::kUnitIndexRole).toInt() < other.data(options::kUnitIndexRole).toInt();
    }
};

} // namespace

COptionsDlg::COptionsDlg(const Catalogue& catalogue, UiServices services, QWidget* parent)
    : QuantaroDialog(options::kTemplates, services, parent), m_combo(control<QComboBox>(options::kRubricCombo)),
      m_list(control<QListWidget>(options::kUnitList)), m_catalogueCopy(catalogue)
{
    onNotification(options::kRubricCombo, Notification::SelectionChanged, [this] { FillUnitList(); });
    onCommand(options::kShowAll, [this] { SetAllHidden(false); });
    onCommand(options::kHideAll, [this] { SetAllHidden(true); });
    if (m_list != nullptr) {
        connect(m_list, &QListWidget::itemChanged, this, &COptionsDlg::unitChanged);
        connect(m_list, &QListWidget::itemPressed, this, &COptionsDlg::rowPressed);
        connect(m_list, &QListWidget::itemClicked, this, &COptionsDlg::rowClicked);
    }
}

void COptionsDlg::onInitDialog()
{
    setMenuBarFromResource(options::kMenu);
    setUpUnitList();
    speakAs(*this, {{options::kRubricCombo, options::kRubricComboName}, {options::kUnitList, options::kUnitListName}});
    if (auto* hint = control<QLabel>(options::kTickHint); hint && m_list) {
        m_list->setAccessibleDescription(hint->text());
    }
    if (m_combo != nullptr) {
        // The list is filled once below, not for every name added.
        const QSignalBlocker blocker(m_combo);
        m_combo->clear();
        for (const Rubric& rubric : m_catalogueCopy) {
            m_combo->addItem(rubric.name());
        }
        m_combo->setCurrentIndex(0);
    }
    FillUnitList();
}

void COptionsDlg::setUpUnitList()
{
    if (m_list == nullptr) {
        return;
    }
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_list->setTextElideMode(Qt::ElideRight);
    // A long unit name takes a second line on a narrow screen instead of losing its symbol.
    wrapRows(m_list);
    m_list->setSortingEnabled(true);
}

Rubric* COptionsDlg::selectedRubric()
{
    const int index = m_combo != nullptr ? m_combo->currentIndex() : -1;
    if (index < 0 || index >= kRubricCount) {
        return nullptr;
    }
    return &m_catalogueCopy[static_cast<size_t>(index)];
}

void COptionsDlg::FillUnitList()
{
    if (m_list == nullptr) {
        return;
    }
    m_filling = true;
    m_pressedItem = nullptr;
    m_list->clear();
    if (const Rubric* rubric = selectedRubric()) {
        for (int u = 0; u < rubric->unitCount(); ++u) {
            const UnitRecord& unit = rubric->unit(u);
            auto* row = new UnitRow(unit.name(), u);
            row->setFlags(row->flags() | Qt::ItemIsUserCheckable);
            row->setCheckState(unit.hidden() ? Qt::Unchecked : Qt::Checked);
            m_list->addItem(row);
        }
    }
    m_filling = false;
}

void COptionsDlg::SetAllHidden(bool hidden)
{
    if (Rubric* rubric = selectedRubric()) {
        for (int u = 0; u < rubric->unitCount(); ++u) {
            rubric->unit(u).setHidden(hidden);
        }
    }
    FillUnitList();
}

void COptionsDlg::unitChanged(QListWidgetItem* item)
{
    Rubric* rubric = selectedRubric();
    if (m_filling || rubric == nullptr || item == nullptr) {
        return;
    }
    bool known = false;
    const int u = item->data(options::kUnitIndexRole).toInt(&known);
    if (!known || u < 0 || u >= rubric->unitCount()) {
        return;
    }
    rubric->unit(u).setHidden(item->checkState() != Qt::Checked);
}

// A row is a touch target as a whole: a tap anywhere on it flips its check box, unless the tap hit
// the box itself, which has flipped it already.
void COptionsDlg::rowPressed(QListWidgetItem* item)
{
    m_pressedItem = item;
    m_pressedState = item != nullptr ? item->checkState() : Qt::Unchecked;
}

void COptionsDlg::rowClicked(QListWidgetItem* item)
{
    if (item != nullptr && item == m_pressedItem && item->checkState() == m_pressedState) {
        item->setCheckState(m_pressedState == Qt::Checked ? Qt::Unchecked : Qt::Checked);
    }
    m_pressedItem = nullptr;
}

void COptionsDlg::onOk()
{
    if (SettingsStore* settings = services().settings) {
        tellIfNotSaved(writeHiddenUnitLists(m_catalogueCopy, *settings));
    }
    QuantaroDialog::onOk();
}

} // namespace quantaro
