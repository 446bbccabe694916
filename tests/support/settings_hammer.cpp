// Writes into a settings file from a second process, as the connection run mode does beside a window.
//   settings_hammer FILE SECTION PREFIX COUNT   waits for a line on standard input, then writes the
//                                               values PREFIX0 .. PREFIX<COUNT-1>, each its number
//   settings_hammer FILE SECTION NAME cycle     rewrites the value NAME round after round, until killed:
//                                               "<round>:" and 4096 copies of one letter; prints each
//                                               round it has written
#include "app/settingsstore.h"

#include <QCoreApplication>
#include <cstdio>
#include <iostream>
#include <string>

namespace {

constexpr int kPayloadLength = 4096;
constexpr int kLetters = 26;

QString roundValue(int round)
{
    return QStringLiteral("%1:").arg(round) + QString(kPayloadLength, QChar(u'a' + round % kLetters));
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (argc < 5) {
        return 2;
    }
    quantaro::SettingsStore store(QString::fromLocal8Bit(argv[1]));
    const QString section = QString::fromLocal8Bit(argv[2]);
    const QString name = QString::fromLocal8Bit(argv[3]);
    const QString mode = QString::fromLocal8Bit(argv[4]);
    if (mode == QLatin1String("cycle")) {
        for (int round = 1;; ++round) {
            store.putString(section, name, roundValue(round));
            std::printf("%d\n", round);
            std::fflush(stdout);
        }
    }
    bool ok = false;
    const int count = mode.toInt(&ok);
    if (!ok) {
        return 2;
    }
    std::string go;
    std::getline(std::cin, go);
    int failures = 0;
    for (int i = 0; i < count; ++i) {
        if (!store.putString(section, name + QString::number(i), QString::number(i))) {
            ++failures;
        }
    }
    return failures == 0 ? 0 : 1;
}
