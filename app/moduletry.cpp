#include "app/moduleexports.h"

#include <csignal>
#include <cstddef>
#include <dlfcn.h>
#include <initializer_list>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <unistd.h>

namespace quantaro {

namespace {
/** The bytes of a resource bundle that Qt reads before anything else: magic, version and offsets. */
constexpr std::size_t kBundleHeaderBytes = 20;
} // namespace

void tryModuleAndExit(const char* path, int answer)
{
    // A module that crashes must not leave a core dump for every start, nor run inherited handlers.
    ::prctl(PR_SET_DUMPABLE, 0);
    const rlimit noCore = {0, 0};
    ::setrlimit(RLIMIT_CORE, &noCore);
    for (const int fault : {SIGSEGV, SIGBUS, SIGILL, SIGFPE, SIGABRT}) {
        std::signal(fault, SIG_DFL);
    }
    void* handle = ::dlopen(path, RTLD_NOW | RTLD_LOCAL);
    if (handle == nullptr) {
        ::_exit(1);
    }
    volatile char sink = 0;
    const auto touchText = [&sink](const char16_t* text, int maxLength) {
        for (int i = 0; text != nullptr && i < maxLength && text[i] != u'\0'; ++i) {
            sink = static_cast<char>(sink + static_cast<char>(text[i]));
        }
    };
    using namespace moduleexports;
    if (const auto key = reinterpret_cast<TextExport>(::dlsym(handle, kModuleKey))) {
        touchText(key(), kModuleKeyMaxLength);
    }
    if (const auto language = reinterpret_cast<TextExport>(::dlsym(handle, kLanguage))) {
        touchText(language(), kLanguageNameMaxLength);
    }
    if (const auto bundleOf = reinterpret_cast<BundleExport>(::dlsym(handle, kBundle))) {
        const char* root = nullptr;
        const unsigned char* bundle = bundleOf(&root);
        for (int i = 0; root != nullptr && i < kResourceRootMaxLength && root[i] != '\0'; ++i) {
            sink = static_cast<char>(sink + root[i]);
        }
        for (std::size_t i = 0; bundle != nullptr && i < kBundleHeaderBytes; ++i) {
            sink = static_cast<char>(sink + static_cast<char>(bundle[i]));
        }
    }
    const char survived = kModuleSurvived;
    const bool told = ::write(answer, &survived, 1) == 1;
    ::_exit(told ? 0 : 1);
}

} // namespace quantaro
