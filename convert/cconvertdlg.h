#pragma once

#include "catalogue/formernames.h"
#include "catalogue/unitsearch.h"
#include "convert/convertchoices.h"
#include "convert/firstpairs.h"
#include "convert/recentpairs.h"
#include "generated/ids/convertdlg.h"
#include "ui/quantarodialog.h"

#include <QFont>
#include <QSize>
#include <QString>
#include <iterator>
#include <optional>
#include <vector>

class QLabel;
class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QMenu;

namespace quantaro {

class CStretchBitmapButton;
class PauseAnnouncer;
class SettingsChanges;
class Rubric;
class SettingsStore;

/** Control ids, template and menu numbers and command ids of the conversion window (those the
 *  window templates share come from lang/ids/windows.tsv). */
namespace convertdlg {
inline constexpr int kMenuPlain = 3001;
inline constexpr int kMenuWithSousRubrics = 3004;

/** The last keypad key: one key per character of kKeypadCharacters. */
inline constexpr int kLastKey = kFirstKey + static_cast<int>(std::size(kKeypadCharacters)) - 2;

/** Shows the value in every unit on show in the target list (a checkable item of the Edit menu). */
inline constexpr int kEveryUnit = 32830;

inline constexpr int kPaste = 32773;
inline constexpr int kCopy = 32774;
inline constexpr int kFirstNotation = 32800;
inline constexpr int kLastNotation = 32802;
inline constexpr int kFirstPrecision = 32810;
inline constexpr int kLastPrecision = 32820;
/** First item of the popup that lists the sub-categories; replaced by them when it first opens. */
inline constexpr int kSousRubricPlaceholder = 32816;
inline constexpr int kFirstSousRubric = 32900;
/** The last sub-category command that is handled (the twelfth and later ones do nothing). */
inline constexpr int kLastSousRubric = 32910;

/** The module's text of the recent pairs' menu when it has none to offer. */
inline constexpr int kNoRecentPairsString = 1300;
/** Said and shown when a held row's value was copied: one %s, the value and the unit's name. */
inline constexpr int kRowCopiedString = 1340;

/** What a screen reader says for the controls: module strings. */
namespace spoken {
inline constexpr int kValue = 1310;
inline constexpr int kValueHint = 1311;
inline constexpr int kFrom = 1312;
inline constexpr int kTo = 1313;
inline constexpr int kResult = 1314;
/** The result with its value: one %s, the value and the target unit's name. */
inline constexpr int kResultIs = 1315;
inline constexpr int kSwap = 1316;
inline constexpr int kSwapHint = 1317;
inline constexpr int kPoint = 1318;
inline constexpr int kMinus = 1319;
inline constexpr int kPlus = 1320;
inline constexpr int kMultiply = 1321;
inline constexpr int kDivide = 1322;
inline constexpr int kExponent = 1323;
inline constexpr int kBackspace = 1324;
inline constexpr int kClear = 1325;
inline constexpr int kUnit = 1326;
inline constexpr int kPair = 1327;
inline constexpr int kFilter = 1328;
inline constexpr int kFilterHint = 1329;
inline constexpr int kRecent = 1330;
/** The target list while it shows the value in every unit, and how it is used. */
inline constexpr int kEveryUnit = 1341;
inline constexpr int kEveryUnitHint = 1342;
} // namespace spoken
} // namespace convertdlg

/**
 * The conversion window of one category: a value or expression typed into the input field is
 * converted from the unit picked in one list to the unit picked in the other, in the notation and
 * precision chosen in the menu, at every change. Categories with sub-categories show one
 * sub-category's units at a time. The window remembers per category (and per sub-category) the
 * chosen units, the notation, the precision and the sub-category shown.
 *
 * The rubric must stay unchanged while the window is open: its lists hold unit indexes.
 */
class CConvertDlg : public QuantaroDialog
{
    Q_OBJECT
public:
    CConvertDlg(Rubric& rubric, UiServices services, QWidget* parent = nullptr);
    ~CConvertDlg() override;

    int notation() const { return m_choices.notation(); }
    int precision() const { return m_choices.precision(); }
    int currentSousRubric() const { return m_choices.sousRubric(); }

