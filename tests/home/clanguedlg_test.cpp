#include "app/cconverterapp.h"
#include "app/resourcesource.h"
#include "app/savefailurenotice.h"
#include "app/settingsstore.h"
#include "home/clanguedlg.h"
#include "support/failingwrites.h"
#include "support/fakes.h"
#include "testpaths.h"
#include "ui/bottommenubar.h"
#include "ui/controls.h"
#include "ui/dialogtemplate.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QTemporaryDir>
#include <cmath>
#include <gtest/gtest.h>

using namespace quantaro;
using namespace quantaro::test;

namespace {

constexpr QRgb kWhite = 0xffffffff;
constexpr QRgb kBlack = 0xff000000;
constexpr QRgb kRed = 0xffff0000;
constexpr QRgb kDeutschBlue = 0xff0000ff;
constexpr QRgb kDeutschInverted = 0xffffff00;

class LanguageWindowTest : public ::testing::Test
{
protected:
    LanguageWindowTest() : settings(m_settingsDir.filePath(QStringLiteral("q.ini"))) {}

    void addModules(const QStringList& modules)
    {
        for (const QString& module : modules) {
            ASSERT_TRUE(QFile::copy(QStringLiteral(QUANTARO_TEST_MODULE_DIR "/") + module, m_program.filePath(module)))
                << module.toStdString();
        }
    }
    std::unique_ptr<CLangueDlg> open(uint16_t deviceLanguage)
    {
        auto window = std::make_unique<CLangueDlg>(UiServices{&messages, &screen, nullptr, &settings, nullptr},
                                                   m_program.path(), deviceLanguage);
        window->show();
        QApplication::processEvents();
        return window;
    }
    static QStringList languageNames(const CLangueDlg& window)
    {
        QStringList names;
        for (const LanguageEntry& entry : window.entries()) {
            names << entry.languageName;
        }
        return names;
    }
    /** Where a banner drawn at that factor starts in a row: centred in the row's height. */
    static int bannerTop(const QImage& row, qreal factor)
    {
        return static_cast<int>(std::floor((row.height() - langue::kBannerSize.height() * factor) / 2));
    }
    static QImage rowImage(CLangueDlg& window, int row)
    {
        return window.control(langue::kFirstRow + row)->grab().toImage().convertToFormat(QImage::Format_RGB32);
    }
    QString storedName() const { return settings.getString(settings::kSettings, settings::kLanguageDllName); }
    int storedNewInstall() const { return settings.getInt(settings::kSettings, settings::kNewInstall, 1); }

    QTemporaryDir m_program;
    QTemporaryDir m_settingsDir;
    SettingsStore settings;
    RecordingMessageBoxes messages;
    FixedScreen screen{QSize(360, 640)};
};

const QStringList kSevenLanguages = {"svenska.so",  "deutsch.so", "nederlands.so", "english.so",
                                     "italiano.so", "espanol.so", "francais.so"};

} // namespace

TEST(LanguageTemplateTest, TheProgramCarriesTemplateNinetyWithEveryControlOfTheWindow)
{
    const ResourceSource program(kProgramResourceRoot);
    const auto file = program.dialogTemplate(langue::kTemplate);
    ASSERT_TRUE(file.has_value());
    const auto parsed = DialogTemplate::parse(*file);
    ASSERT_TRUE(parsed.has_value());
    EXPECT_EQ(parsed->title, "Quantaro");
    std::vector<int> ids;
    for (const TemplateItem& item : parsed->items) {
        ids.push_back(item.id);
    }
    EXPECT_EQ(ids, (std::vector<int>{90, 91, 92, 93, 94, 95, 96, 98}));
    EXPECT_TRUE(program.menu(langue::kMenu).has_value());

    // Rows are touch targets at the design size, and nothing overlaps down to the handheld sizes.
    for (const QSize window : {parsed->designSize, QSize(240, 320), QSize(320, 240)}) {
        std::vector<QRect> rects;
        for (const TemplateItem& item : parsed->items) {
            rects.push_back(mapFromDesign(item.geometry, parsed->designSize, window));
            EXPECT_LE(rects.back().bottom(), window.height() - kMenuBarHeight) << item.id;
            EXPECT_LE(rects.back().right(), window.width()) << item.id;
        }
        for (size_t i = 0; i < rects.size(); ++i) {
            for (size_t j = i + 1; j < rects.size(); ++j) {
                EXPECT_FALSE(rects[i].intersects(rects[j])) << parsed->items[i].id << " " << parsed->items[j].id;
            }
        }
    }
    for (const TemplateItem& item : parsed->items) {
        if (item.id >= langue::kFirstRow && item.id < langue::kFirstRow + langue::kVisibleRows) {
            EXPECT_GE(item.geometry.height(), 40);
        }
    }
}

