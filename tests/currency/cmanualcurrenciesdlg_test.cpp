// The manual rates window: which currencies it lists, how typing is kept, and what OK writes.
#include "app/savefailurenotice.h"
#include "catalogue/currencyunits.h"
#include "catalogue/rubric.h"
#include "currency/ccurrenciesupdatedlg.h"
#include "currency/cmanualcurrenciesdlg.h"
#include "currencywindowtest.h"
#include "platform/clock.h"
#include "platform/notificationservice.h"
#include "support/englishcatalogue.h"
#include "support/failingwrites.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QTest>

using namespace quantaro;
using namespace quantaro::test;

namespace {

UnitRecord currency(const char* tag, const char* toBase)
{
    UnitRecord unit;
    unit.setName(QString::fromLatin1(tag));
    unit.setTag(QString::fromLatin1(tag));
    unit.setToBase(QString::fromLatin1(toBase));
    return unit;
}

class ManualRatesTest : public CurrencyWindowTest
{
protected:
    ManualRatesTest()
    {
        for (const auto& [tag, toBase] : std::vector<std::pair<const char*, const char*>>{{"EUR", "$"},
                                                                                          {"USD", "$*0.9"},
                                                                                          {"GBP", "$*1.15"},
                                                                                          {"USD", "$*0.8"},
                                                                                          {"eur", "$*2"},
                                                                                          {"JPY", "$*"},
                                                                                          {"CHF", "$*1.05"}}) {
            currencies.addUnit(currency(tag, toBase));
        }
        store.putString(settings::kCurrencies, QStringLiteral("CHF"), QStringLiteral("-1.25"));
    }

    std::unique_ptr<CManualCurrenciesDlg> open()
    {
        auto window = std::make_unique<CManualCurrenciesDlg>(services(), currencies);
        window->show();
        return window;
    }
    static QComboBox* combo(CManualCurrenciesDlg& w) { return w.control<QComboBox>(manualrates::kCurrencyCombo); }
    static QLineEdit* edit(CManualCurrenciesDlg& w) { return w.control<QLineEdit>(manualrates::kRateEdit); }
    static QCheckBox* lock(CManualCurrenciesDlg& w) { return w.control<QCheckBox>(manualrates::kLockBox); }
    static void select(CManualCurrenciesDlg& w, const QString& code)
    {
        combo(w)->setCurrentIndex(combo(w)->findText(code, Qt::MatchExactly | Qt::MatchCaseSensitive));
    }
    QStringList storedCodes() const
    {
        QStringList codes;
        for (const char* code : {"EUR", "USD", "GBP", "eur", "JPY", "CHF"}) {
            if (store.contains(settings::kCurrencies, QString::fromLatin1(code))) {
                codes << QString::fromLatin1(code);
            }
        }
        return codes;
    }

    Rubric currencies;
};

} // namespace

TEST_F(ManualRatesTest, ListsEveryCodeOnceButTheBaseCurrencyWithNothingSelected)
{
    auto window = open();
    QStringList items;
    for (int i = 0; i < combo(*window)->count(); ++i) {
        items << combo(*window)->itemText(i);
    }
    EXPECT_EQ(items, (QStringList{"USD", "GBP", "eur", "JPY", "CHF"}));
    EXPECT_EQ(combo(*window)->currentIndex(), -1);
    EXPECT_TRUE(edit(*window)->text().isEmpty());
    EXPECT_FALSE(lock(*window)->isChecked());
    EXPECT_EQ(edit(*window)->maxLength(), 56);

    // Rates without a stored value come from the first unit's formula; a formula too short gives none.
    const std::vector<CurrencyEntry> expected = {{"USD", "0.9", false, false},
                                                 {"GBP", "1.15", false, false},
                                                 {"eur", "2", false, false},
                                                 {"JPY", "", false, false},
                                                 {"CHF", "1.25", true, false}};
    EXPECT_EQ(window->entries(), expected);
}

