// Writes values into a settings file from a second process: settings_writer FILE.
#include "app/settingsstore.h"

#include <QCoreApplication>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (argc < 2) {
        return 2;
    }
    quantaro::SettingsStore store(QString::fromLocal8Bit(argv[1]));
    store.putInt(QStringLiteral("Settings"), QStringLiteral("FromOtherProcess"), 42);
    store.putInt(QStringLiteral("Settings"), QStringLiteral("Negative"), -7);
    store.putBinary(QStringLiteral("Settings"), QStringLiteral("Bytes"), QByteArray("\x01\x00\x00\xff\x00\x7f\x00\x00", 8));
    store.putString(QStringLiteral("Currencies"), QStringLiteral("USD"), QStringLiteral("-0.9"));
    return 0;
}
