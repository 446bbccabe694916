#include "app/settingsstore.h"
#include "fuzz/fuzzcheck.h"

#include <QFile>
#include <QTemporaryDir>

#include <cstddef>
#include <cstdint>

using namespace quantaro;

// A hostile "@Variant(...)" value makes Qt's stream reader ask for many gigabytes at once. In the
// program that allocation either fails (Qt then reads the value as corrupt) or reserves address
// space that is never touched. Under the address sanitizer it would abort, or touch an eighth of it
// as shadow memory and trip the fuzzer's memory limit, so huge requests fail here as they may in
// the program.
extern "C" const char* __asan_default_options()
{
    return "allocator_may_return_null=1:max_allocation_size_mb=1024";
}

// A corrupted settings file: the values the program reads at start must come back as something,
// and a value written into such a file must read back as written.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    quietQtMessages();
    static QTemporaryDir dir;
    FUZZ_CHECK(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("q.ini"));
    {
        QFile file(path);
        FUZZ_CHECK(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        FUZZ_CHECK(file.write(reinterpret_cast<const char*>(data), static_cast<qint64>(size)) ==
                   static_cast<qint64>(size));
    }

    const QString len = QStringLiteral("LEN");
    const QString hidden = settings::hiddenUnitsSection(len);
    {
        SettingsStore store(path);
        (void)store.getInt(settings::kSettings, settings::kNewInstall, settings::kNewInstallDefault);
        (void)store.getString(settings::kSettings, settings::kLanguageDllName);
        (void)store.getString(settings::kSettings, settings::kUpdateServer);
        (void)store.getInt(settings::kSettings, settings::kSyncAuto, settings::kSyncAutoDefault);
        (void)store.getInt(settings::kSettings, len + settings::kViewResultSuffix, settings::kViewResultDefault);
        (void)store.getString(settings::kSettings, settings::fromName(len, 1));
        (void)store.getString(settings::kCurrencies, QStringLiteral("USD"));
        (void)store.getBinary(settings::kSettings, settings::kLastCurrencyUpdate);
        (void)store.getInt(hidden, settings::kHiddenCount, 0);
        (void)store.getString(hidden, settings::hiddenItemName(0));
        (void)store.contains(settings::kCurrencies, QStringLiteral("EUR"));

        store.putString(settings::kCurrencies, QStringLiteral("USD"), QStringLiteral("0.9;x=y"));
        store.putInt(hidden, settings::kHiddenCount, 3);
        FUZZ_CHECK(store.getString(settings::kCurrencies, QStringLiteral("USD")) == QStringLiteral("0.9;x=y"));
        FUZZ_CHECK(store.getInt(hidden, settings::kHiddenCount, 0) == 3);
    }
    // What was written survives a new store reading the file (unless the file could not be written).
    SettingsStore reopened(path);
    if (reopened.getInt(hidden, settings::kHiddenCount, 0) == 3) {
        FUZZ_CHECK(reopened.getString(settings::kCurrencies, QStringLiteral("USD")) == QStringLiteral("0.9;x=y"));
    }
    return 0;
}
