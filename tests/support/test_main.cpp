// Runs every test headless, with the settings and the cache in a temporary folder.
#include <QApplication>
#include <QTemporaryDir>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QTemporaryDir configHome;
    qputenv("XDG_CONFIG_HOME", configHome.path().toLocal8Bit());
    // Kept renderings of pictures too, so no test reads what another run left.
    qputenv("XDG_CACHE_HOME", (configHome.path() + QStringLiteral("/cache")).toLocal8Bit());
    ::testing::InitGoogleMock(&argc, argv);
    QApplication app(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("Velmora"));
    QCoreApplication::setApplicationName(QStringLiteral("Quantaro"));
    return RUN_ALL_TESTS();
}
