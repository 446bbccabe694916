#pragma once

#include "catalogue/rubric.h"
#include "ui/quantarodialog.h"

#include <QString>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>

namespace quantaro {

class Clock;
class HttpClient;
class NotificationService;

namespace test {

/** What the program's windows take besides the services, as a test or the walk provides it. */
struct WindowNeeds
{
    Catalogue* catalogue = nullptr;
    /** The folder the home and language windows read the modules of; the language window loads and
     *  unloads them, so tests give it a copy of the program folder. */
    QString programFolder;
    QString languageFolder;
    uint16_t deviceLanguage = 0;
    HttpClient* http = nullptr;
    NotificationService* notifications = nullptr;
    const Clock* clock = nullptr;
};

/** The kinds of window the program shows. */
enum class WindowKind
{
    Home,
    Language,
    Convert,
    About,
    HiddenUnits,
    UpdateSettings,
    ManualRates,
    CheckVersion,
};

/** One window of the program: its name, and the home window's command that opens it (0 for the
 *  home and language windows, which open themselves; a conversion window's command is this plus its
 *  category's index). */
struct ProgramWindow
{
    WindowKind kind;
    const char* name;
    int homeCommand;
};

/** Every window the program shows, in the order the walk opens them. */
std::span<const ProgramWindow> everyWindow();

/** Opens one window by itself, over the services; category is the catalogue's index of the
 *  category a conversion window shows. */
std::unique_ptr<QuantaroDialog> openWindow(WindowKind kind, const UiServices& services, const WindowNeeds& needs,
                                           int category = 0);

} // namespace test
} // namespace quantaro
