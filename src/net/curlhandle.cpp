#include "net/curlhandle.h"

#include <mutex>

CurlHandle NewCurlHandle()
{
    // curl_global_init is not thread-safe itself; once per process is enough.
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
    CurlHandle handle(curl_easy_init());
    if (!handle)
        return handle;
    curl_easy_setopt(handle.get(), CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(handle.get(), CURLOPT_NOPROGRESS, 1L);
    // An empty proxy string turns off http_proxy/ALL_PROXY from the
    // environment: a backup must not take a route the user did not set.
    curl_easy_setopt(handle.get(), CURLOPT_PROXY, "");
    return handle;
}