TEST_F(ManualRatesTest, SelectingFillsTheFieldsWithoutMarkingAnythingModified)
{
    auto window = open();
    for (const char* code : {"CHF", "USD", "CHF", "JPY"}) {
        select(*window, code);
    }
    select(*window, "CHF");
    EXPECT_EQ(edit(*window)->text(), "1.25");
    EXPECT_TRUE(lock(*window)->isChecked());
    select(*window, "GBP");
    EXPECT_EQ(edit(*window)->text(), "1.15");
    EXPECT_FALSE(lock(*window)->isChecked());
    for (const CurrencyEntry& entry : window->entries()) {
        EXPECT_FALSE(entry.modified) << entry.currencyCode.toStdString();
    }
    window->command(kIdOk);
    EXPECT_EQ(window->result(), QDialog::Accepted);
    EXPECT_EQ(storedCodes(), QStringList{"CHF"}) << "nothing written";
    EXPECT_EQ(store.getString(settings::kCurrencies, "CHF"), "-1.25");
}

TEST_F(ManualRatesTest, TypedRatesKeepOnlyDigitsAndPoints)
{
    struct Case
    {
        QString typed;
        QString rate;
    };
    for (const Case& c : {Case{"1,5", "1.5"}, Case{"1a2", "12"}, Case{"1ab2", "12"}, Case{"-3", "3"},
                          Case{"1 234,5e3", "1234.53"}, Case{QString(60, '7'), QString(56, '7')}}) {
        auto window = open();
        select(*window, "USD");
        edit(*window)->clear();
        QTest::keyClicks(edit(*window), c.typed);
        EXPECT_EQ(edit(*window)->text(), c.typed.left(56)) << "the field keeps what was typed";
        EXPECT_EQ(window->entries()[0].rateText, c.rate) << c.typed.toStdString();
        window->command(kIdOk);
        EXPECT_EQ(store.getString(settings::kCurrencies, "USD"), c.rate) << c.typed.toStdString();
    }
}

TEST_F(ManualRatesTest, ARateWithAnExponentIsShownPlainSoAnEditKeepsItsSize)
{
    struct Case
    {
        const char* code;
        const char* formula;
        const char* stored; // nullptr: nothing stored, the formula gives the rate
        const char* shown;
        bool locked;
    };
    // A stored rate is read to 57 characters, its lock marker included; the field holds 56.
    const std::string d55(55, '5'), d56(56, '6'), d57(57, '7'), d58(58, '8');
    const std::string marked55 = "-" + d55, marked56 = "-" + d56, marked57 = "-" + d57;
    const std::string first56Of57 = d57.substr(0, 56), first56Of58 = d58.substr(0, 56);
    const Case cases[] = {
        {"XBA", "$*1", d56.c_str(), d56.c_str(), false},
        {"XBB", "$*1", d57.c_str(), first56Of57.c_str(), false},
        {"XBC", "$*1", d58.c_str(), first56Of58.c_str(), false},
        {"XBD", "$*1", marked55.c_str(), d55.c_str(), true},
        {"XBE", "$*1", marked56.c_str(), d56.c_str(), true},
        {"XBF", "$*1", marked57.c_str(), first56Of57.c_str(), true},
        {"IDR", "$*1", "5.85490034666865e-05", "0.0000585490034666865", false},
        {"KRW", "$*1", "-6.97515449967217E-4", "0.000697515449967217", true},
        {"VND", "$*3.7e-05", nullptr, "0.000037", false},
        {"XAB", "$*1", " 1.5", "1.5", false},
        {"XAC", "$*1", "0.00001234567890123456", "0.00001234567890123456", false},
        {"XAD", "$*1", "n/a", "n/a", false},
        {"XAE", "$*1", "1e-60", "1e-60", false},
    };
    for (const Case& c : cases) {
        currencies.addUnit(currency(c.code, c.formula));
        if (c.stored) {
            store.putString(settings::kCurrencies, QString::fromLatin1(c.code), QString::fromLatin1(c.stored));
        }
    }
    for (const Case& c : cases) {
        SCOPED_TRACE(c.code);
        auto window = open();
        select(*window, c.code);
        EXPECT_EQ(edit(*window)->text(), QString::fromLatin1(c.shown));
        EXPECT_EQ(lock(*window)->isChecked(), c.locked);
    }

    // One digit appended to the rupiah's rate: the stored value is the one the person meant.
    auto window = open();
    select(*window, "IDR");
    edit(*window)->end(false);
    QTest::keyClicks(edit(*window), "1");
    window->command(kIdOk);
    const QString stored = store.getString(settings::kCurrencies, "IDR");
    EXPECT_EQ(stored, "0.00005854900346668651");
    EXPECT_NEAR(leadingNumber(stored) / 5.854900346668651e-05, 1.0, 1e-12);
    EXPECT_EQ(store.getString(settings::kCurrencies, "KRW"), "-6.97515449967217E-4") << "unedited rows stay as stored";
}

