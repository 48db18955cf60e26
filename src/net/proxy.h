#pragma once
// The proxy of the options as every connection uses it: an HTTP proxy by
// CONNECT (so TLS runs end to end through it), or SOCKS 4 or 5, with user
// name and password when a user name is set.
#include "options/options.h"

#include <QString>
#include <curl/curl.h>
#include <optional>

struct ProxySetting {
    enum Kind { None, Http, Socks4, Socks5 };
    Kind kind = None;
    QString host;
    int port = 0;
    QString username;
    QString password;
};

// The options' proxy (no proxy when it is not enabled). Fails with `error`
// when the port text is not a port number.
std::optional<ProxySetting> ProxyFromOptions(const TProxyOptions &options, QString *error);

// Sets `proxy` on `handle`; ProxySetting::None or an empty host means a
// direct connection.
void ApplyProxy(CURL *handle, const ProxySetting &proxy);
