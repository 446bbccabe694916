#pragma once

#include <QString>
#include <functional>
#include <memory>

namespace quantaro {

class Clock;
class LanguageModule;
class MessageBoxes;
class PeerProbe;
class SettingsStore;
class Shell;

/** The fixed message of start-up when no valid language module can be loaded. */
inline const QString kDamagedMessage = QStringLiteral("Quantaro seems to be damaged. Please reinstall the software.");
/** The first argument that selects the connection run mode; recognised only as the whole first argument. */
inline const QString kConnectionRunWord = QStringLiteral("AppRunUpdateConnect");

/** The program's three run modes. */
enum class RunMode
{
    Connection, ///< started by the platform on a network connection: no window
    FirstRun,   ///< the language has not been chosen yet
    Normal,
};

/** Picks the run mode from the program's first argument and the stored NewInstall flag. */
RunMode chooseRunMode(const QString& firstArgument, const SettingsStore& settings);

/** The windows that start-up opens; the windowless run mode never touches them. */
class AppWindows
{
public:
    virtual ~AppWindows() = default;
    virtual void runLanguageWindow() = 0;
    virtual void runHomeWindow() = 0;
};

/** Services the application object works with. */
struct AppServices
{
    SettingsStore* settings = nullptr;
    Clock* clock = nullptr;
    PeerProbe* peers = nullptr;
    MessageBoxes* messages = nullptr;
    Shell* shell = nullptr;
    AppWindows* windows = nullptr;
    /** The folder of the program file, where language modules and unit files live. */
    QString programFolder;
};

/**
 * The application object: start-up and its run modes, the language module and the operations
 * that windows share (opening addresses, downloading rates).
 */
class CConverterApp
{
public:
    explicit CConverterApp(AppServices services);
    ~CConverterApp();
    CConverterApp(const CConverterApp&) = delete;
    CConverterApp& operator=(const CConverterApp&) = delete;

    /** The one start-up of the process, given the program's first argument; the program ends when it returns. */
    int startUp(const QString& firstArgument);

    /** Loads and validates the chosen module and makes it the resource source; on failure shows
     *  the fixed message and returns false. */
    bool LoadLanguageModule();
    /** Hands a web or mailto: address to the desktop. */
    void OpenWithShell(const QString& target);
    /** Downloads the exchange rates; true when rates were stored. */
    bool DownloadCurrencyRates();

    /** The windows of the windowed run modes. */
    void setWindows(AppWindows* windows) { m_services.windows = windows; }
    /** The module file chosen in this session: used when the settings name none (they could not
     *  keep the choice), so that the session goes on; the next start asks again. */
    void setSessionLanguage(const QString& fileName) { m_sessionLanguage = fileName; }
    /** Replaces how rates are downloaded. */
    void setRateDownloader(std::function<bool()> downloader) { m_downloader = std::move(downloader); }

    const AppServices& services() const { return m_services; }
    SettingsStore& settings() const { return *m_services.settings; }
    const LanguageModule* languageModule() const { return m_languageModule.get(); }

    /** The one application object of the process, or null. */
    static CConverterApp* instance();

private:
    void runConnectionMode();

    AppServices m_services;
    std::unique_ptr<LanguageModule> m_languageModule;
    std::function<bool()> m_downloader;
    QString m_sessionLanguage;
};

} // namespace quantaro
