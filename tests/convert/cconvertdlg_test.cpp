#include "convert/cconvertdlg.h"

#include "app/languagemodule.h"
#include "app/resourcesource.h"
#include "app/settingsstore.h"
#include "catalogue/catalogueloader.h"
#include "catalogue/rubric.h"
#include "convert/conversion.h"
#include "support/englishcatalogue.h"
#include "support/fakes.h"
#include "support/localeenvironment.h"
#include "testpaths.h"
#include "ui/bottommenubar.h"
#include "ui/contrast.h"
#include "ui/controls.h"
#include "ui/spokentext.h"

#include <QAccessible>
#include <QActionGroup>
#include <QApplication>
#include <QClipboard>
#include <QDateTime>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>
#include <memory>
#include <tuple>

using namespace quantaro;
using namespace quantaro::convertdlg;
using namespace quantaro::test;

namespace {

const ResourceSource& englishResources()
{
    // Kept loaded until the process ends: windows of every test may still hold its pictures.
    static LanguageModule* module = [] {
        auto loaded = LanguageModule::load(QStringLiteral(QUANTARO_PROGRAM_DIR "/quantaro_en.so"));
        if (!loaded || !loaded->registerResources()) {
            ADD_FAILURE() << "the English module cannot be loaded";
            return static_cast<LanguageModule*>(nullptr);
        }
        return loaded.release();
    }();
    static const ResourceSource source(module ? module->resourceRoot() : QStringLiteral(":/missing"));
    return source;
}

UnitRecord unit(const char* name, const char* toBase, const char* fromBase, const char* tag = "", bool hidden = false)
{
    UnitRecord record;
    record.setName(QString::fromUtf8(name));
    record.setToBase(QString::fromUtf8(toBase));
    record.setFromBase(QString::fromUtf8(fromBase));
    record.setTag(QString::fromUtf8(tag));
    record.setHidden(hidden);
    return record;
}

// Length without sub-categories; "Mile" comes before "metre", and a hidden unit sits among them.
Rubric plainRubric()
{
    Rubric rubric;
    rubric.setCode(QStringLiteral("LEN"));
    rubric.setName(QStringLiteral("Length"));
    rubric.addUnit(unit("foot", "$*0.3048", "$/0.3048"));
    rubric.addUnit(unit("hidden league", "$*4828", "$/4828", "", true));
    rubric.addUnit(unit("inch", "$*0.0254", "$/0.0254"));
    rubric.addUnit(unit("Mile", "$*1609.344", "$/1609.344"));
    rubric.addUnit(unit("metre", "$", "$"));
    rubric.addUnit(unit("centimetre", "$/100", "$*100"));
    return rubric;
}

// Length in three sub-categories, tagged by their first character.
Rubric sousRubrics()
{
    Rubric rubric;
    rubric.setCode(QStringLiteral("LEN"));
    rubric.setName(QStringLiteral("Length"));
    rubric.addSousRubric(QStringLiteral("Metric"));
    rubric.addSousRubric(QStringLiteral("Imperial"));
    rubric.addSousRubric(QStringLiteral("Nautical"));
    rubric.addUnit(unit("metre", "$", "$", "0"));
    rubric.addUnit(unit("kilometre", "$*1000", "$/1000", "0"));
    rubric.addUnit(unit("foot", "$*0.3048", "$/0.3048", "1"));
    rubric.addUnit(unit("yard", "$*0.9144", "$/0.9144", "1x"));
    rubric.addUnit(unit("nautical mile", "$*1852", "$/1852", "2"));
    rubric.addUnit(unit("cable", "$*185.2", "$/185.2", "2"));
    return rubric;
}

QStringList itemsOf(const QListWidget* list)
{
    QStringList texts;
    for (int row = 0; row < list->count(); ++row) {
        texts << list->item(row)->text();
    }
    return texts;
}

QString selectedText(const QListWidget* list)
{
    const auto selected = list->selectedItems();
    return selected.isEmpty() ? QString() : selected.first()->text();
}

class ConvertDlgTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(tempDir.isValid());
        QGuiApplication::clipboard()->clear();
    }

    std::unique_ptr<CConvertDlg> open(Rubric& rubric)
    {
        auto window =
            std::make_unique<CConvertDlg>(rubric, UiServices{&messages, &screen, nullptr, &store, &englishResources()});
        window->resize(screen.size);
        window->show();
        QApplication::processEvents();
        return window;
    }

    void remember(const QString& name, const QString& value) { store.putString(settings::kSettings, name, value); }
    QString stored(const QString& name) const { return store.getString(settings::kSettings, name); }
    int storedInt(const QString& name) const { return store.getInt(settings::kSettings, name, -12345); }

    static QLineEdit* input(const CConvertDlg& w) { return w.control<QLineEdit>(kInput); }
    static QListWidget* from(const CConvertDlg& w) { return w.control<QListWidget>(kFromList); }
    static QListWidget* to(const CConvertDlg& w) { return w.control<QListWidget>(kToList); }
    static QString result(const CConvertDlg& w) { return w.control<QLabel>(kResult)->text(); }
    static QString title(const CConvertDlg& w) { return w.control<QLabel>(kTitle)->text(); }

    static void selectUnits(CConvertDlg& w, const QString& source, const QString& target)
    {
        for (auto [list, name] : {std::pair{from(w), source}, std::pair{to(w), target}}) {
            const auto found = list->findItems(name, Qt::MatchExactly);
            list->setCurrentItem(found.isEmpty() ? nullptr : found.first());
        }
    }

    // Opens every popup of the bar once, as the user would look through the menus.
    static void openMenus(CConvertDlg& w)
    {
        for (QMenu* menu : w.menuBar()->allMenus()) {
            emit menu->aboutToShow();
        }
    }

    static QMenu* precisionPopup(const CConvertDlg& w) { return w.menuBar()->popupByFirstItem(kFirstPrecision); }

    // Command ids of the checked items of a popup.
    static std::vector<int> checkedIds(const QMenu* popup)
    {
        std::vector<int> ids;
        for (QAction* item : BottomMenuBar::items(popup)) {
            if (item->isChecked()) {
                ids.push_back(item->data().toInt());
            }
        }
        return ids;
    }

    QTemporaryDir tempDir;
    SettingsStore store{tempDir.filePath(QStringLiteral("q.ini"))};
    RecordingMessageBoxes messages;
    FixedScreen screen{QSize(360, 640)};
};

TEST_F(ConvertDlgTest, TypedOrKeypadInputShowsTheConvertedValueAndClearEmptiesBoth)
{
    Rubric rubric = plainRubric();
    const std::vector<std::function<void(CConvertDlg&)>> typing = {
        [](CConvertDlg& w) { QTest::keyClicks(input(w), QStringLiteral("12*2.54")); },
        [](CConvertDlg& w) {
            for (int id : {1011, 1012, 1023, 1012, 1020, 1015, 1014}) {
                QTest::mouseClick(w.control<QPushButton>(id), Qt::LeftButton);
            }
        },
    };
    for (std::size_t i = 0; i < typing.size(); ++i) {
        auto window = open(rubric);
        selectUnits(*window, QStringLiteral("inch"), QStringLiteral("centimetre"));
        typing[i](*window);
        EXPECT_EQ(input(*window)->text(), QStringLiteral("12*2.54")) << i;
        // 30.48 inches.
        EXPECT_EQ(result(*window), QStringLiteral("77.4192")) << i;
        QTest::mouseClick(window->control<QPushButton>(kClear), Qt::LeftButton);
        EXPECT_EQ(input(*window)->text(), QString()) << i;
        EXPECT_EQ(result(*window), QString()) << i;
    }
}

