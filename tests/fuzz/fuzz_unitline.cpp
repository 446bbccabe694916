#include "catalogue/rubric.h"
#include "catalogue/unitdefinition.h"
#include "fuzz/fuzzcheck.h"

#include <QString>

#include <cstddef>
#include <cstdint>

using namespace quantaro;

// One unit-file line and one rubric definition string, both taken from the same text.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));

    if (const auto line = parseUnitLine(text)) {
        FUZZ_CHECK(!line->code.isEmpty());
        FUZZ_CHECK(line->unit.name().size() <= kUnitTextMaxLength);
        FUZZ_CHECK(line->unit.fromBase().size() <= kUnitTextMaxLength);
        FUZZ_CHECK(line->unit.toBase().size() <= kUnitTextMaxLength);
        FUZZ_CHECK(line->unit.tag().size() <= kUnitTagMaxLength);
        FUZZ_CHECK(!line->unit.hidden());
    }

    Rubric rubric;
    parseRubricDefinition(text, rubric);
    // Only the first kRubricDefinitionMaxLength characters count, so no name can be longer and there
    // can be no more sub-categories than tokens fit in them.
    FUZZ_CHECK(rubric.name().size() <= kRubricDefinitionMaxLength);
    FUZZ_CHECK(rubric.sousRubricCount() <= kRubricDefinitionMaxLength / 2);
    for (int i = 0; i < rubric.sousRubricCount(); ++i) {
        FUZZ_CHECK(!rubric.sousRubric(i).isEmpty());
    }

    QStringView rest = text;
    while (const auto token = nextToken(rest)) {
        FUZZ_CHECK(!token->isEmpty());
    }
    return 0;
}
