#pragma once
// One libcurl easy handle, owned. Every connection of the program (FTP and
// FTPS, the e-mail report, the cloud services, the update check) starts from
// NewCurlHandle(), which also runs libcurl's process-wide set-up once, from
// whichever thread comes first.
#include <curl/curl.h>

#include <memory>

struct CurlHandleDeleter {
    void operator()(CURL *handle) const { curl_easy_cleanup(handle); }
};
using CurlHandle = std::unique_ptr<CURL, CurlHandleDeleter>;

struct CurlSlistDeleter {
    void operator()(curl_slist *list) const { curl_slist_free_all(list); }
};
using CurlSlist = std::unique_ptr<curl_slist, CurlSlistDeleter>;

// A fresh handle with the settings every connection shares: no signals
// (handles are used on worker threads), no proxy from the environment (the
// proxy is the options' alone, see ApplyProxy), no progress meter. Null only
// when libcurl cannot allocate.
CurlHandle NewCurlHandle();