TEST_F(ConvertDlgTest, KeypadTypesAtTheCaretReplacingTheSelection)
{
    Rubric rubric = plainRubric();
    auto window = open(rubric);
    struct Case
    {
        const char* before;
        int selectionStart;
        int selectionLength;
        int key;
        const char* after;
    };
    const Case cases[] = {
        {"123", 1, 1, 1019, "193"},                                      // a selected digit is replaced
        {"123", 3, 0, 1025, "123e"},                                     // caret at the end
        {"123", 0, 0, 1021, "-123"},                                     // caret at the start
        {"123", 0, 3, 1024, "/"},                                        // all selected
        {"123", 2, 0, kBackspace, "13"}, {"123", 1, 2, kBackspace, "1"}, // backspace removes just the selection
        {"", 0, 0, kBackspace, ""},
    };
    for (const Case& c : cases) {
        QLineEdit* field = input(*window);
        field->setText(QString::fromUtf8(c.before));
        field->setFocus();
        if (c.selectionLength > 0) {
            field->setSelection(c.selectionStart, c.selectionLength);
        } else {
            field->setCursorPosition(c.selectionStart);
        }
        QTest::mouseClick(window->control<QPushButton>(c.key), Qt::LeftButton);
        EXPECT_EQ(field->text(), QString::fromUtf8(c.after)) << c.before << " key " << c.key;
    }
}

TEST_F(ConvertDlgTest, KeypadSendsTheCharactersOfItsTable)
{
    Rubric rubric = plainRubric();
    auto window = open(rubric);
    QString typed;
    for (int id = kFirstKey; id <= kLastKey; ++id) {
        QTest::mouseClick(window->control<QPushButton>(id), Qt::LeftButton);
    }
    EXPECT_EQ(input(*window)->text(), QStringLiteral("0123456789.-+*/e"));
}

TEST_F(ConvertDlgTest, MissingSelectionShowsNothingAndSwapNeedsBothLists)
{
    Rubric rubric = plainRubric();
    auto window = open(rubric);
    input(*window)->setText(QStringLiteral("2"));

    selectUnits(*window, QStringLiteral("foot"), QString());
    EXPECT_EQ(result(*window), QString()) << "a source without a target";
    QTest::mouseClick(window->control<QPushButton>(kSwap), Qt::LeftButton);
    EXPECT_EQ(selectedText(from(*window)), QStringLiteral("foot"));
    EXPECT_EQ(selectedText(to(*window)), QString());

    selectUnits(*window, QString(), QStringLiteral("inch"));
    EXPECT_EQ(result(*window), QString()) << "a target without a source";
    QTest::mouseClick(window->control<QPushButton>(kSwap), Qt::LeftButton);
    EXPECT_EQ(selectedText(from(*window)), QString());
    EXPECT_EQ(selectedText(to(*window)), QStringLiteral("inch"));

    selectUnits(*window, QStringLiteral("foot"), QStringLiteral("inch"));
    EXPECT_EQ(result(*window), QStringLiteral("24"));
    QTest::mouseClick(window->control<QPushButton>(kSwap), Qt::LeftButton);
    EXPECT_EQ(selectedText(from(*window)), QStringLiteral("inch"));
    EXPECT_EQ(selectedText(to(*window)), QStringLiteral("foot"));
    EXPECT_EQ(result(*window), QStringLiteral("0.16666667"));
}

TEST_F(ConvertDlgTest, ListsHoldTheVisibleUnitsWithTheirIndexes)
{
    Rubric rubric = plainRubric();
    auto window = open(rubric);
    const QStringList expected = {"foot", "inch", "Mile", "metre", "centimetre"};
    EXPECT_EQ(itemsOf(from(*window)), expected);
    EXPECT_EQ(itemsOf(to(*window)), expected);
    // The item data is the unit's index in the category, past the hidden unit.
    EXPECT_EQ(from(*window)->item(1)->data(Qt::UserRole).toInt(), 2);
    EXPECT_EQ(to(*window)->item(4)->data(Qt::UserRole).toInt(), 5);
}

TEST_F(ConvertDlgTest, RememberedNamesSelectTheFirstUnitBeginningWithThemAndNothingRememberedTheFirstTwo)
{
    struct Case
    {
        const char* remembered;
        const char* from;
        const char* to;
    };
    // A name that finds no unit on show counts as nothing remembered: the first two units are chosen
    // so that a typed value converts at once.
    const Case cases[] = {
        {"m", "Mile", "Mile"},      {"ME", "metre", "metre"},   {"centimetre", "centimetre", "centimetre"},
        {"inches", "foot", "inch"}, {"hidden", "foot", "inch"}, {"", "foot", "inch"},
    };
    for (const Case& c : cases) {
        Rubric rubric = plainRubric();
        remember(QStringLiteral("LEN.From"), QString::fromUtf8(c.remembered));
        remember(QStringLiteral("LEN.To"), QString::fromUtf8(c.remembered));
        auto window = open(rubric);
        EXPECT_EQ(selectedText(from(*window)), QString::fromUtf8(c.from)) << c.remembered;
        EXPECT_EQ(selectedText(to(*window)), QString::fromUtf8(c.to)) << c.remembered;
        QTest::keyClicks(input(*window), QStringLiteral("3"));
        EXPECT_FALSE(result(*window).isEmpty()) << c.remembered;
    }
}

TEST_F(ConvertDlgTest, NothingRememberedOpensOnTheRegionsFirstPairAndAStoredChoiceWins)
{
    struct Case
    {
        const char* lang;
        const char* rememberedFrom;
        const char* rememberedTo;
        bool metreHidden;
        const char* from;
        const char* to;
    };
    // The English module's pairs name the units "foot (ft)" and "metre (m)".
    const Case cases[] = {
        {"en_US.UTF-8", "", "", false, "foot (ft)", "metre (m)"},
        {"en_GB.UTF-8", "", "", false, "metre (m)", "foot (ft)"},
        {"de_DE.UTF-8", "", "", false, "metre (m)", "foot (ft)"},
        {"C", "", "", false, "metre (m)", "foot (ft)"},
        {"en_US.UTF-8", "inch", "Mile", false, "inch", "Mile"},
        {"en_US.UTF-8", "inch", "", false, "inch", "metre (m)"},
        {"en_US.UTF-8", "hidden league", "", false, "foot (ft)", "metre (m)"},
        // A unit of the pair the user hid: the first other unit on show stands in for it.
        {"en_US.UTF-8", "", "", true, "foot (ft)", "gigametre (Gm)"},
    };
    for (const Case& c : cases) {
        const ScopedLocaleEnvironment locale("", "", c.lang);
        Rubric rubric;
        rubric.setCode(QStringLiteral("LEN"));
        rubric.setName(QStringLiteral("Length"));
        rubric.addUnit(unit("gigametre (Gm)", "$*1e9", "$/1e9"));
        rubric.addUnit(unit("foot (ft)", "$*0.3048", "$/0.3048"));
        rubric.addUnit(unit("hidden league", "$*4828", "$/4828", "", true));
        rubric.addUnit(unit("inch", "$*0.0254", "$/0.0254"));
        rubric.addUnit(unit("Mile", "$*1609.344", "$/1609.344"));
        rubric.addUnit(unit("metre (m)", "$", "$", "", c.metreHidden));
        remember(QStringLiteral("LEN.From"), QString::fromUtf8(c.rememberedFrom));
        remember(QStringLiteral("LEN.To"), QString::fromUtf8(c.rememberedTo));
        auto window = open(rubric);
        const std::string where = std::string(c.lang) + " " + c.rememberedFrom + "/" + c.rememberedTo;
        EXPECT_EQ(selectedText(from(*window)), QString::fromUtf8(c.from)) << where;
        EXPECT_EQ(selectedText(to(*window)), QString::fromUtf8(c.to)) << where;
    }
}

