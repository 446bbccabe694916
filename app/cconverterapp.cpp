#include "app/cconverterapp.h"

#include "app/connectionrunmode.h"
#include "app/firstruncleanup.h"
#include "app/languagemodule.h"
#include "app/programfolder.h"
#include "app/resourcesource.h"
#include "app/settingsstore.h"
#include "platform/messageboxes.h"
#include "platform/shell.h"
#include "platform/shutdownsignals.h"

namespace quantaro {

namespace {
CConverterApp* g_instance = nullptr;
} // namespace

RunMode chooseRunMode(const QString& firstArgument, const SettingsStore& settings)
{
    if (firstArgument == kConnectionRunWord) {
        return RunMode::Connection;
    }
    if (settings.getInt(settings::kSettings, settings::kNewInstall, settings::kNewInstallDefault) != 0) {
        return RunMode::FirstRun;
    }
    return RunMode::Normal;
}

CConverterApp::CConverterApp(AppServices services) : m_services(std::move(services))
{
    g_instance = this;
}

CConverterApp::~CConverterApp()
{
    if (m_languageModule) {
        ResourceSource::current().setRoot(kProgramResourceRoot);
    }
    if (g_instance == this) {
        g_instance = nullptr;
    }
}

CConverterApp* CConverterApp::instance()
{
    return g_instance;
}

int CConverterApp::startUp(const QString& firstArgument)
{
    settings().removeWriteLeftovers();
    const RunMode mode = chooseRunMode(firstArgument, settings());
    if (mode == RunMode::Connection) {
        runConnectionMode();
        return 0;
    }
    if (mode == RunMode::FirstRun) {
        if (m_services.windows != nullptr) {
            m_services.windows->runLanguageWindow();
        }
        if (ShutdownSignals::requested()) {
            settings().sync();
            return 0;
        }
        runFirstRunCleanup(settings(), m_services.programFolder);
    }
    if (!LoadLanguageModule()) {
        return 1;
    }
    if (m_services.windows != nullptr && !ShutdownSignals::requested()) {
        m_services.windows->runHomeWindow();
    }
    settings().sync();
    return 0;
}

void CConverterApp::runConnectionMode()
{
    ConnectionRunMode mode(settings(), *m_services.clock, *m_services.peers,
                           [this] { return DownloadCurrencyRates(); });
    mode.setStopRequest(&ShutdownSignals::requested);
    mode.run();
    settings().sync();
}

bool CConverterApp::LoadLanguageModule()
{
    if (m_languageModule) {
        ResourceSource::current().setRoot(kProgramResourceRoot);
        m_languageModule.reset();
    }
    QString name = settings().getString(settings::kSettings, settings::kLanguageDllName);
    if (name.isEmpty()) {
        name = m_sessionLanguage;
    }
    // The setting names a file of the program folder; a path from an edited store is not followed.
    const QString path = programFilePath(m_services.programFolder, name);
    if (!path.isEmpty()) {
        auto module = LanguageModule::load(path);
        if (module && module->isValid() && module->registerResources()) {
            m_languageModule = std::move(module);
            ResourceSource::current().setRoot(m_languageModule->resourceRoot());
        }
    }
    if (m_languageModule) {
        return true;
    }
    if (m_services.messages != nullptr) {
        m_services.messages->show(kDamagedMessage, MessageIcon::Stop);
    }
    return false;
}

void CConverterApp::OpenWithShell(const QString& target)
{
    if (m_services.shell != nullptr) {
        m_services.shell->openUrl(target);
    }
}

bool CConverterApp::DownloadCurrencyRates()
{
    return m_downloader ? m_downloader() : false;
}

} // namespace quantaro