TEST_F(ManualRatesTest, LockingAFormulaRateStoresItWithTheMarker)
{
    auto window = open();
    select(*window, "GBP");
    lock(*window)->click();
    window->command(kIdOk);
    EXPECT_EQ(store.getString(settings::kCurrencies, "GBP"), "-1.15");
    EXPECT_EQ(storedCodes(), (QStringList{"GBP", "CHF"}));

    // Unlocking a stored locked rate writes it plain.
    window = open();
    select(*window, "CHF");
    lock(*window)->click();
    window->command(kIdOk);
    EXPECT_EQ(store.getString(settings::kCurrencies, "CHF"), "1.25");
}

TEST_F(ManualRatesTest, ClearingARateDeletesItOnOkOnly)
{
    auto window = open();
    select(*window, "CHF");
    edit(*window)->clear();
    window->command(kIdCancel);
    EXPECT_EQ(window->result(), QDialog::Rejected);
    EXPECT_EQ(store.getString(settings::kCurrencies, "CHF"), "-1.25") << "Cancel writes nothing";

    window = open();
    select(*window, "CHF");
    QTest::keyClicks(edit(*window), "x");
    EXPECT_EQ(window->entries()[4].rateText, "1.25") << "a filtered-out character changes nothing";
    edit(*window)->clear();
    window->command(kIdOk);
    EXPECT_FALSE(store.contains(settings::kCurrencies, "CHF"));
}

// A disk that cannot take the rates: the person is told once, the stored rates stay, the window closes.
TEST_F(ManualRatesTest, AFailedSaveIsToldOnceAndChangesNoStoredRate)
{
    setStrings({{savefailure::kMessage, "Not saved in %F%: %R%."}, {savefailure::kNoSpace, "full"}});
    forgetSaveFailureTold();
    const FailingWrites disk(FailingWrites::Stage::Write, 1, ENOSPC);
    for (int round = 0; round < 2; ++round) {
        auto window = open();
        select(*window, "USD");
        edit(*window)->setText("0.5");
        select(*window, "CHF");
        edit(*window)->clear();
        window->command(kIdOk);
        EXPECT_EQ(window->result(), QDialog::Accepted);
    }
    ASSERT_EQ(messages.messages.size(), 1u) << "once per session";
    EXPECT_EQ(messages.messages[0].text,
              QStringLiteral("Not saved in %1: full.").arg(QDir::toNativeSeparators(dir.path())));
    EXPECT_EQ(messages.messages[0].icon, MessageIcon::Error);
    EXPECT_EQ(storedCodes(), QStringList{"CHF"});
    EXPECT_EQ(store.getString(settings::kCurrencies, "CHF"), "-1.25");
    forgetSaveFailureTold();
}

