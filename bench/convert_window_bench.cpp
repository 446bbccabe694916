// The waits a person feels in the conversion window, offscreen with the English Length category:
// a tap on its category button in the home window until the conversion window is painted, a key
// press in the value field until the new result is painted, and narrowing the lists by one more
// letter of the unit search until they are painted. In every-unit mode, a key press until every row
// of Length (the longest list of one kind of unit) or of 160 currencies holds its new value and the
// window is painted.
#include "app/languagemodule.h"
#include "app/resourcesource.h"
#include "app/settingsstore.h"
#include "benchsupport.h"
#include "catalogue/catalogueloader.h"
#include "convert/cconvertdlg.h"
#include "home/cmaindlg.h"
#include "platform/messageboxes.h"
#include "platform/screeninfo.h"

#include <QApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <benchmark/benchmark.h>
#include <chrono>
#include <memory>

using namespace quantaro;
using bench::SilentMessages;

namespace {

constexpr int kLengthCategory = 1;
constexpr int kCurrencyCategory = 0;
/** About as many currencies as the world has: the catalogue's are topped up with made-up ones. */
constexpr int kManyCurrencies = 160;
constexpr int kSettleTurns = 5;
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
    std::unique_ptr<LanguageModule> module =
        LanguageModule::load(QStringLiteral(QUANTARO_PROGRAM_DIR "/quantaro_en.so"));
    std::unique_ptr<ResourceSource> resources;
    Catalogue catalogue;
    std::unique_ptr<CConvertDlg> window;

    bool open(int category = kLengthCategory, int units = 0)
    {
        if (!module || !module->registerResources()) {
            return false;
        }
        resources = std::make_unique<ResourceSource>(module->resourceRoot());
        const CatalogueLoader loader(*resources, QStringLiteral(QUANTARO_PROGRAM_DIR), settings, messages);
        if (!loader.load(catalogue)) {
            return false;
        }
        Rubric& rubric = catalogue[static_cast<size_t>(category)];
        // Made-up units that convert like the catalogue's first one, at rates of their own.
        for (int n = rubric.unitCount(); n < units && rubric.unitCount() > 0; ++n) {
            UnitRecord unit = rubric.unit(0);
            const QString rate = QString::number(1.0 + n / 1000.0, 'g', 15);
            unit.setName(QStringLiteral("made-up currency %1 (X%2)").arg(n).arg(n, 2, 36, QLatin1Char('0')).toUpper());
            unit.setTag(QStringLiteral("X%1").arg(n, 2, 36, QLatin1Char('0')).toUpper());
            unit.setToBase(QStringLiteral("$*") + rate);
            unit.setFromBase(QStringLiteral("$/") + rate);
            rubric.addUnit(unit);
        }
        window =
            std::make_unique<CConvertDlg>(rubric, UiServices{&messages, &screen, nullptr, &settings, resources.get()});
        window->resize(kPhoneScreen);
        window->show();
        QApplication::processEvents();
        return true;
    }

    bool openOrSkip(benchmark::State& state, int category = kLengthCategory, int units = 0)
    {
        if (open(category, units)) {
            return true;
        }
        state.SkipWithError("the English module or its catalogue cannot be loaded");
        return false;
    }

    /** Paints the whole window now, as the next frame would. */
    void paint() { window->repaint(); }
};

/** Notes when a window other than the home window has been painted whole, and then closes it. */
class PaintedThenClosed final : public QObject
{
public:
    explicit PaintedThenClosed(QWidget* home) : m_home(home) {}
    std::chrono::steady_clock::time_point paintedAt;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        auto* dialog = qobject_cast<QDialog*>(watched);
        if (event->type() == QEvent::Paint && dialog != nullptr && dialog != m_home && !m_closing) {
            m_closing = true;
            // The children are painted in the same pass: once it is over, the window is on screen.
            QTimer::singleShot(0, dialog, [this, dialog] {
                paintedAt = std::chrono::steady_clock::now();
                m_closing = false;
                dialog->reject();
            });
        }
        return QObject::eventFilter(watched, event);
    }

private:
    QWidget* m_home;
    bool m_closing = false;
};

void BM_CategoryTapToPaintedWindow(benchmark::State& state)
{
    LengthWindow length;
    if (!length.openOrSkip(state)) {
        return;
    }
    length.window.reset();
    CMainDlg home(UiServices{&length.messages, &length.screen, nullptr, &length.settings, length.resources.get()},
                  QStringLiteral(QUANTARO_PROGRAM_DIR));
    home.resize(kPhoneScreen);
    home.show();
    // The first paint loads the catalogue.
    for (int i = 0; i < kSettleTurns; ++i) {
        QApplication::processEvents();
    }
    auto* button = home.control<QPushButton>(home::kFirstCategoryButton + kLengthCategory);
    if (button == nullptr) {
        state.SkipWithError("the home window has no Length button");
        return;
    }
    PaintedThenClosed watcher(&home);
    qApp->installEventFilter(&watcher);
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        // The conversion window runs its own loop until the watcher closes it.
        QTest::mouseClick(button, Qt::LeftButton);
        state.SetIterationTime(std::chrono::duration<double>(watcher.paintedAt - start).count());
    }
    qApp->removeEventFilter(&watcher);
}
BENCHMARK(BM_CategoryTapToPaintedWindow)->UseManualTime()->Unit(benchmark::kMillisecond);

/** Each iteration types a 7 into the value and paints the window; a value grown long starts again,
 *  untimed. */
void typeAndPaint(benchmark::State& state, LengthWindow& shown)
{
    QLineEdit* field = shown.window->control<QLineEdit>(convertdlg::kInput);
    constexpr int kLongestValue = 12;
    for (auto _ : state) {
        if (field->text().size() >= kLongestValue) {
            state.PauseTiming();
            field->clear();
            state.ResumeTiming();
        }
        QTest::keyClick(field, Qt::Key_7);
        shown.paint();
    }
}

void BM_KeyPressToPaintedResult(benchmark::State& state)
{
    LengthWindow length;
    if (!length.openOrSkip(state)) {
        return;
    }
    typeAndPaint(state, length);
}
BENCHMARK(BM_KeyPressToPaintedResult)->Unit(benchmark::kMicrosecond);

// state.range(0): 0 for Length, 1 for the currencies topped up to kManyCurrencies.
void BM_KeyPressToEveryUnitPainted(benchmark::State& state)
{
    LengthWindow shown;
    const bool currencies = state.range(0) == 1;
    if (!shown.openOrSkip(state, currencies ? kCurrencyCategory : kLengthCategory, currencies ? kManyCurrencies : 0)) {
        return;
    }
    shown.window->command(convertdlg::kEveryUnit);
    const auto* targets = shown.window->control<QListWidget>(convertdlg::kToList);
    typeAndPaint(state, shown);
    state.counters["rows"] = targets->count();
}
BENCHMARK(BM_KeyPressToEveryUnitPainted)
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(9)
    ->ReportAggregatesOnly(true);

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
