// The waits a person feels in the conversion window, offscreen with the English Length category:
// a key press in the value field until the new result is painted, and narrowing the lists by one
// more letter of the unit search until they are painted.
#include "benchsupport.h"
#include "app/languagemodule.h"
#include "app/resourcesource.h"
#include "app/settingsstore.h"
#include "catalogue/catalogueloader.h"
#include "convert/cconvertdlg.h"
#include "platform/messageboxes.h"
#include "platform/screeninfo.h"

#include <QApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QTemporaryDir>
#include <QTest>
#include <benchmark/benchmark.h>
#include <memory>

using namespace quantaro;
using bench::SilentMessages;

namespace {

constexpr int kLengthCategory = 1;
const QSize kPhoneScreen(360, 640);

class PhoneScreen final : public ScreenInfo
{
public:
    QSize screenSize() const override { return kPhoneScreen; }
};

/** The English module, its Length category and an open conversion window over them. */
struct LengthWindow
{
    QTemporaryDir folder;
    SettingsStore settings{folder.filePath(QStringLiteral("q.ini"))};
    SilentMessages messages;
    PhoneScreen screen;
    std::unique_ptr<LanguageModule> module = LanguageModule::load(QStringLiteral(QUANTARO_PROGRAM_DIR "/quantaro_en.so"));
    std::unique_ptr<ResourceSource> resources;
    Catalogue catalogue;
    std::unique_ptr<CConvertDlg> window;

    bool open()
    {
        if (!module || !module->registerResources()) {
            return false;
        }
        resources = std::make_unique<ResourceSource>(module->resourceRoot());
        const CatalogueLoader loader(*resources, QStringLiteral(QUANTARO_PROGRAM_DIR), settings, messages);
        if (!loader.load(catalogue)) {
            return false;
        }
        window = std::make_unique<CConvertDlg>(catalogue[kLengthCategory],
                                               UiServices{&messages, &screen, nullptr, &settings, resources.get()});
        window->resize(kPhoneScreen);
        window->show();
        QApplication::processEvents();
        return true;
    }

    bool openOrSkip(benchmark::State& state)
    {
        if (open()) {
            return true;
        }
        state.SkipWithError("the English module or its catalogue cannot be loaded");
        return false;
    }

    /** Paints the whole window now, as the next frame would. */
    void paint() { window->repaint(); }
};

void BM_KeyPressToPaintedResult(benchmark::State& state)
{
    LengthWindow length;
    if (!length.openOrSkip(state)) {
        return;
    }
    QLineEdit* field = length.window->control<QLineEdit>(convertdlg::kInput);
    constexpr int kLongestValue = 12;
    for (auto _ : state) {
        if (field->text().size() >= kLongestValue) {
            state.PauseTiming();
            field->clear();
            state.ResumeTiming();
        }
        QTest::keyClick(field, Qt::Key_7);
        length.paint();
    }
}
BENCHMARK(BM_KeyPressToPaintedResult)->Unit(benchmark::kMicrosecond);

void BM_SearchOneMoreLetter(benchmark::State& state)
{
    LengthWindow length;
    if (!length.openOrSkip(state)) {
        return;
    }
    QLineEdit* search = length.window->control<QLineEdit>(convertdlg::kFilter);
    // "metre" narrows Length's units letter by letter; each step starts from the one before.
    const QString word = QStringLiteral("metre");
    for (auto _ : state) {
        state.PauseTiming();
        search->setText(word.left(word.size() - 1));
        length.paint();
        state.ResumeTiming();
        QTest::keyClick(search, Qt::Key_E);
        length.paint();
    }
}
BENCHMARK(BM_SearchOneMoreLetter)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    return bench::runBenchmarks(argc, argv);
}