// Renders both currency windows with the English module in every shape, for a person to look at.
// The long list of the English catalogue: the search finds a currency by its code, its name, its noun
// or its country, chooses the first found, and gives the whole list back with the choice kept.
TEST_F(ManualRatesTest, TheSearchNarrowsTheChoiceAndChoosesTheFirstFound)
{
    constexpr int kLeastCurrencies = 150;
    Catalogue catalogue;
    ASSERT_TRUE(loadEnglishCatalogue(catalogue));
    ASSERT_TRUE(
        QFile::copy(QStringLiteral(QUANTARO_BINARY_DIR "/lang/lexicon/en.txt"), dir.filePath("res/lexicon.txt")));
    CManualCurrenciesDlg window(services(), catalogue[0]);
    window.show();
    const int all = combo(window)->count();
    ASSERT_GE(all, kLeastCurrencies);

    struct Case
    {
        const char* typed;
        QStringList found;
    };
    const Case cases[] = {{"naira", {"NGN"}},        {"NGN", {"NGN"}},    {"Nigeria", {"NGN"}}, {"NAÏRA", {"NGN"}},
                          {"niger", {"NGN", "XOF"}}, {"taiwan", {"TWD"}}, {"tenge", {"KZT"}},   {"zzz", {}}};
    for (const Case& c : cases) {
        window.setSearch(QString::fromUtf8(c.typed));
        QStringList items;
        for (int i = 0; i < combo(window)->count(); ++i) {
            items << combo(window)->itemText(i);
        }
        EXPECT_EQ(items, c.found) << c.typed;
        EXPECT_EQ(combo(window)->currentText(), c.found.value(0)) << c.typed;
    }
    EXPECT_TRUE(edit(window)->text().isEmpty()) << "nothing found, nothing chosen";

    window.setSearch(QStringLiteral("naira"));
    const QString nairaRate = edit(window)->text();
    EXPECT_TRUE(nairaRate.startsWith(QStringLiteral("0.00062"))) << nairaRate.toStdString();
    window.setSearch(QString());
    EXPECT_EQ(combo(window)->count(), all);
    EXPECT_EQ(combo(window)->currentText(), QStringLiteral("NGN")) << "the choice outlives the search";
    EXPECT_EQ(edit(window)->text(), nairaRate);
    edit(window)->setText(QStringLiteral("0.0007"));
    window.command(kIdOk);
    EXPECT_EQ(store.getString(settings::kCurrencies, QStringLiteral("NGN")), QStringLiteral("0.0007"));
}

TEST(CurrencyWindowsRender, EveryShapeRendersToPng)
{
    const QString folder = QStringLiteral(QUANTARO_BINARY_DIR "/renders");
    ASSERT_TRUE(QDir().mkpath(folder));
    QTemporaryDir dir;
    SettingsStore store(dir.filePath("q.ini"));
    store.putString(settings::kCurrencies, "CHF", "-1.25");
    store.putBinary(settings::kSettings, settings::kLastCurrencyUpdate,
                    QByteArray("\x00\xf1\x53\x65\x00\x00\x00\x00", 8));
    ResourceSource english(QStringLiteral(QUANTARO_SOURCE_DIR "/lang/en/res"));
    RecordingMessageBoxes messages;
    FixedScreen screen;
    Rubric currencies;
    currencies.addUnit(currency("USD", "$*0.9"));
    currencies.addUnit(currency("CHF", "$*1.05"));
    struct NoNotifications final : NotificationService
    {
        int32_t registerApplication(int32_t, const QString&, const QString&, const QDateTime&,
                                    const QDateTime&) override
        {
            return 0;
        }
        void cancel(int32_t) override {}
    } notifications;
    SystemClock clock;
    for (const QSize size : {QSize(360, 640), QSize(240, 320), QSize(640, 360), QSize(320, 240), QSize(480, 480)}) {
        screen.size = size;
        const UiServices services{&messages, &screen, nullptr, &store, &english};
        const QString suffix = QStringLiteral("_%1x%2.png").arg(size.width()).arg(size.height());
        CCurrenciesUpdateDlg update(services, notifications, clock, nullptr, "/usr/bin/true");
        update.resize(size);
        update.show();
        EXPECT_TRUE(update.grab().save(folder + "/update_settings" + suffix));
        CManualCurrenciesDlg manual(services, currencies);
        manual.resize(size);
        manual.show();
        manual.control<QComboBox>(manualrates::kCurrencyCombo)->setCurrentIndex(1);
        EXPECT_TRUE(manual.grab().save(folder + "/manual_rates" + suffix));
    }
}
