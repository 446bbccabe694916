#include "support/everywindow.h"

#include "about/caboutdlg.h"
#include "about/ccheckversiondlg.h"
#include "convert/cconvertdlg.h"
#include "currency/ccurrenciesupdatedlg.h"
#include "currency/cmanualcurrenciesdlg.h"
#include "home/clanguedlg.h"
#include "home/cmaindlg.h"
#include "options/coptionsdlg.h"

namespace quantaro::test {

namespace {

// The currencies are the catalogue's first category.
constexpr int kCurrencyCategory = 0;
// What the update settings window would start for a download, and where the version check asks.
constexpr auto kInstalledProgram = "/usr/lib/quantaro/quantaro";
constexpr auto kVersionFileAddress = "http://127.0.0.1:9/cvf/quantaro.cvf";

constexpr ProgramWindow kEveryWindow[] = {
    {WindowKind::Home, "home", 0},
    {WindowKind::Language, "language", 0},
    {WindowKind::Convert, "convert", home::kFirstCategoryButton},
    {WindowKind::About, "about", home::kCmdAbout},
    {WindowKind::HiddenUnits, "hidden-units", home::kCmdHiddenUnits},
    {WindowKind::UpdateSettings, "update-settings", home::kCmdUpdateSettings},
    {WindowKind::ManualRates, "manual-rates", home::kCmdManualRates},
    {WindowKind::CheckVersion, "check-version", home::kCmdCheckVersion},
};

} // namespace

std::span<const ProgramWindow> everyWindow()
{
    return kEveryWindow;
}

std::unique_ptr<QuantaroDialog> openWindow(WindowKind kind, const UiServices& services, const WindowNeeds& needs,
                                           int category)
{
    switch (kind) {
    case WindowKind::Home:
        return std::make_unique<CMainDlg>(services, needs.programFolder);
    case WindowKind::Language:
        return std::make_unique<CLangueDlg>(services, needs.languageFolder, needs.deviceLanguage);
    case WindowKind::Convert:
        return std::make_unique<CConvertDlg>((*needs.catalogue)[static_cast<size_t>(category)], services);
    case WindowKind::About:
        return std::make_unique<CAboutDlg>(services);
    case WindowKind::HiddenUnits:
        return std::make_unique<COptionsDlg>(*needs.catalogue, services);
    case WindowKind::UpdateSettings:
        return std::make_unique<CCurrenciesUpdateDlg>(
            services, *needs.notifications, *needs.clock, [] { return true; }, QString::fromLatin1(kInstalledProgram));
    case WindowKind::ManualRates:
        return std::make_unique<CManualCurrenciesDlg>(services,
                                                      (*needs.catalogue)[static_cast<size_t>(kCurrencyCategory)]);
    case WindowKind::CheckVersion:
        return std::make_unique<CCheckVersionDlg>(services, *needs.http, QString::fromLatin1(kVersionFileAddress));
    }
    return nullptr;
}

} // namespace quantaro::test
