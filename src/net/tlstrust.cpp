#include "net/tlstrust.h"

#include "platform/folders.h"

#include <QFile>

namespace TlsTrust {
namespace {

// Where this libcurl looks for the system's certificates by default.
QString SystemBundlePath()
{
    static const QString path = [] {
        CURL *probe = curl_easy_init();
        char *cainfo = nullptr;
        QString found;
        if (probe && curl_easy_getinfo(probe, CURLINFO_CAINFO, &cainfo) == CURLE_OK && cainfo)
            found = QString::fromLocal8Bit(cainfo);
        if (probe)
            curl_easy_cleanup(probe);
        return found.isEmpty() ? QStringLiteral("/etc/ssl/certs/ca-certificates.crt") : found;
    }();
    return path;
}

bool ReadUserFile(QByteArray *pem, QString *error)
{
    QFile file(UserCertificatesPath());
    if (!file.exists())
        return true;
    if (!file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = QStringLiteral("Unable to read %1: %2").arg(file.fileName(), file.errorString());
        return false;
    }
    *pem = file.readAll();
    return true;
}

} // namespace

QString UserCertificatesPath()
{
    return Folders::DataFolder() + QStringLiteral("/trusted-certificates.pem");
}

QByteArray TrustedCertificates()
{
    QByteArray user;
    if (!ReadUserFile(&user, nullptr) || user.isEmpty())
        return {};
    QFile system(SystemBundlePath());
    QByteArray all;
    if (system.open(QIODevice::ReadOnly))
        all = system.readAll();
    if (!all.isEmpty() && !all.endsWith('\n'))
        all += '\n';
    return all + user;
}

bool Apply(CURL *handle, QString *error)
{
    curl_easy_setopt(handle, CURLOPT_SSL_VERIFYPEER, 1L);
    curl_easy_setopt(handle, CURLOPT_SSL_VERIFYHOST, 2L);
    curl_easy_setopt(handle, CURLOPT_SSLVERSION, long(CURL_SSLVERSION_TLSv1_2) | long(CURL_SSLVERSION_MAX_DEFAULT));
    QByteArray user;
    if (!ReadUserFile(&user, error))
        return false;
    if (user.isEmpty())
        return true;
    const QByteArray pem = TrustedCertificates();
    curl_blob blob{const_cast<char *>(pem.constData()), size_t(pem.size()), CURL_BLOB_COPY};
    if (curl_easy_setopt(handle, CURLOPT_CAINFO_BLOB, &blob) != CURLE_OK) {
        if (error)
            *error = QStringLiteral("This libcurl cannot take the certificates of %1").arg(UserCertificatesPath());
        return false;
    }
    return true;
}

} // namespace TlsTrust