TEST_F(ConvertDlgTest, ClosingStoresEverythingUnderTheCodeWithOkAndCancelAlike)
{
    const std::vector<std::function<void(CConvertDlg&)>> closings = {
        [](CConvertDlg& w) { w.accept(); },
        [](CConvertDlg& w) { w.reject(); },
        [](CConvertDlg& w) { QTest::keyClick(input(w), Qt::Key_Return); },
        [](CConvertDlg& w) { w.close(); },
    };
    for (std::size_t i = 0; i < closings.size(); ++i) {
        QTemporaryDir dir;
        SettingsStore fresh(dir.filePath(QStringLiteral("q.ini")));
        Rubric rubric = plainRubric();
        CConvertDlg window(rubric, UiServices{&messages, &screen, nullptr, &fresh, &englishResources()});
        window.show();
        selectUnits(window, QStringLiteral("inch"), QStringLiteral("metre"));
        window.command(kFirstNotation + 2);
        window.command(kFirstPrecision + 3);
        closings[i](window);
        EXPECT_FALSE(window.isVisible()) << i;
        EXPECT_EQ(window.result(), QDialog::Rejected) << i;
        EXPECT_EQ(fresh.getString(settings::kSettings, QStringLiteral("LEN.From")), QStringLiteral("inch")) << i;
        EXPECT_EQ(fresh.getString(settings::kSettings, QStringLiteral("LEN.To")), QStringLiteral("metre")) << i;
        EXPECT_EQ(fresh.getInt(settings::kSettings, QStringLiteral("LEN.ViewResult"), -1), 2) << i;
        EXPECT_EQ(fresh.getInt(settings::kSettings, QStringLiteral("LEN.PrecisionResult"), -1), 3) << i;
        // A category without sub-categories has no numbered names and no current sub-category.
        EXPECT_FALSE(fresh.contains(settings::kSettings, QStringLiteral("LEN.From.0"))) << i;
        EXPECT_FALSE(fresh.contains(settings::kSettings, QStringLiteral("LEN.To.0"))) << i;
        EXPECT_FALSE(fresh.contains(settings::kSettings, QStringLiteral("LEN.CurrentSousRubric"))) << i;
    }
}

TEST_F(ConvertDlgTest, NoSelectionIsStoredAsAnEmptyName)
{
    Rubric rubric = plainRubric();
    remember(QStringLiteral("LEN.From"), QStringLiteral("foot"));
    auto window = open(rubric);
    from(*window)->clearSelection();
    window->reject();
    EXPECT_TRUE(store.contains(settings::kSettings, QStringLiteral("LEN.From")));
    EXPECT_EQ(stored(QStringLiteral("LEN.From")), QString());
}

TEST_F(ConvertDlgTest, WindowClosedBeforeItOpenedKeepsTheStoredValues)
{
    Rubric rubric = plainRubric();
    remember(QStringLiteral("LEN.From"), QStringLiteral("foot"));
    store.putInt(settings::kSettings, QStringLiteral("LEN.PrecisionResult"), 3);
    CConvertDlg window(rubric, UiServices{&messages, &screen, nullptr, &store, &englishResources()});
    window.reject();
    EXPECT_EQ(stored(QStringLiteral("LEN.From")), QStringLiteral("foot"));
    EXPECT_EQ(storedInt(QStringLiteral("LEN.PrecisionResult")), 3);
}

TEST_F(ConvertDlgTest, SwitchingSubCategoryStoresTheOldSelectionsAndRestoresTheNewOnes)
{
    Rubric rubric = sousRubrics();
    remember(QStringLiteral("LEN.From.1"), QStringLiteral("yard"));
    remember(QStringLiteral("LEN.To.1"), QStringLiteral("f"));
    auto window = open(rubric);
    EXPECT_EQ(title(*window), QStringLiteral("Length\n(Metric)"));
    EXPECT_EQ(itemsOf(from(*window)), (QStringList{"metre", "kilometre"}));
    selectUnits(*window, QStringLiteral("kilometre"), QStringLiteral("metre"));
    input(*window)->setText(QStringLiteral("3"));
    EXPECT_EQ(result(*window), QStringLiteral("3000"));

    window->command(kFirstSousRubric + 1);
    EXPECT_EQ(stored(QStringLiteral("LEN.From.0")), QStringLiteral("kilometre"));
    EXPECT_EQ(stored(QStringLiteral("LEN.To.0")), QStringLiteral("metre"));
    EXPECT_EQ(title(*window), QStringLiteral("Length\n(Imperial)"));
    // A tag counts by its first character only.
    EXPECT_EQ(itemsOf(to(*window)), (QStringList{"foot", "yard"}));
    EXPECT_EQ(selectedText(from(*window)), QStringLiteral("yard"));
    EXPECT_EQ(selectedText(to(*window)), QStringLiteral("foot"));
    EXPECT_EQ(result(*window), QStringLiteral("9")) << "the switch recomputes with the new units";

    window->reject();
    EXPECT_EQ(stored(QStringLiteral("LEN.From.1")), QStringLiteral("yard"));
    EXPECT_EQ(storedInt(QStringLiteral("LEN.CurrentSousRubric")), 1);
    EXPECT_FALSE(store.contains(settings::kSettings, QStringLiteral("LEN.From")));
    EXPECT_EQ(stored(QStringLiteral("LEN.From.0")), QStringLiteral("kilometre")) << "left as the switch stored it";
}

TEST_F(ConvertDlgTest, StoredSubCategoryIsTheOneShownAndABadOneFallsBackToTheFirst)
{
    struct Case
    {
        int stored;
        const char* title;
        QStringList units;
    };
    const std::vector<Case> cases = {
        {2, "Length\n(Nautical)", {"nautical mile", "cable"}},
        {3, "Length\n(Metric)", {"metre", "kilometre"}},
        {-1, "Length\n(Metric)", {"metre", "kilometre"}},
        {2000000000, "Length\n(Metric)", {"metre", "kilometre"}},
    };
    for (const Case& c : cases) {
        Rubric rubric = sousRubrics();
        store.putInt(settings::kSettings, QStringLiteral("LEN.CurrentSousRubric"), c.stored);
        auto window = open(rubric);
        EXPECT_EQ(title(*window), QString::fromUtf8(c.title)) << c.stored;
        EXPECT_EQ(itemsOf(from(*window)), c.units) << c.stored;
    }
}

