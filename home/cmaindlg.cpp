#include "home/cmaindlg.h"

#include "about/caboutdlg.h"
#include "about/ccheckversiondlg.h"
#include "about/versionfile.h"
#include "app/cconverterapp.h"
#include "app/resourcesource.h"
#include "app/settingsstore.h"
#include "catalogue/catalogueloader.h"
#include "catalogue/currencyunits.h"
#include "catalogue/lexicon.h"
#include "catalogue/unitlookup.h"
#include "convert/cconvertdlg.h"
#include "convert/evaluate.h"
#include "convert/queryreader.h"
#include "currency/ccurrenciesupdatedlg.h"
#include "currency/cmanualcurrenciesdlg.h"
#include "options/coptionsdlg.h"
#include "platform/clock.h"
#include "platform/curlhttpclient.h"
#include "platform/filenotificationservice.h"
#include "platform/qtmessageboxes.h"
#include "ui/bottommenubar.h"
#include "ui/cstretchbitmapbutton.h"
#include "ui/picturefile.h"
#include "ui/spokentext.h"

#include <QCoreApplication>
#include <QEvent>
#include <QMenu>
#include <QPushButton>
#include <QTimer>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <utility>

namespace quantaro {

namespace {
// The rebuild request of the catalogue load, handled by whichever event loop runs when it arrives.
const QEvent::Type kRebuildCurrencyUnits = QEvent::User;
// The window icon's side in pixels: the desktop scales it to the sizes it shows.
constexpr int kWindowIconSide = 128;
} // namespace

CMainDlg::CMainDlg(UiServices services, QString programFolder, CConverterApp* app, QWidget* parent)
    : QuantaroDialog(home::kTemplates, services, parent), m_programFolder(std::move(programFolder)), m_app(app)
{
    // Drawn through the pictures' own renderer (and its kept rendering) rather than handed to QIcon
    // as a file: QIcon would load an icon engine plugin and render the picture at every start.
    const PictureFile iconPicture(resources().iconPath(home::kIcon));
    const QPixmap iconPixmap = iconPicture.stretchedTo(QSize(kWindowIconSide, kWindowIconSide), 1.0);
    if (!iconPixmap.isNull()) {
        m_icon = QIcon(iconPixmap);
    }
    // Codes are the program's own: set before any load, so a category opened while the unit file is
    // missing still stores its settings under its code rather than under an empty name.
    for (int i = 0; i < kRubricCount; ++i) {
        m_catalogue[static_cast<size_t>(i)].setCode(rubricCode(i));
    }
    for (int i = 0; i < kRubricCount; ++i) {
        onCommand(home::kFirstCategoryButton + i,
                  [this, i] { runConversionWindow(m_catalogue[static_cast<size_t>(i)]); });
    }
    onCommand(home::kCmdAbout, [this] { runAboutWindow(); });
    onCommand(home::kCmdHiddenUnits, [this] { openHiddenUnits(); });
    onCommand(home::kCmdCheckVersion, [this] { runVersionCheckWindow(); });
    onCommand(home::kCmdUpdateSettings, [this] { openUpdateSettings(); });
    onCommand(home::kCmdManualRates, [this] { openManualRates(); });
}

CMainDlg::~CMainDlg() = default;

void CMainDlg::onInitDialog()
{
    if (!m_icon.isNull()) {
        setWindowIcon(m_icon);
    }
    for (int i = 0; i < kRubricCount; ++i) {
        auto* button = new CStretchBitmapButton(this);
        button->AttachAndLoad(home::kFirstCategoryButton + i, this, &resources());
        m_buttons[static_cast<size_t>(i)] = button;
        // The caption only names the pictures ("LEN"): a screen reader says the category instead.
        if (QPushButton* shown = button->button()) {
            const QString name = firstName(string(home::kFirstCategoryName + i));
            if (!name.isEmpty()) {
                shown->setAccessibleName(name);
            }
            shown->setAccessibleDescription(string(home::kCategoryButtonHint));
        }
    }
    setMenuBarFromResource(home::kMenu);
}

void CMainDlg::paintEvent(QPaintEvent* event)
{
    QuantaroDialog::paintEvent(event);
    // Painted first, then loaded: a message about the unit file stands over the window instead of
    // alone on an empty screen.
    if (m_firstLoad == FirstLoad::Waiting) {
        m_firstLoad = FirstLoad::Queued;
        QTimer::singleShot(0, this, [this] {
            loadCatalogue();
            m_firstLoad = FirstLoad::Done;
            if (m_startRequest) {
                const ConvertRequest request = *std::exchange(m_startRequest, std::nullopt);
                runRequestedWindow(request);
            }
        });
    }
}

bool CMainDlg::loadCatalogue()
{
    QtMessageBoxes fallbackMessages;
    MessageBoxes& messages = services().messages != nullptr ? *services().messages : fallbackMessages;
    SettingsStore* settings = services().settings;
    if (settings == nullptr) {
        return false;
    }
    const CatalogueLoader loader(resources(), m_programFolder, *settings, messages,
                                 [this] { QCoreApplication::postEvent(this, new QEvent(kRebuildCurrencyUnits)); });
    return loader.load(m_catalogue);
}

void CMainDlg::updateCurrencyUnits()
{
    if (services().settings != nullptr) {
        CatalogueLoader::applyStoredRates(m_catalogue, *services().settings);
    }
}

void CMainDlg::onOk()
{
    // Enter never leaves the program by accident as "OK": the window always ends as cancelled.
    onCancel();
}

void CMainDlg::onPopupAboutToShow(QMenu* popup)
{
    QuantaroDialog::onPopupAboutToShow(popup);
    BottomMenuBar* bar = menuBar();
    if (bar == nullptr) {
        return;
    }
    // Without an update address (none built in, none in the settings) the check could only fail.
    if (const SettingsStore* store = settingsStore(); store == nullptr || !versionFileUrl(*store)) {
        bar->removeItem(popup, home::kCmdCheckVersion);
    }
    if (BottomMenuBar::firstItemId(popup) != home::kCategoryPlaceholder) {
        return;
    }
    bar->removeItem(popup, home::kCategoryPlaceholder);
    for (int i = 0; i < kRubricCount; ++i) {
        bar->appendItem(popup, home::kFirstCategoryButton + i, m_catalogue[static_cast<size_t>(i)].name(),
                        i == home::kSecondColumnStart);
    }
}

void CMainDlg::changeEvent(QEvent* event)
{
    QuantaroDialog::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange && (windowState() & Qt::WindowMinimized) != 0) {
        // Minimising the home window ends the program, as closing it does.
        reject();
    }
}

