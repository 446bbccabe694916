#include "platform/curlapi.h"

#include <QLibrary>
#include <mutex>

namespace quantaro {

namespace {

constexpr int kCurlSoVersion = 4;

template <typename Function> bool resolve(QLibrary& library, const char* name, Function& function)
{
    function = reinterpret_cast<Function>(library.resolve(name));
    return function != nullptr;
}

bool load(CurlApi& api)
{
    // Kept loaded for the rest of the process: libcurl's global state must outlive every transfer.
    static QLibrary library(QStringLiteral("curl"), kCurlSoVersion);
    if (!library.load()) {
        return false;
    }
    const bool complete =
        resolve(library, "curl_global_init", api.globalInit) && resolve(library, "curl_easy_init", api.easyInit) &&
        resolve(library, "curl_easy_cleanup", api.easyCleanup) &&
        resolve(library, "curl_easy_setopt", api.easySetopt) &&
        resolve(library, "curl_easy_getinfo", api.easyGetinfo) && resolve(library, "curl_multi_init", api.multiInit) &&
        resolve(library, "curl_multi_cleanup", api.multiCleanup) &&
        resolve(library, "curl_multi_add_handle", api.multiAddHandle) &&
        resolve(library, "curl_multi_remove_handle", api.multiRemoveHandle) &&
        resolve(library, "curl_multi_perform", api.multiPerform) &&
        resolve(library, "curl_multi_info_read", api.multiInfoRead) &&
        resolve(library, "curl_multi_poll", api.multiPoll);
    return complete && api.globalInit(CURL_GLOBAL_DEFAULT) == CURLE_OK;
}

} // namespace

const CurlApi* CurlApi::get()
{
    static CurlApi api;
    static bool loaded = false;
    static std::once_flag once;
    std::call_once(once, [] { loaded = load(api); });
    return loaded ? &api : nullptr;
}

} // namespace quantaro
