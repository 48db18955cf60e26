#include "base/cloudcredentials.h"

#include "base/binarycodec.h"

#include <QMutex>

namespace {
QMutex &credentialsMutex()
{
    static QMutex m;
    return m;
}
TCloudCredentials &credentials()
{
    static TCloudCredentials c;
    return c;
}
} // namespace

TCloudCredentials CloudCredentials()
{
    QMutexLocker lock(&credentialsMutex());
    return credentials();
}

void SetCloudCredentials(const TCloudCredentials &c)
{
    QMutexLocker lock(&credentialsMutex());
    credentials() = c;
}

bool ParseCloudCredentials(const QByteArray &plain, TCloudCredentials &out)
{
    BinaryReader reader(plain);
    try {
        for (QString &s : out.Strings)
            s = reader.readString();
    } catch (const DecodeError &) {
        return false;
    }
    return true;
}
