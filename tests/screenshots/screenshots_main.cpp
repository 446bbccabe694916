// quantaro-screenshots <folder>: the software centres' pictures of the program, home.png and
// convert.png, drawn at a handheld's 360x640 in English, headless, with the settings in a temporary
// folder. The "screenshots" target runs it; packaging/screenshots/ holds the copies that ship.
#include "app/languagemodule.h"
#include "app/resourcesource.h"
#include "app/settingsstore.h"
#include "catalogue/catalogueloader.h"
#include "convert/cconvertdlg.h"
#include "support/everywindow.h"
#include "support/fakes.h"
#include "testpaths.h"

#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QTemporaryDir>
#include <cstdio>
#include <functional>

namespace {

using namespace quantaro;

constexpr QSize kHandheld(360, 640);
constexpr auto kModule = QUANTARO_PROGRAM_DIR "/quantaro_en.so";
// The conversion shown: twelve inches in centimetres, typed as a small expression.
constexpr int kLengthCategory = 1;
constexpr auto kFromUnit = "inch";
constexpr auto kToUnit = "centimetre";
constexpr auto kTypedValue = "12*2.54";

/** Shows the window at the handheld's size, lets prepare fill it in as a person would, and draws it. */
bool save(QuantaroDialog& window, const QString& file, const std::function<void(QuantaroDialog&)>& prepare = {})
{
    window.resize(kHandheld);
    window.show();
    QApplication::processEvents();
    if (prepare) {
        prepare(window);
        QApplication::processEvents();
    }
    if (!window.grab().save(file)) {
        std::fprintf(stderr, "quantaro-screenshots: cannot write %s\n", qPrintable(file));
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fputs("usage: quantaro-screenshots <folder>\n", stderr);
        return 2;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QTemporaryDir home;
    qputenv("XDG_CONFIG_HOME", home.path().toLocal8Bit());
    qputenv("XDG_CACHE_HOME", (home.path() + QStringLiteral("/cache")).toLocal8Bit());
    QApplication app(argc, argv);
    QCoreApplication::setOrganizationName(settings::kCompany);
    QCoreApplication::setApplicationName(settings::kApplication);
    const QString folder = QString::fromLocal8Bit(argv[1]);
    if (!QDir().mkpath(folder)) {
        std::fprintf(stderr, "quantaro-screenshots: cannot make %s\n", qPrintable(folder));
        return 1;
    }

    const std::unique_ptr<LanguageModule> module = LanguageModule::load(QString::fromLatin1(kModule));
    if (!module || !module->registerResources()) {
        std::fprintf(stderr, "quantaro-screenshots: cannot load %s\n", kModule);
        return 1;
    }
    const ResourceSource resources(module->resourceRoot());
    SettingsStore settings(home.filePath(QStringLiteral("q.ini")));
    test::RecordingMessageBoxes messages;
    test::RecordingShell shell;
    test::FixedScreen screen(kHandheld);
    Catalogue catalogue;
    if (!CatalogueLoader(resources, QStringLiteral(QUANTARO_PROGRAM_DIR), settings, messages).load(catalogue)) {
        std::fputs("quantaro-screenshots: the English catalogue does not load\n", stderr);
        return 1;
    }
    const Rubric& length = catalogue[static_cast<size_t>(kLengthCategory)];
    settings.putString(settings::kSettings, length.code() + QStringLiteral(".From"), QString::fromLatin1(kFromUnit));
    settings.putString(settings::kSettings, length.code() + QStringLiteral(".To"), QString::fromLatin1(kToUnit));

    const UiServices services{&messages, &screen, &shell, &settings, &resources};
    test::WindowNeeds needs;
    needs.catalogue = &catalogue;
    needs.programFolder = QStringLiteral(QUANTARO_PROGRAM_DIR);
    const auto homeWindow = test::openWindow(test::WindowKind::Home, services, needs);
    bool saved = save(*homeWindow, QDir(folder).filePath(QStringLiteral("home.png")));
    homeWindow->hide();
    const auto convertWindow = test::openWindow(test::WindowKind::Convert, services, needs, kLengthCategory);
    saved = save(*convertWindow, QDir(folder).filePath(QStringLiteral("convert.png")),
                 [](QuantaroDialog& window) {
                     if (auto* input = window.control<QLineEdit>(convertdlg::kInput)) {
                         input->setText(QString::fromLatin1(kTypedValue));
                     }
                 }) &&
            saved;
    return saved ? 0 : 1;
}
