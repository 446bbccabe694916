// quantaro-search: the answers of the desktop's search boxes (GNOME Shell's overview, KRunner) on the
// session bus. The bus starts it on the first query; it ends after a minute without one.
#include "app/settingsstore.h"
#include "search/searchanswers.h"
#include "search/searchservice.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDir>
#include <QProcess>
#include <cstdio>

namespace {

constexpr int kExitOk = 0;
constexpr int kExitNoBus = 1;
const QString kProgramName = QStringLiteral("quantaro");

} // namespace

int main(int argc, char** argv)
{
    using namespace quantaro;
    QCoreApplication app(argc, argv);
    QCoreApplication::setOrganizationName(settings::kCompany);
    QCoreApplication::setApplicationName(settings::kApplication);
    registerSearchTypes();

    const QString programFolder = QCoreApplication::applicationDirPath();
    SearchAnswers answers(programFolder);
    SearchService service(answers, [programFolder](const QStringList& arguments) {
        QProcess::startDetached(QDir(programFolder).filePath(kProgramName), arguments);
    });
    QObject::connect(&service, &SearchService::idle, &app, &QCoreApplication::quit);
    GnomeSearchProvider gnome(service);
    KRunnerRunner krunner(service);

    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected() || !bus.registerObject(kGnomeSearchPath, &gnome, QDBusConnection::ExportAllSlots) ||
        !bus.registerObject(kKRunnerPath, &krunner, QDBusConnection::ExportAllSlots) ||
        !bus.registerService(kSearchBusName)) {
        std::fprintf(stderr, "quantaro-search: cannot serve %s on the session bus\n", qPrintable(kSearchBusName));
        return kExitNoBus;
    }
    return app.exec() == 0 ? kExitOk : kExitNoBus;
}
