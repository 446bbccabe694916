#include "ui/desktopwindows.h"

#include "app/languagechoice.h"
#include "app/resourcesource.h"
#include "platform/messageboxes.h"

#include <QDialog>
#include <QLabel>
#include <QVBoxLayout>

namespace quantaro {

DesktopWindows::DesktopWindows(CConverterApp& app)
    : m_app(app)
{
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
    QDialog window;
    auto* layout = new QVBoxLayout(&window);
    const ResourceSource& source = ResourceSource::current();
    for (int i = 0; i < 20; ++i) {
        layout->addWidget(new QLabel(source.string(res::kFirstRubricDefinition + i), &window));
    }
    window.exec();
}

} // namespace quantaro