TEST(LanguageTemplateTest, BannerScaleIsTheRowHeightInWholeBannerHeights)
{
    const std::pair<int, int> cases[] = {{19, 1}, {17, 0}, {18, 1}, {36, 2}, {40, 2}, {0, 0}, {-5, 0}};
    for (const auto& [height, scale] : cases) {
        EXPECT_EQ(CLangueDlg::scaleForRowHeight(height), scale) << height;
    }
}

TEST_F(LanguageWindowTest, ListsValidModulesInDescendingOrderOfTheirNames)
{
    addModules({"deutsch.so", "english.so", "francais.so", "lowercase.so", "older.so", "nokey.so", "nolanguage.so"});
    QFile text(m_program.filePath(QStringLiteral("readme.so")));
    ASSERT_TRUE(text.open(QIODevice::WriteOnly));
    text.write("not a library");
    text.close();

    auto window = open(0x0409);
    EXPECT_EQ(languageNames(*window), (QStringList{"Français", "English", "Deutsch"}));
    EXPECT_EQ(window->entries().front().fileName, "francais.so");
    EXPECT_EQ(window->windowTitle(), "Quantaro");
    for (int row = 0; row < langue::kVisibleRows; ++row) {
        EXPECT_EQ(window->control(langue::kFirstRow + row)->isVisible(), row < 3) << row;
    }
    EXPECT_FALSE(window->control(langue::kScrollBar)->isVisible());
    EXPECT_TRUE(messages.messages.empty());
}

TEST_F(LanguageWindowTest, OneModuleOrNoneIsSettledWithoutAsking)
{
    struct Case
    {
        QStringList modules;
        bool stored;
        QString name;
        int newInstall;
        size_t messageCount;
    };
    const Case cases[] = {
        {{"english.so", "older.so"}, true, "english.so", 0, 0},
        {{"lowercase.so", "nokey.so", "nolanguage.so"}, false, "", 1, 1},
        {{}, false, "", 1, 1},
    };
    for (const Case& c : cases) {
        QTemporaryDir program;
        QTemporaryDir settingsDir;
        SettingsStore store(settingsDir.filePath(QStringLiteral("q.ini")));
        store.putString(settings::kSettings, settings::kLanguageDllName, QStringLiteral("stale.so"));
        for (const QString& module : c.modules) {
            ASSERT_TRUE(QFile::copy(QStringLiteral(QUANTARO_TEST_MODULE_DIR "/") + module, program.filePath(module)));
        }
        RecordingMessageBoxes boxes;
        CLangueDlg window(UiServices{&boxes, &screen, nullptr, &store, nullptr}, program.path(), 0x0409);
        window.exec();

        EXPECT_FALSE(window.isVisible()) << c.name.toStdString();
        EXPECT_TRUE(window.isConfirmed());
        EXPECT_EQ(store.contains(settings::kSettings, settings::kLanguageDllName), c.stored);
        EXPECT_EQ(store.getString(settings::kSettings, settings::kLanguageDllName), c.name);
        EXPECT_EQ(store.getInt(settings::kSettings, settings::kNewInstall, -1), c.newInstall);
        ASSERT_EQ(boxes.messages.size(), c.messageCount);
        if (c.messageCount > 0) {
            EXPECT_EQ(boxes.messages.front().text, kDamagedMessage);
            EXPECT_EQ(boxes.messages.front().icon, MessageIcon::Error);
        }
    }
}

