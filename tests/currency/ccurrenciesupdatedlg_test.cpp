// The update settings window: the last-update text, the download button and what OK does with the
// automatic-update registrations.
#include "currency/ccurrenciesupdatedlg.h"
#include "currencywindowtest.h"
#include "platform/notificationservice.h"
#include "support/failingwrites.h"
#include "support/virtualclock.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QtEndian>
#include <ctime>
#include <set>

using namespace quantaro;
using namespace quantaro::test;

namespace {

constexpr int64_t kStoredTime = 1'700'000'000;
const QString kProgram = QStringLiteral("/opt/quantaro/quantaro");

/** Records registrations; refuses the events it is told to, and hands out handles from 100. */
class FakeNotifications final : public NotificationService
{
public:
    struct Registration
    {
        int32_t event;
        QString application;
        QString arguments;
        QDateTime start;
        QDateTime end;
    };
    int32_t registerApplication(int32_t event, const QString& application, const QString& arguments,
                                const QDateTime& start, const QDateTime& end) override
    {
        registered.push_back({event, application, arguments, start, end});
        return refused.contains(event) ? notification::kNoHandle : m_next++;
    }
    void cancel(int32_t handle) override { cancelled.push_back(handle); }

    std::vector<Registration> registered;
    std::vector<int32_t> cancelled;
    std::set<int32_t> refused;

private:
    int32_t m_next = 100;
};

// The expected text, made with the C library rather than Qt, so a wrong zone or a 12-hour clock shows.
QString localTimeOf(int64_t seconds)
{
    const std::time_t t = static_cast<std::time_t>(seconds);
    std::tm local{};
    localtime_r(&t, &local);
    char buffer[16];
    std::strftime(buffer, sizeof buffer, "%H:%M", &local);
    return QString::fromLatin1(buffer);
}

QString localDateOf(int64_t seconds)
{
    const std::time_t t = static_cast<std::time_t>(seconds);
    std::tm local{};
    localtime_r(&t, &local);
    return QLocale().toString(QDate(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday), QLocale::ShortFormat);
}

void storeTime(SettingsStore& store, int64_t seconds)
{
    QByteArray bytes(8, '\0');
    qToLittleEndian<qint64>(seconds, bytes.data());
    store.putBinary(settings::kSettings, settings::kLastCurrencyUpdate, bytes);
}

class UpdateSettingsTest : public CurrencyWindowTest
{
protected:
    std::unique_ptr<CCurrenciesUpdateDlg> open(std::function<bool()> download = nullptr)
    {
        auto window =
            std::make_unique<CCurrenciesUpdateDlg>(services(), notifications, clock, std::move(download), kProgram);
        window->resize(screen.size);
        window->show();
        return window;
    }
    QString shown(const CCurrenciesUpdateDlg& window)
    {
        return window.control<QLabel>(currencyupdate::kLastUpdateLabel)->text();
    }