    /** Converts the input with the selected units and shows the result (or nothing). */
    void recompute();
    /**
     * Fills both unit lists with the visible units of the current sub-category and selects the
     * remembered ones; with saveFirst, the selections are stored first under sub-category leftSousRubric.
     */
    void fillUnitLists(bool saveFirst, int leftSousRubric = 0);
    /** The closing step: stores units, notation, precision, sub-category and the recent pairs. */
    void saveSettings();
    /** Shows in both lists only the units whose name or symbol holds the text (any case, any
     *  accents); an empty text shows every unit. Selections stay as they are. */
    void setUnitSearch(const QString& text);
    /** The recent pairs of the current sub-category whose units are both on show, newest first. */
    QList<UnitPair> offeredRecentPairs() const;
    /** Selects the pair in both lists, as the recent pairs' menu does. */
    void chooseRecentPair(const UnitPair& pair);
    /** Shows a conversion asked for from outside: the pair is chosen first, then the value, so that
     *  only that pair with that value becomes a recent pair. Returns whether both units were found. */
    bool showConversion(const UnitPair& pair, const QString& value);
    /** Puts the title back (after a re-layout or a sub-category switch) and recomputes. */
    void refreshTitle();
    /** Whether the target list shows the value in every unit on show. */
    bool showsEveryUnit() const { return m_everyUnit; }
    /** Copies the value a row of the target list shows in every-unit mode, as holding the row does;
     *  returns whether there was one. */
    bool copyRowValue(int row);
    /** Tells a screen reader the result once typing pauses; null before the window opened. */
    PauseAnnouncer* resultAnnouncer() const { return m_announcer; }

protected:
    void onInitDialog() override;
    void onOk() override;
    void onCancel() override;
    void afterRelayout() override;
    void onPopupAboutToShow(QMenu* popup) override;
    void changeEvent(QEvent* event) override;

private:
    void connectCommands();
    void applyTitleAndResultLook();
    void applyColours();
    void nameControls();
    void announceResult(int to);
    void readSettings();
    void closeWindow();

    void typeCharacter(QChar character);
    void typeBackspace();
    void clearInput();
    void swapUnits();
    void copyResult();
    void pasteInput();
    void setNotation(int notation);
    void setPrecision(int precision);
    void switchSousRubric(int sousRubric);
    void toggleEveryUnit();
    void showEveryUnit(const QString& text, int from);

    QString selectedName(QListWidget* list) const;
    void addSelections(SettingsChanges& changes, std::optional<int> sousRubric) const;
    void saveSelections(std::optional<int> sousRubric);
    void applyUnitSearch();
    void addSearchWords();
    void selectFirstPair();
    void rememberCurrentPair();
    void showPairLine(int from, int to);
    void showRecentPairs();
    void fitRowsToScale();
    bool selectByName(QListWidget* list, const QString& name);
    void selectRemembered(QListWidget* list, const QString& name);
    int selectedUnit(QListWidget* list) const;
    QString unitNameOf(const QListWidgetItem* item) const;
    void replacePlaceholder(QMenu* popup);
    void groupAsRadio(const QMenu* popup, int first, int last);
    void markMenuItems();
    std::optional<int> sousRubricSuffix() const;

    SettingsStore& settings() const;
    QLineEdit* inputField() const;
    QListWidget* fromList() const;
    QListWidget* toList() const;
    QLabel* resultField() const;
    QLineEdit* searchField() const;

    Rubric& m_rubric;
    /** Notation, precision, sub-category, selections and recent pairs as the settings keep them. */
    ConvertChoices m_choices;
    bool m_filling = false;
    bool m_initialised = false;
    QMenu* m_sousRubricPopup = nullptr;
    QFont m_titleFont;
    QFont m_resultFont;
    CStretchBitmapButton* m_swapButton = nullptr;
    PauseAnnouncer* m_announcer = nullptr;
    /** What the unit search finds each unit by; the lexicon's words join at the first search. */
    UnitSearchIndex m_search;
    /** Whether each list shows at least one unit under the current search. */
    bool m_unitsOnShow = true;
    /** Whether the target list shows every unit's value, and whether its rows hold values now. */
    bool m_everyUnit = false;
    bool m_rowsHoldValues = false;
    /** The pair and the room the pair line was last laid out for. */
    struct PairLineState
    {
        int from = -1;
        int to = -1;
        QSize room;
        bool operator==(const PairLineState&) const = default;
    };
    std::optional<PairLineState> m_pairLineShown;
    /** The module's table of renamed units, read once when the window opens. */
    FormerUnitNames m_formerNames;
    /** The pairs the categories open with, and the user's region, read once when the window opens. */
    FirstPairs m_firstPairs;
    QString m_region;
};

} // namespace quantaro
