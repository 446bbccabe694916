#include "ui/desktopwindows.h"

#include "app/languagechoice.h"
#include "app/resourcesource.h"
#include "platform/messageboxes.h"
#include "ui/cmaindlg.h"

#include <algorithm>

namespace quantaro {

DesktopWindows::DesktopWindows(CConverterApp& app)
    : m_app(app)
{
}

UiServices DesktopWindows::uiServices() const
{
    UiServices services;
    services.messages = m_app.services().messages;
    services.shell = m_app.services().shell;
    services.settings = &m_app.settings();
    return services;
}

void DesktopWindows::runLanguageWindow()
{
    // Until the language window exists the choice is made for the user: the device's language, or
    // the first module listed. Without this a first run would delete every module.
    std::vector<LanguageEntry> entries = findLanguageEntries(m_app.services().programFolder);
    if (entries.empty() && m_app.services().messages != nullptr) {
        m_app.services().messages->show(kDamagedMessage, MessageIcon::Error);
    }
    const int preferred = defaultLanguageEntry(entries, deviceLanguageId());
    confirmLanguageChoice(m_app.settings(), entries, entries.empty() ? -1 : std::max(preferred, 0));
}

void DesktopWindows::runHomeWindow()
{
    CMainDlg home(uiServices(), m_app.services().programFolder, &m_app);
    home.exec();
}

} // namespace quantaro
