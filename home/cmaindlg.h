#pragma once

#include "app/resourcesource.h"
#include "catalogue/rubric.h"
#include "convert/convertrequest.h"
#include "generated/ids/home.h"
#include "ui/quantarodialog.h"

#include <QIcon>
#include <QString>
#include <array>
#include <optional>

namespace quantaro {

class CConverterApp;
class CStretchBitmapButton;
class SettingsStore;

/** Template, menu, control and command numbers of the home window. */
namespace home {
inline constexpr TemplateTriple kTemplates{kPortraitTemplate, kLandscapeTemplate, kSquareTemplate};
inline constexpr int kMenu = 128;
inline constexpr int kIcon = res::kAppIcon;
inline constexpr int kCategoryPlaceholder = 32816;
/** Category items from this index on stand in the second column of the category list. */
inline constexpr int kSecondColumnStart = 10;
inline constexpr int kCmdAbout = 32772;
inline constexpr int kCmdHiddenUnits = 32773;
inline constexpr int kCmdCheckVersion = 32776;
inline constexpr int kCmdUpdateSettings = 32787;
inline constexpr int kCmdManualRates = 32820;
/** The category names the buttons are spoken by: string kFirstCategoryName + i for button i. */
inline constexpr int kFirstCategoryName = res::kFirstRubricDefinition;
/** What a category button does, for a screen reader. */
inline constexpr int kCategoryButtonHint = 1331;
} // namespace home

/**
 * The home window: twenty picture buttons, one per category, and a menu bar that leads to the other
 * windows and lists the categories by name. It owns the catalogue, loads it when it starts and
 * again after the hidden units changed, and rebuilds the currency units from the stored rates after
 * every load (through a posted event, so that the rebuild follows the load's caller).
 */
class CMainDlg : public QuantaroDialog
{
    Q_OBJECT
public:
    CMainDlg(UiServices services, QString programFolder, CConverterApp* app = nullptr, QWidget* parent = nullptr);
    ~CMainDlg() override;

    Catalogue& catalogue() { return m_catalogue; }
    /** Rebuilds the whole catalogue; on success a currency rebuild is posted to this window. */
    bool loadCatalogue();
    /** Rewrites the currency units' formulas from the stored rates. */
    void updateCurrencyUnits();
    /** True once the first load after opening has run, whether it found the unit file or not. */
    bool firstLoadDone() const { return m_firstLoad == FirstLoad::Done; }
    /** A conversion window to open once the first load has run (the program's --convert). */
    void openOnStart(const ConvertRequest& request) { m_startRequest = request; }

protected:
    void onInitDialog() override;
    void onOk() override;
    void onPopupAboutToShow(QMenu* popup) override;
    void changeEvent(QEvent* event) override;
    void customEvent(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

    // The windows the home window opens; virtual so tests can see what would open.
    virtual void runConversionWindow(Rubric& rubric);
    /** The conversion window of a request: its category, with its units and value when it names them. */
    virtual void runRequestedWindow(const ConvertRequest& request);
    virtual void runAboutWindow();
    /** Runs the hidden-units window on a copy of the catalogue; true when it ended with OK. */
    virtual bool runHiddenUnitsWindow(Catalogue& copy);
    virtual void runVersionCheckWindow();
    virtual void runUpdateSettingsWindow();
    /** Runs the manual-rates window on the currency category; true when it ended with OK. */
    virtual bool runManualRatesWindow(Rubric& currencies);

    CConverterApp* app() const { return m_app; }
    const QString& programFolder() const { return m_programFolder; }
    /** The settings the windows read: the services' store, else the program's. */
    const SettingsStore* settingsStore() const;

private:
    void openHiddenUnits();
    void openUpdateSettings();
    void openManualRates();

    QString m_programFolder;
    CConverterApp* m_app;
    QIcon m_icon;
    Catalogue m_catalogue;
    enum class FirstLoad
    {
        Waiting,
        Queued,
        Done
    };
    FirstLoad m_firstLoad = FirstLoad::Waiting;
    std::optional<ConvertRequest> m_startRequest;
    std::array<CStretchBitmapButton*, kRubricCount> m_buttons{};
};

} // namespace quantaro
