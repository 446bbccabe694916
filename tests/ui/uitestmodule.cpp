#include "uitestmodule.h"

#include "app/languagemodule.h"
#include "testpaths.h"

#include <gtest/gtest.h>

namespace quantaro::test {

const ResourceSource& uiResources()
{
    // Kept loaded until the process ends: widgets of every test may still hold its pictures.
    static LanguageModule* module = [] {
        auto loaded = LanguageModule::load(QStringLiteral(QUANTARO_TEST_MODULE_DIR "/uimodule.so"));
        if (!loaded || !loaded->registerResources()) {
            ADD_FAILURE() << "the ui test module cannot be loaded";
            return static_cast<LanguageModule*>(nullptr);
        }
        return loaded.release();
    }();
    static const ResourceSource source(module ? module->resourceRoot() : QStringLiteral(":/missing"));
    return source;
}

} // namespace quantaro::test
