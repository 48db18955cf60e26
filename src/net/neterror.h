#pragma once
// The text of a failed libcurl transfer, as the program shows and logs it.
#include <QString>
#include <curl/curl.h>

// The message of `code` with libcurl's detail from `errorBuffer`
// (CURLOPT_ERRORBUFFER, may be empty). A certificate that could not be
// verified names `host` and says how the user can trust it.
QString CurlErrorText(CURLcode code, const char *errorBuffer, const QString &host);