TEST_F(ConvertDlgTest, CopyAndPasteGoThroughTheClipboardAndFollowTheResult)
{
    Rubric rubric = plainRubric();
    auto window = open(rubric);
    selectUnits(*window, QStringLiteral("foot"), QStringLiteral("inch"));
    openMenus(*window);
    EXPECT_FALSE(window->menuBar()->action(kCopy)->isEnabled()) << "nothing to copy";
    EXPECT_FALSE(window->menuBar()->action(kPaste)->isEnabled()) << "nothing to paste";

    input(*window)->setText(QStringLiteral("3"));
    openMenus(*window);
    EXPECT_TRUE(window->menuBar()->action(kCopy)->isEnabled());
    window->command(kCopy);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("36"));

    QGuiApplication::clipboard()->setText(QStringLiteral("1/2"));
    openMenus(*window);
    EXPECT_TRUE(window->menuBar()->action(kPaste)->isEnabled());
    input(*window)->setFocus();
    input(*window)->setCursorPosition(0);
    window->command(kPaste);
    EXPECT_EQ(input(*window)->text(), QStringLiteral("1/2")) << "paste replaces the input";
    EXPECT_EQ(result(*window), QStringLiteral("6"));

    // An empty result never wipes the clipboard.
    QTest::mouseClick(window->control<QPushButton>(kClear), Qt::LeftButton);
    window->command(kCopy);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("1/2"));
}

TEST_F(ConvertDlgTest, NotationAndPrecisionCommandsRecompute)
{
    struct Case
    {
        const char* input;
        int notation;
        int precision;
        const char* shown;
    };
    const Case cases[] = {
        {"2.5", 2, 8, "2.5"},         {"100", 2, 8, "100"}, {"100", 2, 0, "100"}, {"1/3", 0, 8, "0.33333333"},
        {"1234.5", 1, 2, "1.23e+03"}, {"2*3", 0, 8, "6"},   {"1/0", 0, 8, "inf"}, {"0.125", 2, 2, "0.12"},
    };
    Rubric rubric = plainRubric();
    auto window = open(rubric);
    selectUnits(*window, QStringLiteral("metre"), QStringLiteral("metre"));
    for (const Case& c : cases) {
        input(*window)->setText(QString::fromUtf8(c.input));
        window->command(kFirstNotation + c.notation);
        window->command(kFirstPrecision + c.precision);
        EXPECT_EQ(window->notation(), c.notation);
        EXPECT_EQ(window->precision(), c.precision);
        EXPECT_EQ(result(*window), QString::fromUtf8(c.shown)) << c.input;
    }
}

TEST_F(ConvertDlgTest, RadioMarksFollowNotationPrecisionAndSubCategory)
{
    Rubric rubric = sousRubrics();
    store.putInt(settings::kSettings, QStringLiteral("LEN.PrecisionResult"), 6);
    store.putInt(settings::kSettings, QStringLiteral("LEN.ViewResult"), 1);
    auto window = open(rubric);
    BottomMenuBar* bar = window->menuBar();
    ASSERT_NE(bar, nullptr);
    QMenu* kinds = bar->popupByFirstItem(kSousRubricPlaceholder);
    ASSERT_NE(kinds, nullptr);

    // Precision 6 shares its id with the placeholder: its mark lands in the precision popup only.
    emit precisionPopup(*window)->aboutToShow();
    EXPECT_EQ(checkedIds(precisionPopup(*window)), std::vector<int>{kFirstPrecision + 6});

    openMenus(*window);
    openMenus(*window);
    QStringList names;
    for (QAction* item : BottomMenuBar::items(kinds)) {
        names << item->text();
    }
    EXPECT_EQ(names, (QStringList{"Metric", "Imperial", "Nautical"})) << "the placeholder is replaced once";
    EXPECT_EQ(checkedIds(kinds), std::vector<int>{kFirstSousRubric});
    EXPECT_EQ(checkedIds(precisionPopup(*window)), std::vector<int>{kFirstPrecision + 6});
    // Each set of choices is one exclusive group, drawn with radio marks.
    for (const QMenu* popup : {kinds, precisionPopup(*window)}) {
        QActionGroup* group = BottomMenuBar::items(popup).first()->actionGroup();
        ASSERT_NE(group, nullptr);
        EXPECT_TRUE(group->isExclusive());
        EXPECT_EQ(group->actions().size(), BottomMenuBar::items(popup).size());
    }
    EXPECT_EQ(bar->action(kFirstNotation + 1)->isChecked(), true);

    // Choosing items through the menu moves the marks.
    bar->action(kFirstSousRubric + 2)->trigger();
    bar->action(kFirstNotation + 2)->trigger();
    for (QAction* item : BottomMenuBar::items(precisionPopup(*window))) {
        if (item->data().toInt() == kFirstPrecision + 10) {
            item->trigger();
        }
    }
    openMenus(*window);
    EXPECT_EQ(window->currentSousRubric(), 2);
    EXPECT_EQ(checkedIds(kinds), std::vector<int>{kFirstSousRubric + 2});
    EXPECT_EQ(checkedIds(precisionPopup(*window)), std::vector<int>{kFirstPrecision + 10});
    EXPECT_FALSE(bar->action(kFirstNotation + 1)->isChecked());
    EXPECT_TRUE(bar->action(kFirstNotation + 2)->isChecked());

    // Precision 6 chosen after the placeholder is gone.
    bar->action(kSousRubricPlaceholder)->trigger();
    EXPECT_EQ(window->precision(), 6);
}

TEST_F(ConvertDlgTest, PlainCategoryUsesTheMenuWithoutSubCategories)
{
    Rubric plain = plainRubric();
    auto window = open(plain);
    EXPECT_EQ(window->menuBar()->popupByFirstItem(kSousRubricPlaceholder), nullptr);
    EXPECT_EQ(title(*window), QStringLiteral("Length"));
    window->command(kFirstSousRubric + 1);
    EXPECT_EQ(window->currentSousRubric(), 0) << "a category without sub-categories cannot switch";
}

TEST_F(ConvertDlgTest, SettingsOutOfRangeStillGiveAMarkedFormat)
{
    Rubric rubric = plainRubric();
    store.putInt(settings::kSettings, QStringLiteral("LEN.ViewResult"), 7);
    store.putInt(settings::kSettings, QStringLiteral("LEN.PrecisionResult"), 99);
    remember(QStringLiteral("LEN.From"), QStringLiteral("metre"));
    remember(QStringLiteral("LEN.To"), QStringLiteral("metre"));
    auto window = open(rubric);
    input(*window)->setText(QStringLiteral("1/3"));
    EXPECT_EQ(window->notation(), 0);
    EXPECT_EQ(window->precision(), 10);
    EXPECT_EQ(result(*window), QStringLiteral("0.3333333333"));
    openMenus(*window);
    EXPECT_EQ(checkedIds(precisionPopup(*window)), std::vector<int>{kFirstPrecision + 10});
    EXPECT_TRUE(window->menuBar()->action(kFirstNotation)->isChecked());

    store.putInt(settings::kSettings, QStringLiteral("LEN.PrecisionResult"), -5);
    auto second = open(rubric);
    EXPECT_EQ(second->precision(), 0);
}

