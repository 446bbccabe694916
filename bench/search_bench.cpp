// Speed of the search boxes' answers: one query answered by the warm service (read, look up, convert,
// format), against an empty query; and the time from the bus starting the service to its first answer.
#include "app/settingsstore.h"
#include "search/searchanswers.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusReply>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <signal.h>

using namespace quantaro;

namespace {

constexpr qsizetype kOneMegabyte = 1024 * 1024;
constexpr qsizetype kManySpaces = 10000;
constexpr int kBusStartTimeoutMs = 10000;
constexpr int kCallTimeoutMs = 10000;
const QString kBusName = QStringLiteral("org.velmora.Quantaro.SearchProvider");

/** Settings of a temporary folder that choose the English module. */
struct BenchSettings
{
    BenchSettings()
    {
        file = dir.filePath(QStringLiteral("Velmora/Quantaro.ini"));
        SettingsStore settings(file);
        SettingsChanges changes;
        changes.putString(settings::kSettings, settings::kLanguageDllName, QStringLiteral("quantaro_en.so"));
        settings.write(changes);
    }
    QTemporaryDir dir;
    QString file;
};

const QStringList& queries()
{
    static const QStringList all = {
        QString(),
        QStringLiteral("5 mi in km"),
        QStringLiteral("12*2.54 in m"),
        QStringLiteral("100 usd eur"),
        QStringLiteral("1 gal in L"),
        QStringLiteral("hello world"),
        QStringLiteral("5 square kilometre per hour to square nautical mile per day"),
        QString(kOneMegabyte, QLatin1Char('5')),
        QString(kManySpaces, QLatin1Char(' ')),
        QStringLiteral("1e999 mi in km"),
    };
    return all;
}

void BM_WarmQuery(benchmark::State& state)
{
    static BenchSettings settings;
    static SearchAnswers answers(QStringLiteral(QUANTARO_PROGRAM_DIR), settings.file);
    const QString& query = queries()[static_cast<qsizetype>(state.range(0))];
    answers.answer(QStringLiteral("5 mi in km")); // loads the catalogue
    state.SetLabel(query.left(24).toStdString() + (query.size() > 24 ? "..." : ""));
    for (auto _ : state) {
        benchmark::DoNotOptimize(answers.answer(query));
    }
}
BENCHMARK(BM_WarmQuery)->DenseRange(0, 9)->Unit(benchmark::kMicrosecond);

/** A private session bus that starts the build's service from a service file. */
struct PrivateBus
{
    PrivateBus()
    {
        const QString services = dir.filePath(QStringLiteral("services"));
        QDir().mkpath(services);
        QFile service(services + QStringLiteral("/search.service"));
        service.open(QIODevice::WriteOnly);
        service.write(QStringLiteral("[D-BUS Service]\nName=%1\nExec=%2/quantaro-search\n")
                          .arg(kBusName, QStringLiteral(QUANTARO_PROGRAM_DIR))
                          .toUtf8());
        service.close();
        QFile config(dir.filePath(QStringLiteral("bus.conf")));
        config.open(QIODevice::WriteOnly);
        config.write(QStringLiteral("<busconfig><type>session</type><listen>unix:tmpdir=%1</listen>"
                                    "<servicedir>%2</servicedir><policy context=\"default\">"
                                    "<allow send_destination=\"*\"/><allow own=\"*\"/></policy></busconfig>")
                         .arg(dir.path(), services)
                         .toUtf8());
        config.close();
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("XDG_CONFIG_HOME"), settings.dir.path());
        daemon.setProcessEnvironment(environment);
        daemon.start(QStringLiteral("dbus-daemon"), {QStringLiteral("--config-file=") + config.fileName(),
                                                     QStringLiteral("--nofork"), QStringLiteral("--print-address=1")});
        if (daemon.waitForReadyRead(kBusStartTimeoutMs)) {
            address = QString::fromUtf8(daemon.readLine()).trimmed();
        }
    }
    ~PrivateBus()
    {
        daemon.terminate();
        daemon.waitForFinished();
    }
    BenchSettings settings;
    QTemporaryDir dir;
    QProcess daemon;
    QString address;
};

QStringList initialResults(const QDBusConnection& bus, const QStringList& terms)
{
    QDBusMessage call = QDBusMessage::createMethodCall(kBusName, QStringLiteral("/org/velmora/Quantaro/SearchProvider"),
                                                       QStringLiteral("org.gnome.Shell.SearchProvider2"),
                                                       QStringLiteral("GetInitialResultSet"));
    call << terms;
    const QDBusReply<QStringList> reply = bus.call(call, QDBus::Block, kCallTimeoutMs);
    return reply.isValid() ? reply.value() : QStringList();
}

/** Ends the running service and waits until the bus has forgotten it, outside the timing. */
void stopService(const QDBusConnection& bus)
{
    const QDBusReply<uint> pid = bus.interface()->servicePid(kBusName);
    if (!pid.isValid()) {
        return;
    }
    ::kill(static_cast<pid_t>(pid.value()), SIGTERM);
    while (bus.interface()->isServiceRegistered(kBusName).value()) {
        QCoreApplication::processEvents();
    }
}

/** Activation to the first answer: range 0 asks an empty query, range 1 "5 mi in km". */
void BM_ActivationToFirstAnswer(benchmark::State& state)
{
    static PrivateBus bus;
    if (bus.address.isEmpty()) {
        state.SkipWithError("no dbus-daemon");
        return;
    }
    const QDBusConnection connection = QDBusConnection::connectToBus(bus.address, QStringLiteral("bench"));
    const QStringList terms = state.range(0) == 0 ? QStringList() : QStringList{"5", "mi", "in", "km"};
    state.SetLabel(state.range(0) == 0 ? "empty query" : "5 mi in km");
    for (auto _ : state) {
        benchmark::DoNotOptimize(initialResults(connection, terms));
        state.PauseTiming();
        stopService(connection);
        state.ResumeTiming();
    }
}
BENCHMARK(BM_ActivationToFirstAnswer)->DenseRange(0, 1)->Unit(benchmark::kMillisecond)->Iterations(20);

/** A warm service over the bus: the round trip of an empty query against "5 mi in km". */
void BM_WarmServiceOverTheBus(benchmark::State& state)
{
    static PrivateBus bus;
    if (bus.address.isEmpty()) {
        state.SkipWithError("no dbus-daemon");
        return;
    }
    const QDBusConnection connection = QDBusConnection::connectToBus(bus.address, QStringLiteral("warm"));
    const QStringList terms = state.range(0) == 0 ? QStringList() : QStringList{"5", "mi", "in", "km"};
    state.SetLabel(state.range(0) == 0 ? "empty query" : "5 mi in km");
    initialResults(connection, {QStringLiteral("5"), QStringLiteral("m"), QStringLiteral("ft")});
    for (auto _ : state) {
        benchmark::DoNotOptimize(initialResults(connection, terms));
    }
}
BENCHMARK(BM_WarmServiceOverTheBus)->DenseRange(0, 1)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