TEST_F(LanguageWindowTest, TheDeviceLanguagePicksTheDefaultRow)
{
    struct Case
    {
        uint16_t device;
        QStringList modules;
        QString expected; // language name, empty for none
    };
    const Case cases[] = {
        {0x0407, {"beta.so", "english.so"}, "Beta"},                       // 0x0807: same primary language
        {0x0411, {"francais.so", "ukenglish.so"}, "UK English"},           // 0x0809: English fallback
        {0x040C, {"deutsch.so", "francais.so", "english.so"}, "Français"}, // exact
        {0, {"deutsch.so", "english.so", "ukenglish.so"}, "English"},      // none known: 0x0409
        {0x0411, {"francais.so", "italiano.so"}, ""},
    };
    for (const Case& c : cases) {
        QTemporaryDir program;
        for (const QString& module : c.modules) {
            ASSERT_TRUE(QFile::copy(QStringLiteral(QUANTARO_TEST_MODULE_DIR "/") + module, program.filePath(module)));
        }
        CLangueDlg window(UiServices{&messages, &screen, nullptr, &settings, nullptr}, program.path(), c.device);
        window.show();
        const int index = window.selectedIndex();
        const QString chosen = index >= 0 ? window.entries()[size_t(index)].languageName : QString();
        EXPECT_EQ(chosen, c.expected) << c.device;
        // The preselected module's own texts are shown at once.
        const QString header = index >= 0 ? window.entries()[size_t(index)].headerText : QString();
        EXPECT_EQ(window.control<QLabel>(langue::kHeaderLabel)->text(), header);
    }
}

TEST_F(LanguageWindowTest, WithoutADefaultOkWaitsForATapAndCancelConfirmsToo)
{
    addModules({"francais.so", "italiano.so"});
    auto window = open(0x0411);
    ASSERT_EQ(window->selectedIndex(), -1);
    window->command(kIdOk);
    window->command(kIdCancel);
    window->close();
    EXPECT_TRUE(window->isVisible());
    EXPECT_FALSE(settings.contains(settings::kSettings, settings::kNewInstall));

    window->command(langue::kFirstRow + 1); // Français, below Italiano
    EXPECT_EQ(window->control<QLabel>(langue::kHeaderLabel)->text(), "Français header");
    EXPECT_EQ(window->control<QLabel>(langue::kFooterLabel)->text(), "Français footer");
    window->command(kIdCancel);
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(window->result(), QDialog::Rejected);
    EXPECT_EQ(storedName(), "francais.so");
    EXPECT_EQ(storedNewInstall(), 0);
    for (const LanguageEntry& entry : window->entries()) {
        EXPECT_EQ(entry.module, nullptr); // every module is unloaded, the chosen one too
    }
}