void CMainDlg::customEvent(QEvent* event)
{
    if (event->type() == kRebuildCurrencyUnits) {
        updateCurrencyUnits();
        return;
    }
    QuantaroDialog::customEvent(event);
}

void CMainDlg::openHiddenUnits()
{
    Catalogue copy = m_catalogue;
    if (runHiddenUnitsWindow(copy)) {
        loadCatalogue();
    }
}

void CMainDlg::openUpdateSettings()
{
    runUpdateSettingsWindow();
    updateCurrencyUnits();
}

void CMainDlg::openManualRates()
{
    if (runManualRatesWindow(m_catalogue[0])) {
        updateCurrencyUnits();
    }
}

void CMainDlg::runConversionWindow(Rubric& rubric)
{
    CConvertDlg dialog(rubric, services(), this);
    dialog.exec();
}

namespace {

/** The two visible units of one sub-category that a request names, found by the words a query's
 *  units are found by ("km", "miles", "kilometre (km)"), and a value that converts; otherwise nothing,
 *  and the reason on standard error, so that a wrong pair is never shown as if it had been asked for. */
std::optional<UnitPair> requestedPair(const Rubric& rubric, const ConvertRequest& request,
                                      const ResourceSource& resources)
{
    const Lexicon lexicon = Lexicon::fromResources(resources);
    const Rubric visible = visibleRubric(rubric);
    const RubricWords words(visible, &lexicon, userRegion());
    const UnitLookup from = words.lookup(request.from);
    const UnitLookup to = words.lookup(request.to);
    QString problem;
    if (from.unit == nullptr || to.unit == nullptr) {
        const QString& word = from.unit == nullptr ? request.from : request.to;
        problem = QStringLiteral("no single unit of %1 is called \"%2\"").arg(rubric.code(), word);
    } else if (sousRubricOf(rubric, *from.unit) != sousRubricOf(rubric, *to.unit)) {
        problem = QStringLiteral("%1 and %2 measure different quantities").arg(from.unit->name(), to.unit->name());
    } else if (!std::isfinite(evaluate(request.value)) ||
               std::none_of(request.value.cbegin(), request.value.cend(), [](QChar c) { return c.isDigit(); })) {
        problem = QStringLiteral("\"%1\" is no value to convert").arg(request.value);
    }
    if (!problem.isEmpty()) {
        std::fprintf(stderr, "quantaro: --convert: %s; the category opens alone\n", qPrintable(problem));
        return std::nullopt;
    }
    return UnitPair{from.unit->name(), to.unit->name()};
}

} // namespace