TEST_F(ConvertDlgTest, TitleAndResultKeepTheirLookThroughEveryShape)
{
    Rubric rubric = sousRubrics();
    auto window = open(rubric);
    selectUnits(*window, QStringLiteral("metre"), QStringLiteral("kilometre"));
    input(*window)->setText(QStringLiteral("1500"));
    auto* titleLabel = window->control<QLabel>(kTitle);
    auto* resultLabel = window->control<QLabel>(kResult);
    for (const QSize size : {QSize(640, 360), QSize(480, 480), QSize(240, 320), QSize(320, 240), QSize(360, 640)}) {
        screen.size = size;
        window->resize(size);
        // The title stays large text (bold, 14 points or more), however small the screen: where its
        // two lines have no room at that size, it is one line cut short, whole in its tooltip and
        // for a screen reader.
        EXPECT_TRUE(titleLabel->font().bold()) << size.width();
        EXPECT_GE(titleLabel->font().pointSizeF(), 14.0) << size.width();
        const bool small = size.height() < 360;
        EXPECT_EQ(title(*window) == QStringLiteral("Length\n(Metric)"), !small) << size.width();
        EXPECT_EQ(titleLabel->toolTip(), small ? QStringLiteral("Length\n(Metric)") : QString()) << size.width();
        EXPECT_EQ(titleLabel->accessibleName(), QStringLiteral("Length (Metric)")) << size.width();
        EXPECT_EQ(result(*window), QStringLiteral("1.5")) << size.width();
        const QRect room = titleLabel->contentsRect();
        const QRect needed = QFontMetrics(titleLabel->font())
                                 .boundingRect(room, int(titleLabel->alignment()) | Qt::TextWordWrap, title(*window));
        EXPECT_LE(needed.height(), room.height()) << size.width();
        EXPECT_LE(needed.width(), room.width()) << size.width();
        EXPECT_GE(resultLabel->font().pointSizeF(), 11.0) << size.width();
    }
    // Two lines beside the unit search take a point less than the design's 16.
    EXPECT_GE(titleLabel->font().pointSizeF(), 15.0) << "the full size is back on the large screen";
    EXPECT_EQ(titleLabel->palette().color(QPalette::WindowText), QColor(0, 160, 0));
    EXPECT_EQ(resultLabel->palette().color(QPalette::WindowText), QColor(192, 0, 0));
    EXPECT_TRUE(titleLabel->font().bold());
    EXPECT_TRUE(resultLabel->font().bold());
    EXPECT_GE(resultLabel->font().pointSizeF(), 16.0);
    EXPECT_TRUE(resultLabel->textInteractionFlags() & Qt::TextSelectableByMouse);
}

// Renders the window with the English catalogue in every shape, for a person to look at.
TEST_F(ConvertDlgTest, RendersEveryShapeToPng)
{
    const QString folder = QStringLiteral(QUANTARO_BINARY_DIR "/renders");
    ASSERT_TRUE(QDir().mkpath(folder));
    Catalogue catalogue;
    CatalogueLoader loader(englishResources(), QStringLiteral(QUANTARO_PROGRAM_DIR), store, messages);
    ASSERT_TRUE(loader.load(catalogue));
    struct Render
    {
        int rubric;
        const char* from;
        const char* to;
        const char* input;
    };
    const Render renders[] = {{1, "inch", "centimetre", "12*2.54"}, {12, "becquerel", "curie", "3.7e10"}};
    for (const Render& r : renders) {
        Rubric& rubric = catalogue[static_cast<std::size_t>(r.rubric)];
        for (const QSize size : {QSize(360, 640), QSize(640, 360), QSize(480, 480), QSize(240, 320), QSize(320, 240)}) {
            screen.size = size;
            remember(rubric.code() + QStringLiteral(".From") + (rubric.hasSousRubrics() ? ".0" : ""),
                     QString::fromUtf8(r.from));
            remember(rubric.code() + QStringLiteral(".To") + (rubric.hasSousRubrics() ? ".0" : ""),
                     QString::fromUtf8(r.to));
            auto window = open(rubric);
            input(*window)->setText(QString::fromUtf8(r.input));
            QApplication::processEvents();
            EXPECT_FALSE(result(*window).isEmpty()) << rubric.code().toStdString();
            const QString file =
                folder +
                QStringLiteral("/convert_%1_%2x%3.png").arg(rubric.code()).arg(size.width()).arg(size.height());
            EXPECT_TRUE(window->grab().save(file)) << file.toStdString();
            if (size == QSize(360, 640) && rubric.hasSousRubrics()) {
                openMenus(*window);
                QMenu* kinds = window->menuBar()->popupByFirstItem(kFirstSousRubric);
                ASSERT_NE(kinds, nullptr);
                kinds->adjustSize();
                EXPECT_TRUE(kinds->grab().save(folder + QStringLiteral("/convert_kinds_popup.png")));
                precisionPopup(*window)->adjustSize();
                EXPECT_TRUE(
                    precisionPopup(*window)->grab().save(folder + QStringLiteral("/convert_precision_popup.png")));
            }
        }
    }
}

} // namespace

TEST_F(ConvertDlgTest, TypingAfterTappingAKeyOrAListReachesTheValueField)
{
    Rubric rubric = plainRubric();
    auto window = open(rubric);
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    selectUnits(*window, QStringLiteral("inch"), QStringLiteral("centimetre"));
    QTest::mouseClick(window->control<QPushButton>(1017), Qt::LeftButton);
    QListWidget* list = to(*window);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(0)).center());
    QTest::mouseClick(window->control<QPushButton>(kSwap), Qt::LeftButton);
    QTest::mouseClick(window->control(kResult), Qt::LeftButton);
    ASSERT_NE(QApplication::focusWidget(), nullptr);
    EXPECT_EQ(QApplication::focusWidget(), input(*window));
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("8"));
    EXPECT_EQ(input(*window)->text(), QStringLiteral("78"));
}

TEST_F(ConvertDlgTest, AFingerDragScrollsAListAndKeepsItsSelectionWhileATapSelects)
{
    Rubric rubric = plainRubric();
    for (int i = 0; i < 20; ++i) {
        rubric.addUnit(unit(QStringLiteral("unit %1").arg(i).toUtf8().constData(), "$", "$"));
    }
    auto window = open(rubric);
    window->resize(240, 320);
    QApplication::processEvents();
    QListWidget* list = from(*window);
    list->setCurrentRow(0);
    const QPoint start = list->viewport()->rect().center() + QPoint(0, list->viewport()->height() / 3);
    QTest::mousePress(list->viewport(), Qt::LeftButton, {}, start);
    for (int step = 1; step <= 10; ++step) {
        QTest::qWait(10);
        QTest::mouseMove(list->viewport(), start - QPoint(0, step * 12));
    }
    QTest::mouseRelease(list->viewport(), Qt::LeftButton, {}, start - QPoint(0, 120));
    QTest::qWait(300);
    EXPECT_GT(list->verticalScrollBar()->value(), 0);
    EXPECT_EQ(list->currentRow(), 0);

    QListWidgetItem* tapped = list->itemAt(list->viewport()->rect().center());
    ASSERT_NE(tapped, nullptr);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(tapped).center());
    QTest::qWait(50);
    EXPECT_EQ(list->currentItem(), tapped);
}

namespace {
QStringList shownItems(const QListWidget* list)
{
    QStringList texts;
    for (int row = 0; row < list->count(); ++row) {
        if (!list->item(row)->isHidden()) {
            texts << list->item(row)->text();
        }
    }
    return texts;
}

QStringList menuTexts(const QWidget* window)
{
    for (const QMenu* menu : window->findChildren<QMenu*>()) {
        if (menu->isVisible()) {
            QStringList texts;
            for (const QAction* item : menu->actions()) {
                texts << item->text();
            }
            return texts;
        }
    }
    return {};
}
} // namespace

