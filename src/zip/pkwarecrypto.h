#pragma once
// The traditional PKWARE stream cipher ("ZipCrypto"). Weak by today's
// standards, but it is what every unzip program can open.
#include <QByteArray>
#include <QString>

class PkwareEncryptor {
public:
    static constexpr int kHeaderLength = 12;

    // Initialises the keys from the password bytes.
    explicit PkwareEncryptor(const QByteArray &password);

    // The encrypted 12-byte header that starts the entry's data: eleven
    // random bytes and the check byte readers compare to verify the
    // password. Returns an empty array when no random bytes could be had.
    QByteArray header(quint8 checkByte, QString *error);

    void encrypt(char *data, qsizetype length);

private:
    void updateKeys(quint8 plain);
    quint8 streamByte() const;

    quint32 m_key0 = 0x12345678u;
    quint32 m_key1 = 0x23456789u;
    quint32 m_key2 = 0x34567890u;
};
