#include "app/resourcesource.h"
#include "app/settingsstore.h"
#include "catalogue/catalogueloader.h"
#include "catalogue/rubric.h"
#include "fuzz/fuzzcheck.h"
#include "platform/messageboxes.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include <cstddef>
#include <cstdint>
#include <memory>

using namespace quantaro;

namespace {

const QString kUnitFile = QStringLiteral("units.dat");

class SilentMessages : public MessageBoxes
{
public:
    void show(const QString&, MessageIcon) override { ++shown; }
    int shown = 0;
};

/** A program folder with the unit file and two string folders: one names UTF-8, one Latin-1. */
struct World
{
    World()
    {
        FUZZ_CHECK(dir.isValid());
        writeStrings(QStringLiteral("utf8"), QStringLiteral("UTF-8"));
        writeStrings(QStringLiteral("latin1"), QStringLiteral("ISO-8859-1"));
        utf8.setRoot(dir.filePath(QStringLiteral("utf8")));
        latin1.setRoot(dir.filePath(QStringLiteral("latin1")));
        settings = std::make_unique<SettingsStore>(dir.filePath(QStringLiteral("q.ini")));
        // A hidden list, so hiding runs over whatever units the file gives.
        settings->putInt(settings::hiddenUnitsSection(QStringLiteral("LEN")), settings::kHiddenCount, 2);
        settings->putString(settings::hiddenUnitsSection(QStringLiteral("LEN")), settings::hiddenItemName(0),
                            QStringLiteral("metre"));
    }

    void writeStrings(const QString& folder, const QString& encoding)
    {
        FUZZ_CHECK(QDir(dir.path()).mkpath(folder));
        QJsonObject strings{{QStringLiteral("100"), kUnitFile},
                            {QStringLiteral("101"), encoding},
                            {QStringLiteral("1000"), QStringLiteral("missing")},
                            {QStringLiteral("1101"), QStringLiteral("Length;Short;Long")}};
        QFile file(QDir(dir.filePath(folder)).filePath(QStringLiteral("strings.json")));
        FUZZ_CHECK(file.open(QIODevice::WriteOnly));
        file.write(QJsonDocument(strings).toJson());
    }

    QTemporaryDir dir;
    ResourceSource utf8;
    ResourceSource latin1;
    std::unique_ptr<SettingsStore> settings;
};

} // namespace

// A whole unit file, read by the catalogue loader as the program reads it.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    quietQtMessages();
    static World world;
    // The first byte picks the encoding the module names; the rest is the file.
    const bool useLatin1 = size > 0 && (data[0] & 1) != 0;
    const QByteArray bytes =
        size > 0 ? QByteArray(reinterpret_cast<const char*>(data) + 1, static_cast<qsizetype>(size - 1)) : QByteArray();
    {
        QFile file(world.dir.filePath(kUnitFile));
        FUZZ_CHECK(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        FUZZ_CHECK(file.write(bytes) == bytes.size());
    }

    SilentMessages messages;
    int rebuilds = 0;
    CatalogueLoader loader(useLatin1 ? world.latin1 : world.utf8, world.dir.path(), *world.settings, messages,
                           [&rebuilds] { ++rebuilds; });
    Catalogue catalogue;
    FUZZ_CHECK(loader.load(catalogue));
    FUZZ_CHECK(messages.shown == 0);
    FUZZ_CHECK(rebuilds == 1);

    int units = 0;
    for (const Rubric& rubric : catalogue) {
        units += rubric.unitCount();
        for (int i = 0; i < rubric.unitCount(); ++i) {
            FUZZ_CHECK(rubric.unit(i).name().size() <= kUnitTextMaxLength);
        }
    }
    // Every unit comes from a line of its own, and every line holds at least a code and a separator.
    FUZZ_CHECK(units <= bytes.size() / 2 + 1);
    return 0;
}