TEST_F(ConvertDlgTest, ListsOfALongCategoryShowTheirRowsOnEveryScreen)
{
    Catalogue catalogue;
    CatalogueLoader loader(englishResources(), QStringLiteral(QUANTARO_PROGRAM_DIR), store, messages);
    ASSERT_TRUE(loader.load(catalogue));
    Rubric& length = catalogue[1];
    const std::pair<QSize, int> screens[] = {{QSize(360, 640), 7}, {QSize(640, 360), 5}, {QSize(240, 320), 5}};
    for (const auto& [size, rows] : screens) {
        screen.size = size;
        auto window = open(length);
        for (QListWidget* list : {from(*window), to(*window)}) {
            const int rowHeight = list->visualItemRect(list->item(0)).height();
            ASSERT_GT(rowHeight, 0);
            EXPECT_GE(list->viewport()->height() / rowHeight, rows) << size.width() << "x" << size.height();
        }
    }
}

TEST_F(ConvertDlgTest, EveryUnitShowsEachPairwiseValueLeavesHiddenUnitsOutAndATapOrHoldUsesARow)
{
    Catalogue catalogue;
    CatalogueLoader loader(englishResources(), QStringLiteral(QUANTARO_PROGRAM_DIR), store, messages);
    ASSERT_TRUE(loader.load(catalogue));
    Rubric& volume = catalogue[3];
    ASSERT_EQ(volume.code(), QStringLiteral("VOL"));
    volume.unit(5).setHidden(true);
    const QString hiddenName = volume.unit(5).name();
    remember(QStringLiteral("VOL.From"), QStringLiteral("litre (L)"));
    auto window = open(volume);
    window->command(kFirstNotation + 1);
    window->command(kFirstPrecision + 4);
    window->command(kEveryUnit);
    ASSERT_TRUE(window->showsEveryUnit());
    EXPECT_EQ(to(*window)->accessibleName(), QStringLiteral("Every unit"));
    // Before a value, the rows are the units' names.
    EXPECT_EQ(to(*window)->item(0)->text(), volume.unit(0).name());
    input(*window)->setText(QStringLiteral("2.5*3"));
    const int source = from(*window)->currentItem()->data(Qt::UserRole).toInt();
    ASSERT_EQ(volume.unit(source).name(), QStringLiteral("litre (L)"));
    int rows = 0;
    for (int row = 0; row < to(*window)->count(); ++row) {
        const QListWidgetItem* item = to(*window)->item(row);
        const UnitRecord& target = volume.unit(item->data(Qt::UserRole).toInt());
        EXPECT_NE(target.name(), hiddenName);
        const QString value = convertValue(QStringLiteral("2.5*3"), volume.unit(source), target, 1, 4);
        ASSERT_FALSE(value.isEmpty()) << target.name().toStdString();
        EXPECT_EQ(item->text(), value + QLatin1Char('\n') + target.name());
        EXPECT_EQ(item->data(Qt::AccessibleTextRole).toString(), value + QLatin1Char(' ') + target.name());
        ++rows;
    }
    EXPECT_EQ(rows, volume.unitCount() - 1);
    // A tap makes a row the target: its value is the result, and Copy copies it.
    const int row = 7;
    const QString rowValue = convertValue(QStringLiteral("2.5*3"), volume.unit(source),
                                          volume.unit(to(*window)->item(row)->data(Qt::UserRole).toInt()), 1, 4);
    to(*window)->scrollToItem(to(*window)->item(row));
    QTest::mouseClick(to(*window)->viewport(), Qt::LeftButton, {},
                      to(*window)->visualItemRect(to(*window)->item(row)).center());
    EXPECT_TRUE(QTest::qWaitFor([&window, row] { return to(*window)->currentRow() == row; }));
    EXPECT_EQ(result(*window), rowValue);
    window->command(kCopy);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), rowValue);
    // Holding a row copies its value.
    QGuiApplication::clipboard()->clear();
    auto* hold = window->findChild<QTimer*>(QStringLiteral("rowHold"));
    ASSERT_NE(hold, nullptr);
    const QPoint held = to(*window)->visualItemRect(to(*window)->item(row + 1)).center();
    QTest::mousePress(to(*window)->viewport(), Qt::LeftButton, {}, held);
    // The list's finger scrolling hands a press still held on to the list after a short delay.
    EXPECT_TRUE(QTest::qWaitFor([hold] { return hold->isActive(); }));
    hold->start(0); // the hold time has passed
    EXPECT_TRUE(QTest::qWaitFor([] { return !QGuiApplication::clipboard()->text().isEmpty(); }));
    QTest::mouseRelease(to(*window)->viewport(), Qt::LeftButton, {}, held);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), to(*window)->item(row + 1)->data(Qt::UserRole + 1).toString());
    EXPECT_FALSE(window->copyRowValue(to(*window)->count()));
    // The unit is remembered by its name, not by the row's text; leaving the mode brings the names back.
    const QString chosen = volume.unit(to(*window)->currentItem()->data(Qt::UserRole).toInt()).name();
    window->command(kEveryUnit);
    EXPECT_EQ(to(*window)->item(0)->text(), volume.unit(0).name());
    EXPECT_FALSE(window->copyRowValue(0));
    window->command(kEveryUnit);
    window->reject();
    EXPECT_EQ(stored(QStringLiteral("VOL.To")), chosen);
}

TEST_F(ConvertDlgTest, SearchNarrowsBothListsWithoutRegardToCaseOrAccentsAndKeepsTheSelection)
{
    Rubric rubric;
    rubric.setCode(QStringLiteral("LEN"));
    rubric.setName(QStringLiteral("Length"));
    for (const char* name : {"metre (m)", "kilometre (km)", "ångström (Å)", "foot (ft)"}) {
        rubric.addUnit(unit(name, "$", "$"));
    }
    rubric.addUnit(unit("hectometre (hm)", "$*100", "$/100", "", true));
    auto window = open(rubric);
    selectUnits(*window, QStringLiteral("foot (ft)"), QStringLiteral("kilometre (km)"));
    input(*window)->setText(QStringLiteral("2"));
    EXPECT_EQ(window->control<QLabel>(kUnit)->text(), QStringLiteral("km"));
    EXPECT_EQ(window->control<QLabel>(kPair)->text(), QStringLiteral("foot (ft) \u2192 kilometre (km)"));
    struct Case
    {
        const char* search;
        QStringList shown;
    };
    const QStringList all = {"metre (m)", "kilometre (km)", "ångström (Å)", "foot (ft)"};
    const Case cases[] = {
        {"metre", {"metre (m)", "kilometre (km)"}},
        {"ANGSTROM", {"ångström (Å)"}},
        {" km ", {"kilometre (km)"}},
        {"hecto", {}},
        {"zzz", {}},
        {"", all},
        // Words people use for the units, from the module's lexicon.
        {"meter", {"metre (m)", "kilometre (km)"}},
        {"feet", {"foot (ft)"}},
        {"Kilometers", {"kilometre (km)"}},
    };
    for (const Case& c : cases) {
        window->setUnitSearch(QString::fromUtf8(c.search));
        EXPECT_EQ(shownItems(from(*window)), c.shown) << c.search;
        EXPECT_EQ(shownItems(to(*window)), c.shown) << c.search;
        EXPECT_EQ(result(*window).isEmpty(), c.shown.isEmpty()) << c.search;
        EXPECT_EQ(selectedText(from(*window)), QStringLiteral("foot (ft)")) << c.search;
        EXPECT_EQ(selectedText(to(*window)), QStringLiteral("kilometre (km)")) << c.search;
    }
}

