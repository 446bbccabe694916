// The notification service's registration store, firing through quantaro-notify, and the event
// decision of the network manager's dispatcher hook (against a made-up /sys).
#include "platform/filenotificationservice.h"
#include "testpaths.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace quantaro;

namespace {

const QString kWord = QStringLiteral("AppRunUpdateConnect");
const QDateTime kNow = QDateTime::fromSecsSinceEpoch(1'700'000'000, Qt::UTC);
const QDateTime kStart = kNow.addDays(-2);
const QDateTime kEnd = kNow.addYears(100);

class NotificationStoreTest : public ::testing::Test
{
protected:
    QString storeFile() const { return dir.filePath(QStringLiteral("Velmora/quantaro-notifications.json")); }

    void writeStore(const QByteArray& data)
    {
        ASSERT_TRUE(QDir().mkpath(dir.filePath(QStringLiteral("Velmora"))));
        QFile file(storeFile());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(data);
    }

    QTemporaryDir dir;
};

struct Launch
{
    QString program;
    QStringList arguments;
    bool operator==(const Launch&) const = default;
};

} // namespace

TEST_F(NotificationStoreTest, RegistrationsGetDistinctHandlesAndSurviveInTheirOwnFile)
{
    FileNotificationService service(storeFile());
    const int32_t cable =
        service.registerApplication(notification::kCableConnectionEvent, "/opt/q/quantaro", kWord, kStart, kEnd);
    const int32_t network =
        service.registerApplication(notification::kNetworkFunctionEvent, "/opt/q/quantaro", kWord, kStart, kEnd);
    EXPECT_NE(cable, notification::kNoHandle);
    EXPECT_NE(network, notification::kNoHandle);
    EXPECT_NE(cable, network);

    // A second service over the same file (another process) sees both, with every field.
    FileNotificationService other(storeFile());
    const auto list = other.registrations();
    ASSERT_EQ(list.size(), 2U);
    EXPECT_EQ(list[0], (NotificationRegistration{cable, 9, "/opt/q/quantaro", kWord, kStart, kEnd}));
    EXPECT_EQ(list[1].event, 14);

    other.cancel(cable);
    other.cancel(notification::kNoHandle);
    other.cancel(4711);
    ASSERT_EQ(service.registrations().size(), 1U);
    EXPECT_EQ(service.registrations()[0].handle, network);
    // A handle freed by cancelling is not handed out again while a higher one lives.
    EXPECT_NE(service.registerApplication(9, "/opt/q/quantaro", kWord, kStart, kEnd), network);
}

TEST_F(NotificationStoreTest, RefusesRegistrationsItCouldNeverFire)
{
    FileNotificationService service(storeFile());
    struct Case
    {
        int32_t event;
        QString application;
        QDateTime start, end;
    };
    for (const Case& c :
         {Case{0, "/opt/q/quantaro", kStart, kEnd}, Case{9, "", kStart, kEnd}, Case{9, "quantaro", kStart, kEnd},
          Case{9, "/opt/q/quantaro", kEnd, kStart}, Case{9, "/opt/q/quantaro", QDateTime(), kEnd}}) {
        EXPECT_EQ(service.registerApplication(c.event, c.application, kWord, c.start, c.end), notification::kNoHandle)
            << c.application.toStdString();
    }
    EXPECT_FALSE(QFile::exists(storeFile()));
}

TEST_F(NotificationStoreTest, DamagedFileReadsAsItsUsableRegistrationsOnly)
{
    FileNotificationService service(storeFile());
    writeStore("\x01garbage{{");
    EXPECT_TRUE(service.registrations().empty());
    EXPECT_NE(service.registerApplication(9, "/opt/q/quantaro", kWord, kStart, kEnd), notification::kNoHandle)
        << "a file that held nothing usable is replaced";

    writeStore(R"({"registrations":[
        {"handle":0,"event":9,"application":"/a","arguments":"x","start":"2023-11-12T22:13:20Z","end":"2123-11-14T22:13:20Z"},
        {"handle":3,"event":9,"application":"/a","arguments":"x","start":"2023-11-12T22:13:20Z","end":"2123-11-14T22:13:20Z"},
        {"handle":3,"event":14,"application":"/b","arguments":"x","start":"2023-11-12T22:13:20Z","end":"2123-11-14T22:13:20Z"},
        {"handle":4,"event":9,"application":"/a","arguments":"x","start":"yesterday","end":"2123-11-14T22:13:20Z"},
        {"handle":5,"event":"9","application":"/a"},
        "not an object"]})");
    const auto list = service.registrations();
    ASSERT_EQ(list.size(), 1U);
    EXPECT_EQ(list[0].handle, 3);
    EXPECT_EQ(list[0].application, "/a");
}

