#pragma once

#include "catalogue/rubric.h"
#include "generated/ids/options.h"
#include "ui/quantarodialog.h"

class QComboBox;
class QListWidget;
class QListWidgetItem;

namespace quantaro {

/** Template, menu and control numbers of the hidden-units window. */
namespace options {
inline constexpr TemplateTriple kTemplates{kPortraitTemplate, kLandscapeTemplate, kSquareTemplate};
inline constexpr int kMenu = 3002;
/** What a screen reader calls the category choice and the unit list: module strings. */
inline constexpr int kRubricComboName = 1332;
inline constexpr int kUnitListName = 1333;
/** Item data role of a unit row: the unit's index in its category. */
inline constexpr int kUnitIndexRole = Qt::UserRole;
} // namespace options

/**
 * The hidden-units window: one category at a time, chosen in a combo box, as a list of its units
 * with a check box each (checked = offered in the conversion window). It edits its own copy of the
 * catalogue; OK rewrites every category's hidden-unit list in the settings, Cancel writes nothing.
 * The opener reloads its catalogue after OK, so nothing here touches the catalogue itself.
 */
class COptionsDlg : public QuantaroDialog
{
    Q_OBJECT
public:
    COptionsDlg(const Catalogue& catalogue, UiServices services, QWidget* parent = nullptr);

    /** The copy the window edits; only its hidden flags change. */
    const Catalogue& catalogueCopy() const { return m_catalogueCopy; }

    /** Refills the unit list from the category selected in the combo box. */
    void FillUnitList();
    /** Shows (false) or hides (true) every unit of the selected category. */
    void SetAllHidden(bool hidden);

protected:
    void onInitDialog() override;
    void onOk() override;

private:
    void setUpUnitList();
    void unitChanged(QListWidgetItem* item);
    void rowPressed(QListWidgetItem* item);
    void rowClicked(QListWidgetItem* item);
    /** The selected category, or null when the combo box has no valid selection. */
    Rubric* selectedRubric();

    QComboBox* m_combo = nullptr;
    QListWidget* m_list = nullptr;
    Catalogue m_catalogueCopy;
    bool m_filling = false;
    QListWidgetItem* m_pressedItem = nullptr;
    Qt::CheckState m_pressedState = Qt::Unchecked;
};

} // namespace quantaro