    FakeNotifications notifications;
    VirtualClock clock{1'750'000'000};
};

} // namespace

TEST(LastUpdateText, ReplacesTheFirstDateAndTimeMarkersOnly)
{
    const QString date = localDateOf(kStoredTime);
    const QString time = localTimeOf(kStoredTime);
    struct Case
    {
        QString format;
        QString expected;
    };
    for (const Case& c : {Case{"Last update: %D% at %T%", "Last update: " + date + " at " + time},
                          Case{"No markers at all", "No markers at all"}, Case{"%D% or %D%", date + " or %D%"},
                          Case{"%T%%T% then %D%", time + "%T% then " + date}, Case{"%d% %t% %D", "%d% %t% %D"}}) {
        EXPECT_EQ(lastUpdateText(c.format, kStoredTime), c.expected) << c.format.toStdString();
    }
}

TEST(LastUpdateText, ShowsTheTimeOfTheDevicesTimeZone)
{
    // 1,700,000,000 s is 14 November 2023, 22:13:20 UTC.
    struct Case
    {
        const char* zone;
        QDate date;
        const char* time;
    };
    const char* saved = std::getenv("TZ");
    const std::string savedZone = saved ? saved : "";
    const QLocale locale = QLocale::c();
    for (const Case& c :
         {Case{"UTC", QDate(2023, 11, 14), "22:13"}, Case{"America/New_York", QDate(2023, 11, 14), "17:13"},
          Case{"Asia/Kolkata", QDate(2023, 11, 15), "03:43"}}) {
        ::setenv("TZ", c.zone, 1);
        ::tzset();
        EXPECT_EQ(lastUpdateText("%D% %T%", kStoredTime, locale),
                  locale.toString(c.date, QLocale::ShortFormat) + " " + c.time)
            << c.zone;
    }
    if (saved) {
        ::setenv("TZ", savedZone.c_str(), 1);
    } else {
        ::unsetenv("TZ");
    }
    ::tzset();
}

TEST_F(UpdateSettingsTest, ShowsTheLastUpdateOrNeverAndKeepsItThroughEveryLayout)
{
    auto never = open();
    EXPECT_EQ(shown(*never), "Never updated");

    // A value of another length than the program writes counts as no update.
    store.putBinary(settings::kSettings, settings::kLastCurrencyUpdate, QByteArray("1234"));
    EXPECT_EQ(shown(*open()), "Never updated");

    storeTime(store, kStoredTime);
    auto window = open();
    const QString expected = "Last: " + localDateOf(kStoredTime) + " " + localTimeOf(kStoredTime);
    struct Turn
    {
        QSize screen;
        int templateId;
    };
    for (const Turn& turn : {Turn{{240, 320}, 132}, Turn{{320, 240}, 133}, Turn{{240, 240}, 139}, Turn{{480, 480}, 139},
                             Turn{{360, 640}, 132}}) {
        screen.size = turn.screen;
        window->resize(turn.screen);
        EXPECT_EQ(window->currentTemplate(), turn.templateId);
        EXPECT_EQ(shown(*window), expected) << turn.templateId;
    }
}

TEST_F(UpdateSettingsTest, DownloadNowReportsAndShowsTheTimeItStored)
{
    storeTime(store, kStoredTime);
    int downloads = 0;
    bool succeed = false;
    auto window = open([&] {
        ++downloads;
        return succeed;
    });
    const QString before = shown(*window);

    QTest::mouseClick(window->control<QPushButton>(currencyupdate::kDownloadButton), Qt::LeftButton);
    EXPECT_EQ(downloads, 1);
    ASSERT_EQ(messages.messages.size(), 1U);
    EXPECT_EQ(messages.messages[0].text, "Failed");
    EXPECT_EQ(messages.messages[0].icon, MessageIcon::Error);
    EXPECT_EQ(shown(*window), before);
    EXPECT_EQ(
        qFromLittleEndian<qint64>(store.getBinary(settings::kSettings, settings::kLastCurrencyUpdate)->constData()),
        kStoredTime);

    succeed = true;
    clock.advanceSeconds(3600);
    QTest::mouseClick(window->control<QPushButton>(currencyupdate::kDownloadButton), Qt::LeftButton);
    ASSERT_EQ(messages.messages.size(), 2U);
    EXPECT_EQ(messages.messages[1].text, "Updated");
    EXPECT_EQ(messages.messages[1].icon, MessageIcon::Information);
    const auto stored = store.getBinary(settings::kSettings, settings::kLastCurrencyUpdate);
    ASSERT_TRUE(stored && stored->size() == 8);
    EXPECT_EQ(qFromLittleEndian<qint64>(stored->constData()), clock.now());
    EXPECT_EQ(shown(*window), lastUpdateText("Last: %D% %T%", clock.now()));
    // ... and keeps showing it after a turn of the screen.
    screen.size = QSize(320, 240);
    window->resize(screen.size);
    EXPECT_EQ(shown(*window), lastUpdateText("Last: %D% %T%", clock.now()));
}

TEST_F(UpdateSettingsTest, OkAppliesTheAutomaticUpdateChoice)
{
    struct Case
    {
        const char* name;
        bool tick;
        int32_t syncAuto, rndis;
        std::set<int32_t> refused;
        std::vector<int32_t> events, cancelled;
        int32_t syncAutoAfter, rndisAfter;
    };
    const std::vector<Case> cases = {
        {"switch on", true, 0, 0, {}, {9, 14}, {}, 100, 101},
        {"already on", true, 7, 8, {}, {}, {}, 7, 8},
        {"switch off", false, 7, 8, {}, {}, {7, 8}, 0, 0},
        {"switch off without a network registration", false, 7, 0, {}, {}, {7}, 0, 0},
        {"already off", false, 0, 0, {}, {}, {}, 0, 0},
        {"cable refused", true, 0, 0, {9}, {9, 14}, {}, 0, 100},
        {"both refused", true, 0, 0, {9, 14}, {9, 14}, {}, 0, 0},
        // A network registration left by a refused cable one is never orphaned.
        {"off with a left-over network registration", false, 0, 8, {}, {}, {8}, 0, 0},
        {"on again with a left-over network registration", true, 0, 8, {}, {9, 14}, {8}, 100, 101},
    };
    for (const Case& c : cases) {
        notifications = FakeNotifications();
        notifications.refused = c.refused;
        store.putInt(settings::kSettings, settings::kSyncAuto, c.syncAuto);
        store.putInt(settings::kSettings, settings::kSyncAutoRndis, c.rndis);
        auto window = open();
        auto* box = window->control<QCheckBox>(currencyupdate::kAutomaticUpdateBox);
        EXPECT_EQ(box->isChecked(), c.syncAuto != 0) << c.name;
        box->setChecked(c.tick);
        window->command(kIdOk);
        EXPECT_EQ(window->result(), QDialog::Accepted) << c.name;

        std::vector<int32_t> events;
        for (const auto& r : notifications.registered) {
            events.push_back(r.event);
            EXPECT_EQ(r.application, kProgram) << c.name;
            EXPECT_EQ(r.arguments, "AppRunUpdateConnect") << c.name;
            EXPECT_EQ(r.start, QDateTime::fromSecsSinceEpoch(clock.now() - 2 * 86400, Qt::UTC)) << c.name;
            EXPECT_EQ(r.end, QDateTime::fromSecsSinceEpoch(clock.now(), Qt::UTC).addYears(100)) << c.name;
        }
        EXPECT_EQ(events, c.events) << c.name;
        EXPECT_EQ(notifications.cancelled, c.cancelled) << c.name;
        EXPECT_EQ(store.getInt(settings::kSettings, settings::kSyncAuto, -1), c.syncAutoAfter) << c.name;
        EXPECT_EQ(store.getInt(settings::kSettings, settings::kSyncAutoRndis, -1), c.rndisAfter) << c.name;
        // The box shows SyncAuto alone at the next opening.
        EXPECT_EQ(open()->control<QCheckBox>(currencyupdate::kAutomaticUpdateBox)->isChecked(), c.syncAutoAfter != 0)
            << c.name;
    }
}

TEST_F(UpdateSettingsTest, ClosingWithoutOkChangesNoRegistration)
{
    for (int32_t syncAuto : {0, 7}) {
        store.putInt(settings::kSettings, settings::kSyncAuto, syncAuto);
        auto window = open();
        auto* box = window->control<QCheckBox>(currencyupdate::kAutomaticUpdateBox);
        box->setChecked(!box->isChecked());
        window->command(kIdCancel);
        EXPECT_EQ(window->result(), QDialog::Rejected);
        EXPECT_TRUE(notifications.registered.empty());
        EXPECT_TRUE(notifications.cancelled.empty());
        EXPECT_EQ(store.getInt(settings::kSettings, settings::kSyncAuto, -1), syncAuto);
    }
}

// Rates that came but could not be stored are no network failure: the message names the folder that
// could not be written and why, as a failed save does, also after a failed save was told once.
TEST_F(UpdateSettingsTest, RatesThatCannotBeStoredAreToldAsAStorageFailure)
{
    setStrings({{1002, "Failed"}, {1020, "Not saved in %F%: %R%."}, {1021, "full"}});
    bool diskFull = true;
    auto window = open([&] {
        if (!diskFull) {
            return false; // nothing came
        }
        const FailingWrites disk(FailingWrites::Stage::Write, 0, ENOSPC);
        return store.putString(settings::kCurrencies, QStringLiteral("USD"), QStringLiteral("1.1"));
    });
    for (int told = 0; told < 2; ++told) {
        QTest::mouseClick(window->control<QPushButton>(currencyupdate::kDownloadButton), Qt::LeftButton);
    }
    const QString expected = QStringLiteral("Not saved in %1: full.").arg(QDir::toNativeSeparators(store.folder()));
    ASSERT_EQ(messages.messages.size(), 2U);
    for (const auto& message : messages.messages) {
        EXPECT_EQ(message.text, expected);
        EXPECT_EQ(message.icon, MessageIcon::Error);
    }
    diskFull = false;
    QTest::mouseClick(window->control<QPushButton>(currencyupdate::kDownloadButton), Qt::LeftButton);
    ASSERT_EQ(messages.messages.size(), 3U);
    EXPECT_EQ(messages.messages[2].text, "Failed") << "a failure that stored nothing is the network's";
}

TEST_F(UpdateSettingsTest, SaysEachSourcesDayAndWhichPartFailed)
{
    setStrings({{1002, "Failed"},
                {1003, "Updated"},
                {1004, "Last: %D% %T%"},
                {1005, "Never updated"},
                {1036, "Bank: %D%"},
                {1037, "Open: %D%"},
                {1038, "not yet"},
                {1039, " (failed)"},
                {1040, " (too old)"},
                {1041, "Bank part failed"},
                {1042, "Open part failed"}});
    const QString bankDay = QLocale().toString(QDate(2026, 12, 9), QLocale::ShortFormat);
    const QString openDay = QLocale().toString(QDate(2026, 12, 10), QLocale::ShortFormat);
    auto sources = [](const CCurrenciesUpdateDlg& window) {
        return window.control<QLabel>(currencyupdate::kSourcesLabel)->text();
    };
    EXPECT_EQ(sources(*open()), "Bank: not yet\nOpen: not yet");

    struct Case
    {
        const char* what;
        int bankOutcome;
        int openOutcome;
        QString lines;
        const char* message;
        MessageIcon icon;
    };
    const Case cases[] = {
        {"both gave rates", 0, 0, "Bank: " + bankDay + "\nOpen: " + openDay, "Updated", MessageIcon::Information},
        {"the open source failed", 0, 1, "Bank: " + bankDay + "\nOpen: " + openDay + " (failed)", "Open part failed",
         MessageIcon::Exclamation},
        {"the bank's rates were old", 2, 0, "Bank: " + bankDay + " (too old)\nOpen: " + openDay, "Bank part failed",
         MessageIcon::Exclamation},
    };
    for (const Case& c : cases) {
        messages.messages.clear();
        auto window = open([&] {
            store.putString(settings::kSettings, settings::kBankRatesDate, "2026-12-09");
            store.putString(settings::kSettings, settings::kOpenRatesDate, "2026-12-10");
            store.putInt(settings::kSettings, settings::kBankRatesOutcome, c.bankOutcome);
            store.putInt(settings::kSettings, settings::kOpenRatesOutcome, c.openOutcome);
            return true;
        });
        QTest::mouseClick(window->control<QPushButton>(currencyupdate::kDownloadButton), Qt::LeftButton);
        EXPECT_EQ(sources(*window), c.lines) << c.what;
        ASSERT_EQ(messages.messages.size(), 1U) << c.what;
        EXPECT_EQ(messages.messages[0].text, c.message) << c.what;
        EXPECT_EQ(messages.messages[0].icon, c.icon) << c.what;
        EXPECT_EQ(sources(*open()), c.lines) << c.what << ": again at the next opening";
    }

    // A publisher's server is the one source: no lines of the two.
    store.putString(settings::kSettings, settings::kUpdateServer, "http://127.0.0.1:9");
    EXPECT_EQ(sources(*open()), "");
}