void CMainDlg::runRequestedWindow(const ConvertRequest& request)
{
    const int index = rubricIndexOf(request.code);
    if (index < 0) {
        return;
    }
    Rubric& rubric = m_catalogue[static_cast<size_t>(index)];
    const std::optional<UnitPair> pair =
        request.from.isEmpty() ? std::nullopt : requestedPair(rubric, request, resources());
    if (!pair) {
        runConversionWindow(rubric);
        return;
    }
    CConvertDlg dialog(rubric, services(), this);
    // Once the window is up: the sub-category of the source unit, then the pair with its value.
    QTimer::singleShot(0, &dialog, [&dialog, &rubric, request, pair] {
        for (int u = 0; u < rubric.unitCount(); ++u) {
            const UnitRecord& unit = rubric.unit(u);
            const int sousRubric = sousRubricOf(rubric, unit);
            if (unit.name() == pair->from && sousRubric >= 0 && sousRubric != dialog.currentSousRubric()) {
                dialog.command(convertdlg::kFirstSousRubric + sousRubric);
                break;
            }
        }
        dialog.showConversion(*pair, request.value);
    });
    dialog.exec();
}

void CMainDlg::runAboutWindow()
{
    CAboutDlg window(services(), this);
    window.exec();
}

bool CMainDlg::runHiddenUnitsWindow(Catalogue& copy)
{
    COptionsDlg dialog(copy, services(), this);
    return dialog.exec() == QDialog::Accepted;
}

const SettingsStore* CMainDlg::settingsStore() const
{
    return services().settings ? services().settings : (app() ? &app()->settings() : nullptr);
}

void CMainDlg::runVersionCheckWindow()
{
    const SettingsStore* store = settingsStore();
    CurlHttpClient http(settings::kApplication);
    CCheckVersionDlg window(services(), http, store ? versionFileUrl(*store) : std::nullopt, HttpLimits{}, this);
    window.exec();
}

void CMainDlg::runUpdateSettingsWindow()
{
    FileNotificationService notifications(FileNotificationService::defaultFile());
    SystemClock systemClock;
    const Clock& clock = app() && app()->services().clock ? *app()->services().clock : systemClock;
    CCurrenciesUpdateDlg window(
        services(), notifications, clock, [this] { return app() != nullptr && app()->DownloadCurrencyRates(); },
        QCoreApplication::applicationFilePath());
    window.exec();
}

bool CMainDlg::runManualRatesWindow(Rubric& currencies)
{
    CManualCurrenciesDlg window(services(), currencies, this);
    return window.exec() == QDialog::Accepted;
}

} // namespace quantaro
