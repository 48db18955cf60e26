#include "base/scrambledfile.h"

#include "base/binarycodec.h"
#include "base/errors.h"
#include "base/fileread.h"
#include "base/filewrite.h"

#include <QFile>
#include <QFileInfo>

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

namespace {
// Opens a stored file for reading: Missing, OpenFailed (with `error`) or Ok.
ReadStatus Open(QFile &f, QString *error)
{
    if (!f.exists())
        return ReadStatus::Missing;
    if (!f.open(QIODevice::ReadOnly)) {
        if (error)
            *error = f.errorString();
        return ReadStatus::OpenFailed;
    }
    return ReadStatus::Ok;
}
} // namespace

ReadStatus Read(const QString &path, QByteArray &plain, QString *error)
{
    QFile f(path);
    if (const ReadStatus opened = Open(f, error); opened != ReadStatus::Ok)
        return opened;
    QByteArray data;
    if (!ReadWholeFile(f, data)) {
        if (error)
            *error = f.errorString();
        return ReadStatus::ReadFailed;
    }
    // Unscrambled in place: one buffer of the file's size in all.
    plain = Unscramble(std::move(data));
    return ReadStatus::Ok;
}

ReadStatus ReadDecoded(const QString &path, const std::function<void(BinaryReader &)> &parse, QString *error)
{
    QFile f(path);
    if (const ReadStatus opened = Open(f, error); opened != ReadStatus::Ok)
        return opened;
    Cipher cipher;
    BinaryReader reader(f.size(), [&](char *into, qsizetype size) {
        qsizetype got = 0;
        while (got < size) {
            const qint64 n = f.read(into + got, size - got);
            if (n <= 0)
                throw QvError(QStringLiteral("Cannot read the file \"%1\": %2")
                                  .arg(path, n < 0 ? f.errorString() : QStringLiteral("it was cut short")));
            got += n;
        }
        cipher.Unscramble(into, size);
    });
    parse(reader);
    return ReadStatus::Ok;
}

bool Write(const QString &path, QByteArray plain, QString *error)
{
    return WriteFileAtomically(path, Scramble(std::move(plain)), error, FileAccess::OwnerOnly);
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
    return WriteFileAtomically(path, [&](QIODevice &f) { return WriteEncoded(f, encode); }, error,
                               FileAccess::OwnerOnly);
}

} // namespace ScrambledFile
