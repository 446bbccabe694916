// The program's start: the connection run mode needs no display, every other run mode opens windows.
#include "program/programmain.h"

#include "app/cconverterapp.h"
#include "app/settingsstore.h"
#include "convert/convertrequest.h"
#include "platform/clock.h"
#include "platform/desktopshell.h"
#include "platform/peerprobe.h"
#include "platform/qtmessageboxes.h"
#include "platform/shutdownsignals.h"
#include "program/desktopwindows.h"
#include "program/environmentoverrides.h"
#include "program/firstpaintwatcher.h"
#include "program/ratedownload.h"
#include "ui/touchstyle.h"

#include <QApplication>
#include <QCoreApplication>
#include <QStringList>
#include <memory>

namespace {

// The desktop entry's name: lets Wayland desktops match the window with its entry and icon.
constexpr auto kDesktopFileName = "org.velmora.Quantaro";

/** Ends the options of Qt's own where the caller's text follows. */
constexpr auto kEndOfOptions = "--";

QStringList argumentsOf(int argc, char** argv)
{
    QStringList words;
    for (int i = 0; i < argc; ++i) {
        words << QString::fromLocal8Bit(argv[i]);
    }
    return words;
}

/**
 * How many of the arguments Qt may read. Qt takes its options (-platform, -style, -stylesheet ...)
 * wherever they stand; the words from "--" or "--convert" on are the caller's text (a search box's
 * units and value), which must never reach Qt as an option of its own.
 */
int qtArgumentCount(const QStringList& arguments)
{
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        if (arguments[i] == QLatin1String(kEndOfOptions) || arguments[i] == quantaro::kConvertOption) {
            return static_cast<int>(i);
        }
    }
    return static_cast<int>(arguments.size());
}

void nameApplication()
{
    QCoreApplication::setOrganizationName(quantaro::settings::kCompany);
    QCoreApplication::setApplicationName(quantaro::settings::kApplication);
}

/** The services every run mode has: the settings, the clock, the network peers and the program folder. */
quantaro::AppServices machineServices(quantaro::SettingsStore& settings, quantaro::Clock& clock,
                                      quantaro::PeerProbe& peers)
{
    quantaro::AppServices services;
    services.settings = &settings;
    services.clock = &clock;
    services.peers = &peers;
    services.programFolder = QCoreApplication::applicationDirPath();
    return services;
}

} // namespace

namespace quantaro {

int programMain(int argc, char** argv, const std::function<void()>& onApplication)
{
    const QStringList arguments = argumentsOf(argc, argv);
    // The run mode is the whole first argument: a word inside another one (a unit name of a search
    // box's answer) never starts a download.
    const QString firstArgument = arguments.value(1);
    int qtArgc = qtArgumentCount(arguments);
    const EnvironmentOverrides overrides = readEnvironmentOverrides();
    applyEnvironmentOverrides(overrides);
    SystemClock clock;
    LinuxPeerProbe peers(overrides.peer);

    if (firstArgument == kConnectionRunWord) {
        QCoreApplication app(qtArgc, argv);
        nameApplication();
        SettingsStore settings;
        CConverterApp converter(machineServices(settings, clock, peers));
        installRateDownloader(converter);
        // No event loop runs here: the run asks for the signal between its pauses.
        ShutdownSignals shutdown;
        return converter.startUp(firstArgument);
    }

    QApplication app(qtArgc, argv);
    nameApplication();
    QGuiApplication::setDesktopFileName(QString::fromLatin1(kDesktopFileName));
    applyTouchDefaults();
    FirstPaintWatcher::installIfRequested();
    if (onApplication) {
        onApplication();
    }
    SettingsStore settings;
    QtMessageBoxes messages;
    DesktopShell shell;
    AppServices services = machineServices(settings, clock, peers);
    services.messages = &messages;
    services.shell = &shell;
    CConverterApp converter(services);
    installRateDownloader(converter);
    DesktopWindows windows(converter);
    converter.setWindows(&windows);
    // The desktop's search boxes open a conversion window with "--convert CODE [FROM TO VALUE]".
    if (const auto request = convertRequestOf(arguments)) {
        windows.openOnStart(*request);
    }
    ShutdownSignals shutdown;
    QObject::connect(&shutdown, &ShutdownSignals::received, &DesktopWindows::closeAll);
    return converter.startUp(firstArgument);
}

} // namespace quantaro
