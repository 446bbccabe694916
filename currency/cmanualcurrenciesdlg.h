#pragma once

#include "catalogue/unitsearch.h"
#include "generated/ids/manualrates.h"
#include "ui/quantarodialog.h"

#include <QString>
#include <vector>

namespace quantaro {

class Rubric;

/** Template, menu and control numbers of the manual rates window. */
namespace manualrates {
inline constexpr int kMenu = 3002;
/** The string numbers of the currency search's spoken name and hint. */
inline constexpr int kSearchName = 1030;
inline constexpr int kSearchHint = 1031;
/** Most characters typed into the rate field. */
inline constexpr int kRateMaxLength = 56;
/** Most characters taken of a stored rate, lock marker included. */
inline constexpr qsizetype kStoredRateMaxLength = 57;
/** The base currency: its rate is 1 by definition, so it is never listed. */
inline const QString kBaseCurrency = QStringLiteral("EUR");
} // namespace manualrates

/** One listed currency of the manual rates window. */
struct CurrencyEntry
{
    QString currencyCode;
    QString rateText;
    bool locked = false;
    bool modified = false;

    friend bool operator==(const CurrencyEntry&, const CurrencyEntry&) = default;
};

/** A typed rate as it is kept: every "," becomes ".", everything but digits and points goes. */
QString filterRate(const QString& typed);

/**
 * The manual rates window: lists every currency but the base one, shows and edits its rate and its
 * lock, and writes the rows the user changed to the stored rates only on OK (a locked rate with the
 * lock marker, an emptied rate by deleting its value). Cancel writes nothing. A search field narrows
 * the currency choice to the currencies whose code, name or words (country names, "naira") hold the
 * typed text, as the conversion window's unit search does.
 */
class CManualCurrenciesDlg : public QuantaroDialog
{
    Q_OBJECT
public:
    /** currencies is the currency category of the home window; it is only read. */
    CManualCurrenciesDlg(UiServices services, const Rubric& currencies, QWidget* parent = nullptr);

    const std::vector<CurrencyEntry>& entries() const { return m_entries; }
    /** Types text into the search field, as a person would. */
    void setSearch(const QString& text);

protected:
    void onInitDialog() override;
    void onOk() override;

private:
    CurrencyEntry* selectedEntry();
    void selectionChanged();
    void lockClicked();
    void rateChanged();
    void applySearch();

    const Rubric& m_currencies;
    std::vector<CurrencyEntry> m_entries;
    /** The unit of the currency category that each row of m_entries lists. */
    std::vector<int> m_entryUnits;
    /** What the search finds the currencies by; the lexicon's words join at the first search. */
    UnitSearchIndex m_search;
    bool m_filling = false;
};

} // namespace quantaro
