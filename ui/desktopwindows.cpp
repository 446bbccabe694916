#include "ui/desktopwindows.h"

#include "app/resourcesource.h"

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