TEST_F(LanguageWindowTest, ADefaultBeyondTheFirstPageIsTheLastVisibleRow)
{
    addModules(kSevenLanguages);
    auto window = open(0x0407);
    ASSERT_EQ(languageNames(*window).size(), 7);
    EXPECT_EQ(window->selectedIndex(), 6);
    EXPECT_EQ(window->firstVisibleRow(), 2);
    auto* bar = window->control<QScrollBar>(langue::kScrollBar);
    EXPECT_TRUE(bar->isVisible());
    EXPECT_EQ(bar->maximum(), 2);

    // Row 6 (the fifth button) carries the mark: a dotted outline along its edges, inverted pixels,
    // while the banner inside keeps its colours.
    const qreal scale = window->bannerFactor();
    ASSERT_GE(scale, 1);
    const QImage selected = rowImage(*window, 4);
    const int top = bannerTop(selected, scale);
    EXPECT_EQ(selected.pixel(int(13 * scale), top + int(9 * scale)), kRed);
    EXPECT_EQ(selected.pixel(int(60 * scale), top + int(9 * scale)), kDeutschBlue);
    EXPECT_EQ(selected.pixel(0, 0), kDeutschInverted);
    EXPECT_EQ(selected.pixel(5, 0), kDeutschBlue) << "a gap between two dots";
    EXPECT_EQ(selected.pixel(0, selected.height() / 2 / 8 * 8), kDeutschInverted);
    const QImage unselected = rowImage(*window, 3); // English, not selected
    EXPECT_EQ(unselected.pixel(int(13 * scale), top + int(9 * scale)), kRed);
    EXPECT_EQ(unselected.pixel(int(60 * scale), top + int(1 * scale)), 0xff008000);

    // A tap on a scrolled page selects by the visible row.
    window->command(langue::kFirstRow);
    EXPECT_EQ(window->selectedIndex(), 2);
    EXPECT_EQ(rowImage(*window, 4).pixel(0, 0), kDeutschBlue);
}

TEST_F(LanguageWindowTest, ScrollingKeepsTheFirstRowWithinTheLastPage)
{
    addModules(kSevenLanguages);
    auto window = open(0x0407);
    auto* bar = window->control<QScrollBar>(langue::kScrollBar);
    struct Case
    {
        int from;
        QAbstractSlider::SliderAction action;
        int expected;
    };
    const Case cases[] = {
        {0, QAbstractSlider::SliderPageStepAdd, 2},   {2, QAbstractSlider::SliderPageStepSub, 0},
        {1, QAbstractSlider::SliderPageStepAdd, 2},   {0, QAbstractSlider::SliderSingleStepAdd, 1},
        {2, QAbstractSlider::SliderSingleStepAdd, 2}, {0, QAbstractSlider::SliderToMaximum, 2},
        {2, QAbstractSlider::SliderToMinimum, 0},
    };
    for (const Case& c : cases) {
        bar->setValue(c.from);
        bar->triggerAction(c.action);
        EXPECT_EQ(window->firstVisibleRow(), c.expected) << c.from << " " << c.action;
    }
    bar->setValue(0);
    window->command(langue::kFirstRow + 4);
    EXPECT_EQ(window->selectedIndex(), 4);
    bar->triggerAction(QAbstractSlider::SliderPageStepAdd);
    // The selected entry moved up with the page; the drawing follows the entries, not the buttons.
    const qreal scale = window->bannerFactor();
    const QImage moved = rowImage(*window, 2);
    EXPECT_EQ(moved.pixel(int(13 * scale), bannerTop(moved, scale) + int(9 * scale)), kRed);
    EXPECT_NE(rowImage(*window, 2).pixel(0, 0), rowImage(*window, 4).pixel(0, 0));
}

