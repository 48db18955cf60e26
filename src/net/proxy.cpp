#include "net/proxy.h"

std::optional<ProxySetting> ProxyFromOptions(const TProxyOptions &options, QString *error)
{
    ProxySetting p;
    if (!options.Enabled)
        return p;
    bool ok = false;
    const int port = options.Port.trimmed().toInt(&ok);
    if (!ok || port <= 0 || port > 65535) {
        if (error)
            *error = QStringLiteral("'%1' is not a valid integer value").arg(options.Port);
        return std::nullopt;
    }
    p.kind = options.PrType == 1 ? ProxySetting::Socks4 : options.PrType == 2 ? ProxySetting::Socks5 : ProxySetting::Http;
    p.host = options.Host.trimmed();
    p.port = port;
    p.username = options.Username;
    p.password = options.Password;
    return p;
}

void ApplyProxy(CURL *handle, const ProxySetting &proxy)
{
    if (proxy.kind == ProxySetting::None || proxy.host.isEmpty()) {
        curl_easy_setopt(handle, CURLOPT_PROXY, "");
        return;
    }
    curl_easy_setopt(handle, CURLOPT_PROXY, proxy.host.toUtf8().constData());
    curl_easy_setopt(handle, CURLOPT_PROXYPORT, long(proxy.port));
    long type = CURLPROXY_HTTP;
    if (proxy.kind == ProxySetting::Socks4)
        type = CURLPROXY_SOCKS4A;
    else if (proxy.kind == ProxySetting::Socks5)
        type = CURLPROXY_SOCKS5_HOSTNAME;
    curl_easy_setopt(handle, CURLOPT_PROXYTYPE, type);
    // Every protocol is tunnelled: FTP, SMTP and HTTPS alike go through the
    // proxy as one TCP stream, with TLS end to end.
    curl_easy_setopt(handle, CURLOPT_HTTPPROXYTUNNEL, proxy.kind == ProxySetting::Http ? 1L : 0L);
    if (!proxy.username.trimmed().isEmpty()) {
        curl_easy_setopt(handle, CURLOPT_PROXYUSERNAME, proxy.username.toUtf8().constData());
        curl_easy_setopt(handle, CURLOPT_PROXYPASSWORD, proxy.password.toUtf8().constData());
    } else {
        curl_easy_setopt(handle, CURLOPT_PROXYUSERNAME, nullptr);
        curl_easy_setopt(handle, CURLOPT_PROXYPASSWORD, nullptr);
    }
}