TEST_F(NotificationStoreTest, FiringStartsEachLiveRegistrationOfThatEventWithoutAShell)
{
    FileNotificationService service(storeFile());
    const int32_t cable = service.registerApplication(9, "/opt/q/quantaro", kWord, kStart, kEnd);
    service.registerApplication(14, "/opt/q/quantaro", kWord, kStart, kEnd);
    service.registerApplication(9, "/opt/other", "--flag \"two words\" $HOME;x", kStart, kEnd);
    service.registerApplication(9, "/opt/later", kWord, kNow.addSecs(1), kEnd);
    service.registerApplication(9, "/opt/ended", kWord, kStart, kNow.addSecs(-1));

    std::vector<Launch> launches;
    const auto record = [&](const QString& program, const QStringList& arguments) {
        launches.push_back({program, arguments});
        return true;
    };
    EXPECT_EQ(service.fire(9, kNow, record), 2);
    EXPECT_EQ(launches,
              (std::vector<Launch>{{"/opt/q/quantaro", {kWord}}, {"/opt/other", {"--flag", "two words", "$HOME;x"}}}));

    launches.clear();
    service.cancel(cable);
    service.fire(9, kNow, record);
    ASSERT_EQ(launches.size(), 1U);
    EXPECT_EQ(launches[0].program, "/opt/other");
}

TEST_F(NotificationStoreTest, QuantaroNotifyRunsTheRegisteredCommandOnceAndNothingAfterCancel)
{
    const QString marker = dir.filePath(QStringLiteral("marker"));
    const QString script = dir.filePath(QStringLiteral("record.sh"));
    {
        QFile file(script);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("#!/bin/sh\necho \"$@\" >> \"$(dirname \"$0\")/marker\"\n");
    }
    QFile::setPermissions(script, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

    const auto fire = [&](const QString& event) {
        QProcess notify;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("XDG_CONFIG_HOME"), dir.path());
        notify.setProcessEnvironment(environment);
        notify.start(QStringLiteral(QUANTARO_PROGRAM_DIR "/quantaro-notify"), {"fire", event, "--wait"});
        EXPECT_TRUE(notify.waitForFinished(30000));
        return notify.exitCode();
    };
    const auto markerText = [&] {
        QFile file(marker);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    };

    FileNotificationService service(storeFile());
    const QDateTime now = QDateTime::currentDateTimeUtc();
    const int32_t handle = service.registerApplication(9, script, kWord, now.addDays(-2), now.addYears(100));
    ASSERT_NE(handle, notification::kNoHandle);

    EXPECT_EQ(fire("14"), 0);
    EXPECT_EQ(markerText(), QByteArray()) << "no registration for event 14";
    EXPECT_EQ(fire("9"), 0);
    EXPECT_EQ(markerText(), QByteArray("AppRunUpdateConnect\n"));
    service.cancel(handle);
    EXPECT_EQ(fire("9"), 0);
    EXPECT_EQ(markerText(), QByteArray("AppRunUpdateConnect\n"));
    EXPECT_NE(fire("nine"), 0) << "a usage error";
}

namespace {

struct HookCase
{
    const char* interface;
    const char* action;
    QByteArray expected;
};

} // namespace

TEST(DispatcherHook, WiredInterfacesFireNineAndUsbNetworkFunctionsFourteen)
{
    QTemporaryDir sys;
    const auto makeInterface = [&](const QString& name, const QByteArray& type, const QString& driver, bool device,
                                   bool wireless) {
        const QString folder = sys.filePath("class/net/" + name);
        ASSERT_TRUE(QDir().mkpath(folder));
        QFile typeFile(folder + "/type");
        ASSERT_TRUE(typeFile.open(QIODevice::WriteOnly));
        typeFile.write(type + "\n");
        if (device) {
            ASSERT_TRUE(QDir().mkpath(folder + "/device"));
        }
        if (!driver.isEmpty()) {
            ASSERT_TRUE(QFile::link("../../../../bus/usb/drivers/" + driver, folder + "/device/driver"));
        }
        if (wireless) {
            ASSERT_TRUE(QDir().mkpath(folder + "/wireless"));
        }
    };
    makeInterface("eth0", "1", "e1000e", true, false);
    makeInterface("usb0", "1", "rndis_host", true, false);
    makeInterface("enx0", "1", "cdc_ether", true, false);
    makeInterface("usb1", "1", "cdc_ncm", true, false);
    makeInterface("wlan0", "1", "iwlwifi", true, true);
    makeInterface("br0", "1", "", false, false);
    makeInterface("lo", "772", "", false, false);
    makeInterface("ppp0", "512", "", true, false);

    const HookCase cases[] = {
        {"eth0", "up", "9\n"},     {"usb0", "up", "14\n"}, {"enx0", "up", "14\n"}, {"usb1", "up", "14\n"},
        {"eth0", "down", ""},      {"usb0", "pre-up", ""}, {"wlan0", "up", ""},    {"br0", "up", ""},
        {"lo", "up", ""},          {"ppp0", "up", ""},     {"eth9", "up", ""},     {"../../eth0", "up", ""},
        {"eth0;reboot", "up", ""}, {"", "up", ""},
    };
    for (const HookCase& c : cases) {
        QProcess hook;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("QUANTARO_SYSFS_ROOT", sys.path());
        environment.insert("QUANTARO_HOOK_DRY_RUN", "1");
        hook.setProcessEnvironment(environment);
        hook.start("/bin/sh", {QStringLiteral(QUANTARO_BINARY_DIR "/packaging/90-quantaro"), c.interface, c.action});
        ASSERT_TRUE(hook.waitForFinished(30000));
        EXPECT_EQ(hook.exitCode(), 0) << c.interface;
        EXPECT_EQ(hook.readAllStandardOutput(), c.expected) << c.interface << " " << c.action;
    }
}
