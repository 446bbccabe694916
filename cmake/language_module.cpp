// The code of every language module: three exports, no Qt. The texts, layouts, menus and
// pictures are the embedded resource bundle.
#include "module_config.h"

extern "C" const unsigned char quantaro_module_bundle[];

#define QUANTARO_EXPORT extern "C" __attribute__((visibility("default")))

#if QUANTARO_MODULE_EXPORT_KEY
QUANTARO_EXPORT const char16_t* GetModuleKey()
{
    return u"" QUANTARO_MODULE_KEY;
}
#endif

#if QUANTARO_MODULE_EXPORT_LANGUAGE
QUANTARO_EXPORT const char16_t* GetLanguage()
{
    return u"" QUANTARO_MODULE_LANGUAGE;
}
#endif

QUANTARO_EXPORT const unsigned char* GetResourceBundle(const char** root)
{
    if (root != nullptr) {
        *root = QUANTARO_MODULE_ROOT;
    }
    return quantaro_module_bundle;
}
