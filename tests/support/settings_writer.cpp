// Writes values into a settings file from a second process: settings_writer FILE. With "hold" it
// is a writer that hangs: it takes the file's lock, says "locked" and keeps it until killed.
#include "app/settingsstore.h"

#include <QCoreApplication>
#include <QLockFile>
#include <cstdio>
#include <unistd.h>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (argc < 2) {
        return 2;
    }
    if (argc > 2 && qstrcmp(argv[2], "hold") == 0) {
        QLockFile lock(QString::fromLocal8Bit(argv[1]) + QStringLiteral(".lock"));
        if (!lock.tryLock(0)) {
            return 1;
        }
        std::puts("locked");
        std::fflush(stdout);
        for (;;) {
            ::pause();
        }
    }
    quantaro::SettingsStore store(QString::fromLocal8Bit(argv[1]));
    store.putInt(QStringLiteral("Settings"), QStringLiteral("FromOtherProcess"), 42);
    store.putInt(QStringLiteral("Settings"), QStringLiteral("Negative"), -7);
    store.putBinary(QStringLiteral("Settings"), QStringLiteral("Bytes"),
                    QByteArray("\x01\x00\x00\xff\x00\x7f\x00\x00", 8));
    store.putString(QStringLiteral("Currencies"), QStringLiteral("USD"), QStringLiteral("-0.9"));
    return 0;
}
