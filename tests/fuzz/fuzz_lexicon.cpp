#include "catalogue/lexicon.h"
#include "catalogue/rubric.h"
#include "catalogue/unitlookup.h"
#include "fuzz/fuzzcheck.h"

#include <cstddef>
#include <cstdint>

using namespace quantaro;

namespace {

const Rubric& lengths()
{
    static const Rubric rubric = [] {
        Rubric built;
        built.setCode(QStringLiteral("LEN"));
        built.setName(QStringLiteral("Length"));
        for (const char* name : {"metre (m)", "foot (ft)", "mile (mi)", "mile (US survey) (mi)", "knot (Admiralty)"}) {
            UnitRecord unit;
            unit.setName(QString::fromUtf8(name));
            unit.setToBase(QStringLiteral("$"));
            unit.setFromBase(QStringLiteral("$"));
            built.addUnit(unit);
        }
        return built;
    }();
    return rubric;
}

bool belongs(const UnitRecord* unit)
{
    for (int u = 0; u < lengths().unitCount(); ++u) {
        if (unit == &lengths().unit(u)) {
            return true;
        }
    }
    return false;
}

} // namespace

// A module's compiled lexicon, as a damaged or hostile module may carry it: read, then every word it
// gives the units looked up again.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const Lexicon lexicon =
        Lexicon::fromText(QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)));
    (void)lexicon.connectingWords();
    (void)lexicon.joiningWords();
    FUZZ_CHECK(static_cast<size_t>(lexicon.endWords().size()) <= size);
    const RubricWords words(lengths(), &lexicon, QStringLiteral("US"));
    for (int u = 0; u < lengths().unitCount(); ++u) {
        const Lexicon::Entry* entry = lexicon.entry(lengths().code(), lengths().unit(u).name());
        if (entry == nullptr) {
            continue;
        }
        for (const QString& word : entry->words) {
            const UnitLookup found = words.lookup(word);
            FUZZ_CHECK(found.unit == nullptr || found.candidates.isEmpty());
            FUZZ_CHECK(found.unit == nullptr || belongs(found.unit));
            for (const UnitRecord* candidate : found.candidates) {
                FUZZ_CHECK(belongs(candidate));
            }
            FUZZ_CHECK(found.match != UnitMatch::None || (found.unit == nullptr && found.candidates.isEmpty()));
        }
    }
    return 0;
}
