#include "app/settingsstore.h"
#include "currency/ecbrates.h"
#include "currency/ratefilereader.h"
#include "fuzz/fuzzcheck.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>

using namespace quantaro;

namespace {

/** A store in a fresh file, so no rate of an earlier input is locked or counted. */
std::unique_ptr<SettingsStore> freshStore(const QTemporaryDir& dir, const QString& name)
{
    const QString path = dir.filePath(name);
    QFile::remove(path);
    return std::make_unique<SettingsStore>(path);
}

} // namespace

// A downloaded body: read as a rate file both whole and in pieces, and read as the bank's XML.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    quietQtMessages();
    static QTemporaryDir dir;
    FUZZ_CHECK(dir.isValid());
    // The first byte sets the size of the pieces the body arrives in; the rest is the body.
    const qsizetype piece = size > 0 ? (data[0] % 64) + 1 : 1;
    const QByteArrayView body =
        size > 0 ? QByteArrayView(data + 1, static_cast<qsizetype>(size - 1)) : QByteArrayView();

    const auto whole = freshStore(dir, QStringLiteral("whole.ini"));
    const int wholeCount = storeRateFile(*whole, body).count;

    const auto pieces = freshStore(dir, QStringLiteral("pieces.ini"));
    RateFileReader reader(*pieces);
    for (qsizetype at = 0; at < body.size(); at += piece) {
        reader.feed(body.sliced(at, std::min(piece, body.size() - at)));
    }
    reader.finish();
    // Where the network cuts the body must not change what is stored.
    FUZZ_CHECK(reader.storedCount() == wholeCount);
    FUZZ_CHECK(wholeCount <= body.size() / 2 + 1);

    if (const auto lines = ecbRatesToRateFile(body)) {
        // Every line the translation writes is a rate line that a fresh store takes, except those
        // whose code would not stay one flat value name: the rate reader refuses those itself.
        int usable = 0;
        for (const QByteArray& line : lines->split('\n')) {
            const QByteArray code = line.left(line.indexOf(';'));
            usable += !line.isEmpty() && !code.contains('/') && !code.contains('\\') ? 1 : 0;
        }
        const auto translated = freshStore(dir, QStringLiteral("ecb.ini"));
        FUZZ_CHECK(storeRateFile(*translated, *lines).count == usable);
        FUZZ_CHECK(lines->isEmpty() || lines->endsWith('\n'));
    }
    return 0;
}
