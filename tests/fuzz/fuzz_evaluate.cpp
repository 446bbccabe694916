#include "convert/evaluate.h"
#include "fuzz/fuzzcheck.h"

#include <QString>

#include <cmath>
#include <cstddef>
#include <cstdint>

// The evaluator reads whatever the user typed and whatever a unit file's formulas hold.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const double value = quantaro::evaluate(text);
    // Reading the same text twice gives the same number (NaN compares unequal to itself).
    const double again = quantaro::evaluate(text);
    FUZZ_CHECK((std::isnan(value) && std::isnan(again)) || value == again);
    return 0;
}
