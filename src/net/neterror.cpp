#include "net/neterror.h"

#include "net/tlstrust.h"

QString CurlErrorText(CURLcode code, const char *errorBuffer, const QString &host)
{
    QString detail = errorBuffer && *errorBuffer ? QString::fromUtf8(errorBuffer).trimmed()
                                                 : QString::fromUtf8(curl_easy_strerror(code));
    detail.replace(QLatin1Char('\n'), QLatin1Char(' '));
    if (code == CURLE_PEER_FAILED_VERIFICATION
#if LIBCURL_VERSION_NUM < 0x073e00
        || code == CURLE_SSL_CACERT
#endif
    ) {
        return QStringLiteral("The certificate of %1 could not be verified (%2). To trust this server, add its "
                              "certificate or the certificate of its authority, in PEM form, to %3.")
            .arg(host, detail, TlsTrust::UserCertificatesPath());
    }
    return detail;
}
