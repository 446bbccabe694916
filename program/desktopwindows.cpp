#include "program/desktopwindows.h"

#include "home/clanguedlg.h"
#include "home/cmaindlg.h"

#include <QApplication>
#include <QDialog>
#include <utility>

namespace quantaro {

DesktopWindows::DesktopWindows(CConverterApp& app) : m_app(app) {}

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
    // How the window ended does not matter: it has stored the choice itself. Where the settings
    // could not keep it, this session still goes on in the chosen language.
    CLangueDlg window(uiServices(), m_app.services().programFolder);
    window.exec();
    m_app.setSessionLanguage(window.chosenFile());
}

void DesktopWindows::runHomeWindow()
{
    CMainDlg home(uiServices(), m_app.services().programFolder, &m_app);
    if (m_startRequest) {
        home.openOnStart(*std::exchange(m_startRequest, std::nullopt));
    }
    home.exec();
}

void DesktopWindows::closeAll()
{
    // Menus first: a modal window under an open menu is not the active one.
    while (QWidget* popup = QApplication::activePopupWidget()) {
        if (!popup->close()) {
            break;
        }
    }
    // Each window ends its own event loop; the loops unwind once this handler returns.
    constexpr int kMaxNestedWindows = 32;
    for (int i = 0; i < kMaxNestedWindows; ++i) {
        QWidget* window = QApplication::activeModalWidget();
        if (window == nullptr) {
            return;
        }
        auto* dialog = qobject_cast<QDialog*>(window);
        if (dialog == nullptr) {
            window->close();
            continue;
        }
        dialog->reject();
        // A window that refuses its Cancel (a choice still missing) is ended all the same.
        if (dialog->isVisible()) {
            dialog->done(QDialog::Rejected);
        }
    }
}

} // namespace quantaro
