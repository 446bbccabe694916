#include "home/desktopwindows.h"

#include "home/clanguedlg.h"
#include "home/cmaindlg.h"

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
    // How the window ended does not matter: it has stored the choice itself.
    CLangueDlg window(uiServices(), m_app.services().programFolder);
    window.exec();
}

void DesktopWindows::runHomeWindow()
{
    CMainDlg home(uiServices(), m_app.services().programFolder, &m_app);
    home.exec();
}

} // namespace quantaro
