#include "currency/cmanualcurrenciesdlg.h"

#include "app/settingsstore.h"
#include "catalogue/currencyunits.h"
#include "catalogue/lexicon.h"
#include "catalogue/rubric.h"
#include "ui/spokentext.h"
#include "ui/waitcursor.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QSignalBlocker>
#include <algorithm>

namespace quantaro {

QString filterRate(const QString& typed)
{
    QString rate;
    rate.reserve(typed.size());
    for (QChar c : typed) {
        if (c == QLatin1Char(',')) {
            c = QLatin1Char('.');
        }
        if (c == QLatin1Char('.') || (c >= QLatin1Char('0') && c <= QLatin1Char('9'))) {
            rate.append(c);
        }
    }
    return rate;
}

CManualCurrenciesDlg::CManualCurrenciesDlg(UiServices services, const Rubric& currencies, QWidget* parent)
    : QuantaroDialog(manualrates::kTemplate, services, parent), m_currencies(currencies)
{
    onNotification(manualrates::kCurrencyCombo, Notification::SelectionChanged, [this] { selectionChanged(); });
    onCommand(manualrates::kLockBox, [this] { lockClicked(); });
    onNotification(manualrates::kRateEdit, Notification::TextChanged, [this] { rateChanged(); });
    onNotification(manualrates::kSearchField, Notification::TextChanged, [this] { applySearch(); });
}

void CManualCurrenciesDlg::onInitDialog()
{
    WaitCursor wait;
    setMenuBarFromResource(manualrates::kMenu);
    auto* combo = control<QComboBox>(manualrates::kCurrencyCombo);
    if (auto* edit = control<QLineEdit>(manualrates::kRateEdit)) {
        edit->setMaxLength(manualrates::kRateMaxLength);
    }
    // Each caption names its control for a screen reader, as a label beside a field does for the eye.
    for (const auto& [caption, field] : {std::pair{manualrates::kCurrencyCaption, manualrates::kCurrencyCombo},
                                         std::pair{manualrates::kRateCaption, manualrates::kRateEdit}}) {
        auto* label = control<QLabel>(caption);
        if (QWidget* named = control(field); label && named) {
            label->setBuddy(named);
            named->setAccessibleName(label->text());
        }
    }
    if (QWidget* search = control(manualrates::kSearchField)) {
        search->setAccessibleName(string(manualrates::kSearchName));
        search->setAccessibleDescription(string(manualrates::kSearchHint));
        nameClearButton(*this, qobject_cast<QLineEdit*>(search));
    }
    m_search = UnitSearchIndex(m_currencies);
    const SettingsStore* store = services().settings;
    // A combo box selects its first item on its own; the window starts with none selected.
    const QSignalBlocker quiet(combo);
    for (int i = 0; i < m_currencies.unitCount(); ++i) {
        const UnitRecord& unit = m_currencies.unit(i);
        const QString& code = unit.tag();
        const bool listed = std::any_of(m_entries.begin(), m_entries.end(),
                                        [&code](const CurrencyEntry& e) { return e.currencyCode == code; });
        if (code == manualrates::kBaseCurrency || listed) {
            continue;
        }
        CurrencyEntry entry;
        entry.currencyCode = code;
        const QString stored =
            store ? store->getString(settings::kCurrencies, code).left(manualrates::kStoredRateMaxLength) : QString();
        // Without a stored rate, the one the unit's formula was made from.
        const StoredRate shown = stored.isEmpty() ? StoredRate::ofFormula(unit.toBase()) : StoredRate::parse(stored);
        const QString& rate = shown.text;
        entry.locked = shown.locked;
        // The field keeps only digits and points: a rate with an exponent would lose it at the first
        // edit and be stored many times too large, so it is shown in plain decimal notation at once.
        // A plain form too long for the field would be cut, so such a rate is shown as it is.
        const QString editable = editableRateText(rate);
        entry.rateText = editable.size() <= manualrates::kRateMaxLength ? editable : rate;
        m_entries.push_back(entry);
        m_entryUnits.push_back(i);
        if (combo) {
            combo->addItem(code, static_cast<int>(m_entries.size() - 1));
        }
    }
    if (combo) {
        combo->setCurrentIndex(-1);
    }
}

CurrencyEntry* CManualCurrenciesDlg::selectedEntry()
{
    const auto* combo = control<QComboBox>(manualrates::kCurrencyCombo);
    if (!combo || combo->currentIndex() < 0) {
        return nullptr;
    }
    bool valid = false;
    const int row = combo->currentData().toInt(&valid);
    if (!valid || row < 0 || row >= static_cast<int>(m_entries.size())) {
        return nullptr;
    }
    return &m_entries[static_cast<size_t>(row)];
}

void CManualCurrenciesDlg::selectionChanged()
{
    const CurrencyEntry* entry = selectedEntry();
    if (!entry) {
        return;
    }
    if (auto* lock = control<QCheckBox>(manualrates::kLockBox)) {
        lock->setChecked(entry->locked);
    }
    if (auto* edit = control<QLineEdit>(manualrates::kRateEdit)) {
        m_filling = true;
        edit->setText(entry->rateText);
        m_filling = false;
    }
}

void CManualCurrenciesDlg::lockClicked()
{
    CurrencyEntry* entry = selectedEntry();
    const auto* lock = control<QCheckBox>(manualrates::kLockBox);
    if (!entry || !lock) {
        return;
    }
    entry->locked = lock->isChecked();
    entry->modified = true;
}

void CManualCurrenciesDlg::rateChanged()
{
    if (m_filling) {
        return;
    }
    CurrencyEntry* entry = selectedEntry();
    const auto* edit = control<QLineEdit>(manualrates::kRateEdit);
    if (!entry || !edit) {
        return;
    }
    entry->rateText = filterRate(edit->text());
    entry->modified = true;
}

void CManualCurrenciesDlg::setSearch(const QString& text)
{
    if (auto* search = control<QLineEdit>(manualrates::kSearchField)) {
        search->setText(text); // applies it through the field's change notification
    }
}

void CManualCurrenciesDlg::applySearch()
{
    auto* combo = control<QComboBox>(manualrates::kCurrencyCombo);
    const auto* search = control<QLineEdit>(manualrates::kSearchField);
    if (!combo || !search) {
        return;
    }
    const QString key = searchKey(search->text());
    if (!key.isEmpty() && !m_search.hasWords()) {
        m_search.addWords(m_currencies, Lexicon::fromResources(resources()));
    }
    const QVariant chosen = combo->currentIndex() >= 0 ? combo->currentData() : QVariant();
    {
        // Refilling changes the current item on its own; only the final choice counts.
        const QSignalBlocker quiet(combo);
        combo->clear();
        for (std::size_t row = 0; row < m_entries.size(); ++row) {
            if (m_search.matches(m_entryUnits[row], key)) {
                combo->addItem(m_entries[row].currencyCode, static_cast<int>(row));
            }
        }
        combo->setCurrentIndex(chosen.isValid() ? combo->findData(chosen) : -1);
    }
    if (combo->currentIndex() >= 0) {
        return;
    }
    if (!key.isEmpty() && combo->count() > 0) {
        // The first currency found is chosen at once, so that its rate is there without a second tap.
        combo->setCurrentIndex(0);
        return;
    }
    // Nothing chosen: the rate field and the lock belong to no currency.
    if (auto* lock = control<QCheckBox>(manualrates::kLockBox)) {
        lock->setChecked(false);
    }
    if (auto* edit = control<QLineEdit>(manualrates::kRateEdit)) {
        m_filling = true;
        edit->clear();
        m_filling = false;
    }
}

void CManualCurrenciesDlg::onOk()
{
    if (SettingsStore* store = services().settings) {
        // All changed rates in one write: on a failure every stored rate stays as it was.
        SettingsChanges changes;
        for (const CurrencyEntry& entry : m_entries) {
            if (!entry.modified) {
                continue;
            }
            if (entry.rateText.isEmpty()) {
                changes.putString(settings::kCurrencies, entry.currencyCode, std::nullopt);
            } else {
                changes.putString(settings::kCurrencies, entry.currencyCode,
                                  StoredRate{entry.rateText, entry.locked}.stored());
            }
        }
        if (!changes.isEmpty()) {
            tellIfNotSaved(store->write(changes));
        }
    }
    QuantaroDialog::onOk();
}

} // namespace quantaro
