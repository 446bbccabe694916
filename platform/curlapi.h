#pragma once

#include <curl/curl.h>

namespace quantaro {

/**
 * The libcurl functions the HTTP client uses, loaded on the first transfer. Linking libcurl would make
 * every start of the program load it and the two dozen libraries it needs (TLS, Kerberos, LDAP, ...),
 * although most runs never download anything.
 */
struct CurlApi
{
    decltype(&curl_global_init) globalInit = nullptr;
    decltype(&curl_easy_init) easyInit = nullptr;
    decltype(&curl_easy_cleanup) easyCleanup = nullptr;
    decltype(&curl_easy_setopt) easySetopt = nullptr;
    decltype(&curl_easy_getinfo) easyGetinfo = nullptr;
    decltype(&curl_multi_init) multiInit = nullptr;
    decltype(&curl_multi_cleanup) multiCleanup = nullptr;
    decltype(&curl_multi_add_handle) multiAddHandle = nullptr;
    decltype(&curl_multi_remove_handle) multiRemoveHandle = nullptr;
    decltype(&curl_multi_perform) multiPerform = nullptr;
    decltype(&curl_multi_info_read) multiInfoRead = nullptr;
    decltype(&curl_multi_poll) multiPoll = nullptr;

    /** The loaded and initialised library, or null when it cannot be loaded. */
    static const CurlApi* get();
};

} // namespace quantaro
