// Opens a conversion window on the English length units, wired to the end-of-session signals as
// the program wires its windows, picks two units and says "ready" on standard output; a test then
// sends it a signal: window_under_signal SETTINGS_FILE [real-boxes]. With "real-boxes" its messages
// are the program's own modal boxes, which nobody answers.
#include "app/languagemodule.h"
#include "app/resourcesource.h"
#include "app/settingsstore.h"
#include "catalogue/catalogueloader.h"
#include "catalogue/rubric.h"
#include "convert/cconvertdlg.h"
#include "platform/qtmessageboxes.h"
#include "platform/shutdownsignals.h"
#include "program/desktopwindows.h"
#include "support/fakes.h"
#include "testpaths.h"

#include <QApplication>
#include <QListWidget>
#include <QTimer>
#include <cstdio>

using namespace quantaro;

namespace {

void select(QListWidget* list, const QString& name)
{
    const auto found = list->findItems(name, Qt::MatchStartsWith);
    if (!found.isEmpty()) {
        list->setCurrentItem(found.first());
    }
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    if (argc < 2) {
        return 2;
    }
    SettingsStore store(QString::fromLocal8Bit(argv[1]));
    auto module = LanguageModule::load(QStringLiteral(QUANTARO_PROGRAM_DIR "/quantaro_en.so"));
    if (!module || !module->registerResources()) {
        return 1;
    }
    const ResourceSource resources(module->resourceRoot());
    test::RecordingMessageBoxes recorded;
    QtMessageBoxes real;
    MessageBoxes& messages = argc > 2 && qstrcmp(argv[2], "real-boxes") == 0 ? static_cast<MessageBoxes&>(real)
                                                                             : static_cast<MessageBoxes&>(recorded);
    test::FixedScreen screen;
    Catalogue catalogue;
    const CatalogueLoader loader(resources, QStringLiteral(QUANTARO_PROGRAM_DIR), store, messages);
    if (!loader.load(catalogue)) {
        return 1;
    }
    ShutdownSignals shutdown;
    QObject::connect(&shutdown, &ShutdownSignals::received, &DesktopWindows::closeAll);
    CConvertDlg window(catalogue[static_cast<size_t>(rubricIndexOf(u"LEN"))],
                       UiServices{&messages, &screen, nullptr, &store, &resources});
    QTimer::singleShot(0, &window, [&window] {
        select(window.control<QListWidget>(convertdlg::kFromList), QStringLiteral("foot"));
        select(window.control<QListWidget>(convertdlg::kToList), QStringLiteral("kilometre"));
        std::puts("ready");
        std::fflush(stdout);
    });
    window.exec();
    return 0;
}
