#pragma once
// WinZip AES encryption of one entry: PBKDF2-HMAC-SHA1 with 1000
// iterations derives the AES key, the HMAC key and a two-byte password
// verifier from the password and a random salt; the data is encrypted with
// AES in counter mode (a little-endian block counter starting at 1) and
// authenticated with the first 10 bytes of HMAC-SHA1 over the ciphertext.
// Whether the entry also keeps its CRC (AE-1 or AE-2) is the writer's choice.
#include <QByteArray>
#include <QString>

struct evp_cipher_ctx_st;
struct evp_mac_ctx_st;

class WinZipAesEncryptor {
public:
    static constexpr int kVerifierLength = 2;
    static constexpr int kAuthCodeLength = 10;

    WinZipAesEncryptor() = default;
    ~WinZipAesEncryptor();
    WinZipAesEncryptor(const WinZipAesEncryptor &) = delete;
    WinZipAesEncryptor &operator=(const WinZipAesEncryptor &) = delete;

    // Salt length of a strength (1, 2, 3 for 128, 192, 256 bits): 8, 12, 16.
    static int saltLength(int strength);
    static int keyLength(int strength);

    // Starts a new entry: a fresh random salt, the derived keys, the counter
    // at 1 and a fresh HMAC. False with `error` on an OpenSSL failure.
    bool begin(const QByteArray &password, int strength, QString *error);
    // Salt followed by the password verifier: written before the data.
    QByteArray preamble() const { return m_salt + m_verifier; }
    // Encrypts in place and feeds the ciphertext to the HMAC.
    bool encrypt(char *data, qsizetype length, QString *error);
    // The 10-byte authentication code written after the data.
    QByteArray authCode(QString *error);

private:
    bool refillKeystream(QString *error);
    void release();

    evp_cipher_ctx_st *m_cipher = nullptr;
    evp_mac_ctx_st *m_mac = nullptr;
    QByteArray m_salt;
    QByteArray m_verifier;
    quint64 m_counterLow = 1;
    quint64 m_counterHigh = 0;
    static constexpr int kKeystreamBlocks = 256;
    unsigned char m_counterBlocks[kKeystreamBlocks * 16];
    unsigned char m_keystream[kKeystreamBlocks * 16 + 16];
    int m_keystreamPos = 0;
    int m_keystreamLen = 0;
};
