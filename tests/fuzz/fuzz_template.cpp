#include "fuzz/fuzzcheck.h"
#include "ui/dialogtemplate.h"
#include "ui/uixmlreader.h"

#include <cstddef>
#include <cstdint>

using namespace quantaro;

namespace {
// Every element of a document, as deep as it goes, with the texts of the ones that hold no others.
void walk(UiXmlReader& xml, int depth)
{
    while (xml.readNextStartElement()) {
        static_cast<void>(xml.attribute(QLatin1StringView("name")));
        if (depth % 2 == 0) {
            static_cast<void>(xml.readElementText(true));
        } else {
            walk(xml, depth + 1);
        }
    }
}
} // namespace

// A window template as a language module holds it.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    if (const auto parsed = DialogTemplate::parse(bytes)) {
        FUZZ_CHECK(!parsed->designSize.isEmpty());
        FUZZ_CHECK(parsed->items.size() <= 2000);
    }
    UiXmlReader xml(bytes);
    walk(xml, 1);
    return 0;
}