TEST_F(ConvertDlgTest, SearchFindsAVolumeByTheAmericanSpelling)
{
    Rubric rubric;
    rubric.setCode(QStringLiteral("VOL"));
    rubric.setName(QStringLiteral("Volume"));
    for (const char* name : {"cubic metre (m³)", "litre (L)", "millilitre (mL)", "gallon (US) (gal)"}) {
        rubric.addUnit(unit(name, "$", "$"));
    }
    auto window = open(rubric);
    window->setUnitSearch(QStringLiteral("liter"));
    EXPECT_EQ(shownItems(from(*window)), (QStringList{"litre (L)", "millilitre (mL)"}));
    window->setUnitSearch(QStringLiteral("gallons"));
    EXPECT_EQ(shownItems(to(*window)), QStringList{"gallon (US) (gal)"});
}

TEST_F(ConvertDlgTest, RecentPairsSurviveReopeningAndLeaveOutUnitsHiddenSince)
{
    Rubric rubric = plainRubric();
    {
        auto window = open(rubric);
        for (auto [source, target] : {std::pair{"inch", "centimetre"}, std::pair{"foot", "metre"}}) {
            selectUnits(*window, QString::fromUtf8(source), QString::fromUtf8(target));
            QTest::keyClicks(input(*window), QStringLiteral("1"));
        }
        window->reject();
    }
    SettingsStore restarted(tempDir.filePath(QStringLiteral("q.ini")));
    auto window =
        std::make_unique<CConvertDlg>(rubric, UiServices{&messages, &screen, nullptr, &restarted, &englishResources()});
    window->show();
    window->command(kRecent);
    EXPECT_EQ(menuTexts(window.get()),
              (QStringList{QStringLiteral("foot \u2192 metre"), QStringLiteral("inch \u2192 centimetre")}));
    window->chooseRecentPair({QStringLiteral("inch"), QStringLiteral("centimetre")});
    EXPECT_EQ(selectedText(from(*window)), QStringLiteral("inch"));
    EXPECT_EQ(selectedText(to(*window)), QStringLiteral("centimetre"));
    window->reject();

    Rubric hiddenFoot = plainRubric();
    hiddenFoot.unit(0).setHidden(true);
    window = std::make_unique<CConvertDlg>(hiddenFoot,
                                           UiServices{&messages, &screen, nullptr, &restarted, &englishResources()});
    window->show();
    ASSERT_EQ(window->offeredRecentPairs().size(), 1);
    EXPECT_EQ(window->offeredRecentPairs().front().from, QStringLiteral("inch"));
}

// The long currency list: the naira is found by its noun, plural, code or country, and a choice or a
// recent pair stored under the names the currencies had before they were renamed comes back.
TEST_F(ConvertDlgTest, CurrenciesAreFoundByNounCodeOrCountryAndRenamedOnesKeepTheirPairs)
{
    Catalogue catalogue;
    ASSERT_TRUE(test::loadEnglishCatalogue(catalogue));
    Rubric& currencies = catalogue[0];
    remember(settings::fromName(QStringLiteral("CNY"), std::nullopt), QStringLiteral("pound sterling (GBP)"));
    remember(QStringLiteral("CNY.RecentFrom"), QStringLiteral("pound sterling (GBP)|Chinese yuan renminbi (CNY)"));
    remember(QStringLiteral("CNY.RecentTo"), QStringLiteral("US dollar (USD)|euro (EUR)"));
    auto window = open(currencies);
    EXPECT_EQ(selectedText(from(*window)), QStringLiteral("British pound (GBP)"));
    const QList<UnitPair> offered = window->offeredRecentPairs();
    ASSERT_EQ(offered.size(), 2);
    EXPECT_EQ(offered.front().from, QStringLiteral("British pound (GBP)"));
    EXPECT_EQ(offered.back().from, QStringLiteral("Chinese yuan (CNY)"));
    for (const char* typed : {"naira", "nairas", "ngn", "Nigeria"}) {
        window->setUnitSearch(QString::fromUtf8(typed));
        EXPECT_EQ(shownItems(from(*window)), QStringList{"Nigerian naira (NGN)"}) << typed;
    }
}

// What a screen reader says: the keys by what they do, the picture button by its action, the lists
// and the field by their roles; the symbol and pair line by their whole unit names.
TEST_F(ConvertDlgTest, ControlsAreSpokenByWhatTheyDoNotByTheirMarks)
{
    Rubric rubric = plainRubric();
    auto window = open(rubric);
    selectUnits(*window, QStringLiteral("inch"), QStringLiteral("centimetre"));
    QTest::keyClicks(input(*window), QStringLiteral("2"));
    const struct
    {
        int id;
        const char* name;
    } cases[] = {
        {kInput, "Value"},
        {kFromList, "From"},
        {kToList, "To"},
        {kSwap, "Swap units"},
        {1020, "decimal point"},
        {1021, "minus"},
        {1022, "plus"},
        {1023, "multiply"},
        {1024, "divide"},
        {1025, "exponent"},
        {kBackspace, "backspace"},
        {kClear, "clear"},
        {1017, "7"},
        {kFilter, "Find unit"},
        {kRecent, "Recent pairs"},
        {kUnit, "centimetre"},
        {kPair, "inch \u2192 centimetre"},
    };
    for (const auto& c : cases) {
        QAccessibleInterface* spoken = QAccessible::queryAccessibleInterface(window->control(c.id));
        ASSERT_NE(spoken, nullptr) << c.id;
        EXPECT_EQ(spoken->text(QAccessible::Name), QString::fromUtf8(c.name)) << c.id;
    }
    EXPECT_FALSE(
        QAccessible::queryAccessibleInterface(window->control(kSwap))->text(QAccessible::Description).isEmpty());
    // The window is named by its category too: a screen reader passes over a one-word label.
    EXPECT_EQ(QAccessible::queryAccessibleInterface(window.get())->text(QAccessible::Name),
              QStringLiteral("Convert, Length"));
}

// The result is told once the typing pauses, with its unit, and not again while it stays the same.
TEST_F(ConvertDlgTest, ResultIsAnnouncedOnceWhenTypingPauses)
{
    Rubric rubric = plainRubric();
    auto window = open(rubric);
    selectUnits(*window, QStringLiteral("inch"), QStringLiteral("centimetre"));
    PauseAnnouncer* announcer = window->resultAnnouncer();
    ASSERT_NE(announcer, nullptr);
    QStringList told;
    QObject::connect(announcer, &PauseAnnouncer::told, [&told](const QString& spoken) { told << spoken; });
    announcer->announceNow();
    EXPECT_TRUE(told.isEmpty()) << "an empty result at the opening is nothing new";
    QTest::keyClicks(input(*window), QStringLiteral("12*2"));
    EXPECT_TRUE(told.isEmpty()) << "nothing is said over the typing";
    EXPECT_TRUE(announcer->pending());
    announcer->announceNow(); // the pause
    QTest::keyClicks(input(*window), QStringLiteral("3"));
    QTest::keyClick(input(*window), Qt::Key_Backspace);
    announcer->announceNow(); // back where it was: nothing new to say
    QTest::mouseClick(window->control<QPushButton>(kClear), Qt::LeftButton);
    QLabel* shown = window->control<QLabel>(kResult);
    EXPECT_EQ(QAccessible::queryAccessibleInterface(shown)->text(QAccessible::Name),
              QStringLiteral("Result: 60.96 centimetre"));
    announcer->announceNow();
    EXPECT_EQ(told, (QStringList{QStringLiteral("Result: 60.96 centimetre"), QStringLiteral("Result")}));
    EXPECT_EQ(shown->accessibleName(), QStringLiteral("Result"));
    // What Linux screen readers speak without the focus: a notification of the window that shows.
    QStringList notices;
    for (QWidget* child : window->findChildren<QWidget*>()) {
        QAccessibleInterface* spoken = QAccessible::queryAccessibleInterface(child);
        if (spoken && spoken->role() == QAccessible::Notification && child->isVisible()) {
            notices << spoken->text(QAccessible::Name);
        }
    }
    EXPECT_EQ(notices, QStringList{QStringLiteral("Result")});
}

