#include "zip/winzipaes.h"

#include <openssl/core_names.h>
#include <openssl/err.h>
#include <openssl/evp.h>
#include <openssl/params.h>
#include <openssl/rand.h>

#include <algorithm>
#include <cstring>

namespace {

constexpr int kIterations = 1000;

QString OpenSslError(const char *what)
{
    const unsigned long code = ERR_get_error();
    char text[256] = {0};
    if (code)
        ERR_error_string_n(code, text, sizeof text);
    return QStringLiteral("%1 failed: %2").arg(QLatin1String(what), QString::fromLatin1(text));
}

bool Fail(QString *error, const char *what)
{
    if (error)
        *error = OpenSslError(what);
    return false;
}

} // namespace

WinZipAesEncryptor::~WinZipAesEncryptor()
{
    release();
}

void WinZipAesEncryptor::release()
{
    EVP_CIPHER_CTX_free(m_cipher);
    m_cipher = nullptr;
    EVP_MAC_CTX_free(m_mac);
    m_mac = nullptr;
}

int WinZipAesEncryptor::saltLength(int strength)
{
    return 4 + 4 * strength;
}

int WinZipAesEncryptor::keyLength(int strength)
{
    return 8 + 8 * strength;
}

bool WinZipAesEncryptor::begin(const QByteArray &password, int strength, QString *error)
{
    release();
    if (strength < 1 || strength > 3) {
        if (error)
            *error = QStringLiteral("Unknown AES key strength %1").arg(strength);
        return false;
    }
    const int keyLen = keyLength(strength);
    m_salt = QByteArray(saltLength(strength), '\0');
    if (RAND_bytes(reinterpret_cast<unsigned char *>(m_salt.data()), int(m_salt.size())) != 1)
        return Fail(error, "RAND_bytes");

    QByteArray derived(2 * keyLen + kVerifierLength, '\0');
    if (PKCS5_PBKDF2_HMAC_SHA1(password.constData(), int(password.size()),
                               reinterpret_cast<const unsigned char *>(m_salt.constData()),
                               int(m_salt.size()), kIterations, int(derived.size()),
                               reinterpret_cast<unsigned char *>(derived.data()))
        != 1)
        return Fail(error, "PBKDF2");
    m_verifier = derived.mid(2 * keyLen, kVerifierLength);

    const EVP_CIPHER *cipher = strength == 1 ? EVP_aes_128_ecb()
                             : strength == 2 ? EVP_aes_192_ecb()
                                             : EVP_aes_256_ecb();
    m_cipher = EVP_CIPHER_CTX_new();
    if (!m_cipher
        || EVP_EncryptInit_ex(m_cipher, cipher, nullptr,
                              reinterpret_cast<const unsigned char *>(derived.constData()), nullptr)
               != 1
        || EVP_CIPHER_CTX_set_padding(m_cipher, 0) != 1)
        return Fail(error, "AES key setup");

    EVP_MAC *mac = EVP_MAC_fetch(nullptr, "HMAC", nullptr);
    if (!mac)
        return Fail(error, "HMAC");
    m_mac = EVP_MAC_CTX_new(mac);
    EVP_MAC_free(mac);
    char digest[] = "SHA1";
    OSSL_PARAM params[] = {OSSL_PARAM_construct_utf8_string(OSSL_MAC_PARAM_DIGEST, digest, 0),
                           OSSL_PARAM_construct_end()};
    if (!m_mac
        || EVP_MAC_init(m_mac, reinterpret_cast<const unsigned char *>(derived.constData()) + keyLen,
                        size_t(keyLen), params)
               != 1)
        return Fail(error, "HMAC key setup");

    // Key material is not kept longer than needed.
    OPENSSL_cleanse(derived.data(), size_t(derived.size()));
    m_counterLow = 1;
    m_counterHigh = 0;
    m_keystreamPos = 0;
    m_keystreamLen = 0;
    return true;
}

bool WinZipAesEncryptor::refillKeystream(QString *error)
{
    for (int b = 0; b < kKeystreamBlocks; ++b) {
        unsigned char *block = m_counterBlocks + 16 * b;
        quint64 lo = m_counterLow;
        quint64 hi = m_counterHigh;
        for (int i = 0; i < 8; ++i) {
            block[i] = static_cast<unsigned char>(lo >> (8 * i));
            block[8 + i] = static_cast<unsigned char>(hi >> (8 * i));
        }
        if (++m_counterLow == 0)
            ++m_counterHigh;
    }
    int outLen = 0;
    if (EVP_EncryptUpdate(m_cipher, m_keystream, &outLen, m_counterBlocks, int(sizeof m_counterBlocks)) != 1
        || outLen != int(sizeof m_counterBlocks))
        return Fail(error, "AES");
    m_keystreamLen = outLen;
    m_keystreamPos = 0;
    return true;
}

bool WinZipAesEncryptor::encrypt(char *data, qsizetype length, QString *error)
{
    if (!m_cipher || !m_mac) {
        if (error)
            *error = QStringLiteral("AES encryption was not started");
        return false;
    }
    unsigned char *p = reinterpret_cast<unsigned char *>(data);
    qsizetype left = length;
    while (left > 0) {
        if (m_keystreamPos == m_keystreamLen && !refillKeystream(error))
            return false;
        const qsizetype n = std::min<qsizetype>(left, m_keystreamLen - m_keystreamPos);
        const unsigned char *k = m_keystream + m_keystreamPos;
        for (qsizetype i = 0; i < n; ++i)
            p[i] ^= k[i];
        m_keystreamPos += int(n);
        p += n;
        left -= n;
    }
    if (EVP_MAC_update(m_mac, reinterpret_cast<const unsigned char *>(data), size_t(length)) != 1)
        return Fail(error, "HMAC");
    return true;
}

QByteArray WinZipAesEncryptor::authCode(QString *error)
{
    unsigned char full[EVP_MAX_MD_SIZE];
    size_t len = 0;
    if (!m_mac || EVP_MAC_final(m_mac, full, &len, sizeof full) != 1 || len < size_t(kAuthCodeLength)) {
        Fail(error, "HMAC");
        return QByteArray();
    }
    return QByteArray(reinterpret_cast<const char *>(full), kAuthCodeLength);
}
