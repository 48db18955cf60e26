#include "base/scrambledfile.h"

#include "base/binarycodec.h"
#include "base/filewrite.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace {
// The key of the stream cipher. Changing any of these makes every stored file
// unreadable, which a unit test guards against.
constexpr quint16 kSeed = 0x5A3C;
constexpr quint16 kMultiplier = 0x6D2B;
constexpr quint16 kIncrement = 0x1F87;

inline quint16 nextState(quint8 plain, quint16 s)
{
    return static_cast<quint16>(((plain + (s & 0xFF)) & 0xFF) * kMultiplier + kIncrement);
}
} // namespace

namespace ScrambledFile {

Cipher::Cipher() : m_state(kSeed) {}

void Cipher::Scramble(char *data, qsizetype size)
{
    quint16 s = m_state;
    for (qsizetype i = 0; i < size; ++i) {
        const quint8 p = static_cast<quint8>(data[i]);
        data[i] = static_cast<char>(~(p ^ (s >> 8)));
        s = nextState(p, s);
    }
    m_state = s;
}

void Cipher::Unscramble(char *data, qsizetype size)
{
    quint16 s = m_state;
    for (qsizetype i = 0; i < size; ++i) {
        const quint8 p = static_cast<quint8>(static_cast<quint8>(~data[i]) ^ (s >> 8));
        data[i] = static_cast<char>(p);
        s = nextState(p, s);
    }
    m_state = s;
}

QByteArray Scramble(QByteArray plain)
{
    Cipher().Scramble(plain.data(), plain.size());
    return plain;
}

QByteArray Unscramble(QByteArray stored)
{
    Cipher().Unscramble(stored.data(), stored.size());
    return stored;
}

ReadStatus Read(const QString &path, QByteArray &plain, QString *error)
{
    QFile f(path);
    if (!f.exists())
        return ReadStatus::Missing;
    if (!f.open(QIODevice::ReadOnly)) {
        if (error)
            *error = f.errorString();
        return ReadStatus::OpenFailed;
    }
    // Read into one buffer of the file's size and unscrambled in place:
    // readAll() would grow its buffer step by step past the size.
    const qint64 size = f.size();
    QByteArray data(size, Qt::Uninitialized);
    qint64 got = 0;
    while (got < size) {
        const qint64 n = f.read(data.data() + got, size - got);
        if (n <= 0)
            break;
        got += n;
    }
    if (got != size || f.error() != QFileDevice::NoError) {
        if (error)
            *error = f.error() != QFileDevice::NoError ? f.errorString() : QStringLiteral("The file was cut short while it was read");
        return ReadStatus::ReadFailed;
    }
    plain = Unscramble(std::move(data));
    return ReadStatus::Ok;
}

bool Write(const QString &path, QByteArray plain, QString *error)
{
    return WriteFileAtomically(path, Scramble(std::move(plain)), error);
}

bool WriteEncoded(QIODevice &out, const std::function<void(BinaryWriter &)> &encode, QString *error)
{
    Cipher cipher;
    BinaryWriter writer([&](QByteArray &piece) {
        cipher.Scramble(piece.data(), piece.size());
        return out.write(piece) == piece.size();
    });
    encode(writer);
    if (writer.finish())
        return true;
    if (error)
        *error = out.errorString();
    return false;
}

bool WriteEncoded(const QString &path, const std::function<void(BinaryWriter &)> &encode, QString *error)
{
    QSaveFile f(path);
    QString why;
    if (f.open(QIODevice::WriteOnly) && WriteEncoded(f, encode, &why) && f.commit())
        return true;
    if (error)
        *error = why.isEmpty() ? f.errorString() : why;
    f.cancelWriting();
    return false;
}

} // namespace ScrambledFile
