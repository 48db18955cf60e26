#include "zip/pkwarecrypto.h"

#include <openssl/err.h>
#include <openssl/rand.h>
#include <zlib.h>

namespace {

const z_crc_t *CrcTable()
{
    static const z_crc_t *table = get_crc_table();
    return table;
}

inline quint32 CrcByte(quint32 crc, quint8 b)
{
    return CrcTable()[(crc ^ b) & 0xff] ^ (crc >> 8);
}

} // namespace

PkwareEncryptor::PkwareEncryptor(const QByteArray &password)
{
    for (char c : password)
        updateKeys(quint8(c));
}

void PkwareEncryptor::updateKeys(quint8 plain)
{
    m_key0 = CrcByte(m_key0, plain);
    m_key1 = (m_key1 + (m_key0 & 0xff)) * 134775813u + 1;
    m_key2 = CrcByte(m_key2, quint8(m_key1 >> 24));
}

quint8 PkwareEncryptor::streamByte() const
{
    // Unsigned 32-bit arithmetic: 16-bit operands would be promoted to int
    // and the product could overflow.
    const quint32 t = (m_key2 | 2u) & 0xffffu;
    return quint8((t * (t ^ 1u)) >> 8);
}

QByteArray PkwareEncryptor::header(quint8 checkByte, QString *error)
{
    QByteArray h(kHeaderLength, '\0');
    if (RAND_bytes(reinterpret_cast<unsigned char *>(h.data()), kHeaderLength - 1) != 1) {
        if (error)
            *error = QStringLiteral("No random data for the encryption header (OpenSSL error %1)")
                         .arg(ERR_get_error());
        return QByteArray();
    }
    h[kHeaderLength - 1] = char(checkByte);
    encrypt(h.data(), h.size());
    return h;
}

void PkwareEncryptor::encrypt(char *data, qsizetype length)
{
    for (qsizetype i = 0; i < length; ++i) {
        const quint8 plain = quint8(data[i]);
        data[i] = char(plain ^ streamByte());
        updateKeys(plain);
    }
}