// On a dark desktop the title's green and the result's red become lighter greens and reds that
// stand out from the window; the light palette keeps the specified colours (checked above).
TEST_F(ConvertDlgTest, DarkPaletteGetsLighterTitleAndResultColoursOfTheSameHues)
{
    const QPalette light = QApplication::palette();
    QPalette dark = light;
    dark.setColor(QPalette::Window, QColor(0x2b, 0x2b, 0x2b));
    dark.setColor(QPalette::WindowText, QColor(0xee, 0xee, 0xee));
    Rubric rubric = plainRubric();
    for (const bool switchedWhileOpen : {false, true}) {
        if (!switchedWhileOpen) {
            QApplication::setPalette(dark);
        }
        auto window = open(rubric);
        if (switchedWhileOpen) {
            QApplication::setPalette(dark);
            QApplication::processEvents();
        }
        selectUnits(*window, QStringLiteral("inch"), QStringLiteral("centimetre"));
        QTest::keyClicks(input(*window), QStringLiteral("1"));
        const struct
        {
            int id;
            QColor specified;
        } cases[] = {{kTitle, QColor(0, 160, 0)}, {kResult, QColor(192, 0, 0)}, {kUnit, QColor(192, 0, 0)}};
        for (const auto& c : cases) {
            const QColor shown = window->control(c.id)->palette().color(QPalette::WindowText);
            EXPECT_GE(contrastRatio(shown, dark.color(QPalette::Window)), kMinimumTextContrast) << c.id;
            EXPECT_EQ(shown.hslHue(), c.specified.hslHue()) << c.id;
            EXPECT_GT(shown.lightness(), c.specified.lightness()) << c.id;
        }
        QApplication::setPalette(light);
        QApplication::processEvents();
        EXPECT_EQ(window->control(kResult)->palette().color(QPalette::WindowText), QColor(192, 0, 0))
            << "back to the light palette: the specified red";
    }
}

// Tab reaches every key, list and button in reading order, while a tap still leaves the focus in
// the value field (checked above).
TEST_F(ConvertDlgTest, TabGoesThroughTheControlsInReadingOrderInEveryShape)
{
    Rubric rubric = plainRubric();
    for (const QSize size : {QSize(360, 640), QSize(640, 360), QSize(480, 480), QSize(240, 320)}) {
        screen.size = size;
        auto window = open(rubric);
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
        input(*window)->setFocus();
        QList<QWidget*> visited;
        for (int step = 0; step < 64 && !visited.contains(QApplication::focusWidget()); ++step) {
            visited << QApplication::focusWidget();
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        }
        QList<int> ids;
        for (QWidget* w : visited) {
            ids << controlIdOf(w);
        }
        for (const int id :
             {kInput, kResult, kFromList, kToList, kSwap, kFirstKey, kLastKey, kBackspace, kClear, kFilter}) {
            EXPECT_TRUE(ids.contains(id)) << id << " at " << size.width();
        }
        // Reading order: the value before the lists, the lists from left to right, and the keypad row by
        // row, each row from the left (7 8 9 above 4 5 6 above 1 2 3).
        for (const auto& [first, then] :
             {std::pair{kInput, kResult}, std::pair{kResult, kFromList}, std::pair{kFromList, kToList},
              std::pair{1017, 1018}, std::pair{1018, 1019}, std::pair{1019, 1014}, std::pair{1014, 1015},
              std::pair{1016, 1011}, std::pair{1011, 1013}}) {
            EXPECT_LT(ids.indexOf(first), ids.indexOf(then)) << first << " then " << then << " at " << size.width();
        }
        // Shift+Tab goes back the same way; the result, read only, is selected and copied from the keyboard.
        const qsizetype atResult = ids.indexOf(kResult);
        visited[atResult]->setFocus(Qt::TabFocusReason);
        QTest::keyClick(visited[atResult], Qt::Key_Backtab);
        EXPECT_EQ(QApplication::focusWidget(), visited[atResult - 1]) << size.width();
        selectUnits(*window, QStringLiteral("inch"), QStringLiteral("centimetre"));
        input(*window)->setText(QStringLiteral("2"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        ASSERT_EQ(QApplication::focusWidget(), window->control(kResult)) << size.width();
        QTest::keyClick(window->control(kResult), Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(window->control(kResult), Qt::Key_C, Qt::ControlModifier);
        EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("5.08"));
        QTest::keyClicks(window->control(kResult), QStringLiteral("9"));
        EXPECT_EQ(result(*window), QStringLiteral("5.08"));
        // Arrow keys go across the keypad as it lies.
        for (const auto& [start, key, end] :
             {std::tuple{1018, Qt::Key_Down, 1015}, std::tuple{1015, Qt::Key_Up, 1018},
              std::tuple{1015, Qt::Key_Left, 1014}, std::tuple{1015, Qt::Key_Right, 1016}}) {
            window->control(start)->setFocus(Qt::TabFocusReason);
            QTest::keyClick(window->control(start), key);
            EXPECT_EQ(controlIdOf(QApplication::focusWidget()), end) << start << " " << key << " at " << size.width();
        }
        // Space on a focused key types as a tap does.
        QWidget* seven = window->control(1017);
        seven->setFocus();
        QTest::keyClick(seven, Qt::Key_Space);
        EXPECT_TRUE(input(*window)->text().endsWith(QLatin1Char('7')));
        window->reject();
    }
}

TEST_F(ConvertDlgTest, PairLineMarksACurrencyRateOlderThanAWeek)
{
    Rubric rubric;
    rubric.setCode(QStringLiteral("CNY"));
    rubric.setName(QStringLiteral("Currencies"));
    for (const char* tag : {"EUR", "USD", "GBP", "JPY"}) {
        rubric.addUnit(unit(tag, "$", "$", tag));
    }
    const QDate today = QDateTime::currentDateTimeUtc().date();
    for (const char* code : {"USD", "GBP", "JPY"}) {
        store.putString(settings::kCurrencies, code, code == QLatin1String("JPY") ? "-0.0062" : "0.9");
    }
    store.putString(settings::kCurrencyDates, "USD", today.addDays(-12).toString(Qt::ISODate));
    store.putString(settings::kCurrencyDates, "GBP", today.addDays(-1).toString(Qt::ISODate));
    store.putString(settings::kCurrencyDates, "JPY", today.addDays(-400).toString(Qt::ISODate));
    struct Case
    {
        const char* from;
        const char* to;
        const char* line;
    };
    const Case cases[] = {
        {"EUR", "USD", "EUR \u2192 USD \u00b7 rate 12 days old"},
        {"GBP", "USD", "GBP \u2192 USD \u00b7 rate 12 days old"},
        {"EUR", "GBP", "EUR \u2192 GBP"},
        {"GBP", "JPY", "GBP \u2192 JPY"}, // a locked rate is the user's own
    };
    for (const Case& c : cases) {
        auto window = open(rubric);
        selectUnits(*window, QString::fromLatin1(c.from), QString::fromLatin1(c.to));
        EXPECT_EQ(window->control<QLabel>(kPair)->toolTip(), QString::fromUtf8(c.line)) << c.from << c.to;
    }
}