TEST_F(LanguageWindowTest, TheBannerScaleFollowsTheRowHeight)
{
    addModules({"deutsch.so", "english.so"});
    auto window = open(0x0407);
    ASSERT_EQ(window->selectedIndex(), 1);
    struct Case
    {
        int rowHeight;
        int scale;
        qreal factor;
    };
    // Rows are 272 pixels wide at this window width: a banner at scale 2 would not fit and is shrunk
    // to the row's width instead of being cut off.
    for (const Case c : {Case{19, 1, 1.0}, Case{17, 0, 0.0}, Case{40, 2, 272 / 200.0}}) {
        // Find a window height whose re-layout gives rows of that height.
        bool found = false;
        for (int height = 120; height <= 800 && !found; ++height) {
            window->resize(360, height);
            found = window->control(langue::kFirstRow)->height() == c.rowHeight;
        }
        ASSERT_TRUE(found) << c.rowHeight;
        EXPECT_EQ(window->scale(), c.scale) << c.rowHeight;
        EXPECT_DOUBLE_EQ(window->bannerFactor(), c.factor) << c.rowHeight;
        const qreal f = c.factor;
        const QImage english = rowImage(*window, 0);
        const QImage deutsch = rowImage(*window, 1);
        if (c.scale == 0) {
            // No banner at all: a plain white row, with the dotted outline when selected.
            EXPECT_EQ(english.pixel(5, 5), kWhite);
            EXPECT_EQ(deutsch.pixel(5, 5), kWhite);
            EXPECT_EQ(deutsch.pixel(0, 0), kBlack);
        } else {
            const int top = bannerTop(english, f);
            EXPECT_EQ(english.pixel(int(60 * f), top + int(1 * f)), 0xff008000);
            // The row around the banner takes the banner's background: the whole row is its band.
            EXPECT_EQ(english.pixel(english.width() - 2, int(1 * f)), 0xff008000);
            EXPECT_EQ(deutsch.pixel(int(13 * f), top + int(9 * f)), kRed);
            if (english.height() > 18 * f + 1) {
                EXPECT_EQ(english.pixel(5, english.height() - 1), 0xff008000);
                EXPECT_EQ(deutsch.pixel(1, deutsch.height() - 1), kDeutschInverted);
            }
        }
        // Every size change puts the selected module's texts back.
        EXPECT_EQ(window->control<QLabel>(langue::kFooterLabel)->text(), "Deutsch footer");
    }
}

// Renders the window to PNG files under the build folder, for a person to look at, in the design size,
// the three shapes and the handheld sizes.
TEST_F(LanguageWindowTest, RendersInEveryShapeWithRowsInsideTheWindow)
{
    addModules(kSevenLanguages);
    const QString folder = QStringLiteral(QUANTARO_BINARY_DIR "/renders");
    ASSERT_TRUE(QDir().mkpath(folder));
    for (const QSize size :
         {QSize(360, 400), QSize(360, 640), QSize(640, 360), QSize(480, 480), QSize(240, 320), QSize(320, 240)}) {
        screen.size = size;
        auto window = open(0x0407);
        window->resize(size);
        QApplication::processEvents();
        for (int row = 0; row < langue::kVisibleRows; ++row) {
            const QRect rect = window->control(langue::kFirstRow + row)->geometry();
            EXPECT_TRUE(window->rect().contains(rect)) << size.width() << "x" << size.height();
            EXPECT_FALSE(rect.intersects(window->menuBar()->geometry()));
        }
        const QString file = folder + QStringLiteral("/language_%1x%2.png").arg(size.width()).arg(size.height());
        EXPECT_TRUE(window->grab().save(file)) << file.toStdString();
    }
}

// The choice cannot be stored: the person is told so in the language just chosen, and this session
// goes on in it; the next start asks again.
TEST_F(LanguageWindowTest, AChoiceThatCannotBeStoredIsToldInTheChosenLanguage)
{
    for (const char* module : {"quantaro_fr.so", "quantaro_de.so"}) {
        const QString name = QString::fromLatin1(module);
        ASSERT_TRUE(QFile::copy(QStringLiteral(QUANTARO_PROGRAM_DIR "/") + name, m_program.filePath(name)));
    }
    forgetSaveFailureTold();
    {
        const FailingWrites disk(FailingWrites::Stage::Write, 0, ENOSPC);
        auto window = open(0x040C);
        window->command(kIdOk);
        EXPECT_EQ(window->chosenFile(), QStringLiteral("quantaro_fr.so"));
        ASSERT_EQ(messages.messages.size(), 1u);
        const QString text = messages.messages.front().text;
        EXPECT_TRUE(text.contains(m_settingsDir.path()) && text.contains(QStringLiteral("le disque est plein")))
            << text.toStdString();
        EXPECT_EQ(storedNewInstall(), 1);

        AppServices services;
        services.settings = &settings;
        services.messages = &messages;
        services.programFolder = m_program.path();
        CConverterApp app(services);
        app.setSessionLanguage(window->chosenFile());
        EXPECT_TRUE(app.LoadLanguageModule());
    }
    forgetSaveFailureTold();
}
