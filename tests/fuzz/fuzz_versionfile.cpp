#include "about/versionfile.h"
#include "catalogue/numbertext.h"
#include "fuzz/fuzzcheck.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>

using namespace quantaro;

// A version file as the server sends it, whole and in pieces.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const qsizetype piece = size > 0 ? (data[0] % 32) + 1 : 1;
    const QByteArrayView body =
        size > 0 ? QByteArrayView(data + 1, static_cast<qsizetype>(size - 1)) : QByteArrayView();

    const VersionFileVerdict verdict = parseVersionFile(body);

    VersionFileReader reader;
    for (qsizetype at = 0; at < body.size(); at += piece) {
        if (!reader.feed(body.sliced(at, std::min(piece, body.size() - at)))) {
            FUZZ_CHECK(reader.isDone());
            break;
        }
    }
    reader.finish();
    FUZZ_CHECK(reader.lines().size() <= kVersionFileLineCount);
    for (const QString& line : reader.lines()) {
        FUZZ_CHECK(line.size() <= kVersionLineMaxLength);
        FUZZ_CHECK(!line.contains(QLatin1Char('\n')) && !line.contains(QLatin1Char('\r')));
        (void)leadingNumber(line);
        (void)isWebAddress(line);
    }

    // Where the network cuts the body must not change the verdict.
    const VersionFileVerdict again = judgeVersionFile(reader.lines());
    FUZZ_CHECK(again.isVersionFile == verdict.isVersionFile);
    FUZZ_CHECK(again.newer == verdict.newer);
    FUZZ_CHECK(again.versionLine == verdict.versionLine);
    FUZZ_CHECK(again.firstLink == verdict.firstLink);
    FUZZ_CHECK(again.secondLink == verdict.secondLink);
    FUZZ_CHECK(verdict.newer || (verdict.firstLink.isEmpty() && verdict.secondLink.isEmpty()));
    FUZZ_CHECK(!verdict.newer || verdict.isVersionFile);
    return 0;
}
