// A language module for tests that breaks its contract in the ways chosen at build time:
//   BROKEN_KEY       0 the program's identity, 1 null, 2 the identity followed by a mebibyte of text
//   BROKEN_LANGUAGE  0 a short name, 1 null, 2 a mebibyte of text
//   BROKEN_BUNDLE    0 a sound bundle that holds nothing, 1 null, 2 bytes that are no bundle,
//                    3 a bundle header of an unknown version, 4 no root, 5 a root that is no path
// No Qt inside, like the real modules.
#include <cstddef>

#define BROKEN_EXPORT extern "C" __attribute__((visibility("default")))

namespace {

constexpr std::size_t kHugeLength = std::size_t{1} << 20;

const char16_t* hugeText(const char16_t* prefix)
{
    static char16_t text[kHugeLength + 1];
    std::size_t i = 0;
    for (; prefix[i] != u'\0'; ++i) {
        text[i] = prefix[i];
    }
    for (; i < kHugeLength; ++i) {
        text[i] = u'x';
    }
    text[kHugeLength] = u'\0';
    return text;
}

// What rcc --binary makes of a resource description without files: header, one empty root folder.
alignas(8) const unsigned char kEmptyBundle[] = {'q', 'r', 'e', 's',  0, 0, 0, 3, 0, 0, 0, 0x18, 0, 0, 0, 0x18,
                                                 0,   0,   0,   0x18, 0, 0, 0, 0, 0, 0, 0, 0,    0, 2, 0, 0,
                                                 0,   0,   0,   0,    0, 1, 0, 0, 0, 0, 0, 0,    0, 0, 0, 0};
alignas(8) const unsigned char kGarbage[] = "this is not a resource bundle at all, just text";
alignas(8) const unsigned char kUnknownVersion[] = {'q', 'r',  'e', 's', 0, 0,    0, 0x7f, 0, 0, 0, 0x18, 0, 0,
                                                    0,   0x18, 0,   0,   0, 0x18, 0, 0,    0, 0, 0, 0,    0, 0};

} // namespace

BROKEN_EXPORT const char16_t* GetModuleKey()
{
#if BROKEN_KEY == 1
    return nullptr;
#elif BROKEN_KEY == 2
    return hugeText(u"Quantaro Language DLL #1.05");
#else
    return u"Quantaro Language DLL #1.05";
#endif
}

BROKEN_EXPORT const char16_t* GetLanguage()
{
#if BROKEN_LANGUAGE == 1
    return nullptr;
#elif BROKEN_LANGUAGE == 2
    return hugeText(u"Huge");
#else
    return u"Broken";
#endif
}

BROKEN_EXPORT const unsigned char* GetResourceBundle(const char** root)
{
    if (root != nullptr) {
#if BROKEN_BUNDLE == 4
        *root = nullptr;
#elif BROKEN_BUNDLE == 5
        *root = "qlm_broken";
#else
        *root = "/qlm_broken";
#endif
    }
#if BROKEN_BUNDLE == 1
    return nullptr;
#elif BROKEN_BUNDLE == 2
    return kGarbage;
#elif BROKEN_BUNDLE == 3
    return kUnknownVersion;
#else
    return kEmptyBundle;
#endif
}
