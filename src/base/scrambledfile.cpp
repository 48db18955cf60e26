#include "base/scrambledfile.h"

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

QByteArray Scramble(const QByteArray &plain)
{
    QByteArray out(plain.size(), Qt::Uninitialized);
    quint16 s = kSeed;
    for (qsizetype i = 0; i < plain.size(); ++i) {
        const quint8 p = static_cast<quint8>(plain[i]);
        out[i] = static_cast<char>(~(p ^ (s >> 8)));
        s = nextState(p, s);
    }
    return out;
}

QByteArray Unscramble(const QByteArray &stored)
{
    QByteArray out(stored.size(), Qt::Uninitialized);
    quint16 s = kSeed;
    for (qsizetype i = 0; i < stored.size(); ++i) {
        const quint8 p = static_cast<quint8>(static_cast<quint8>(~stored[i]) ^ (s >> 8));
        out[i] = static_cast<char>(p);
        s = nextState(p, s);
    }
    return out;
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
    QByteArray stored = f.readAll();
    if (f.error() != QFileDevice::NoError) {
        if (error)
            *error = f.errorString();
        return ReadStatus::ReadFailed;
    }
    plain = Unscramble(stored);
    return ReadStatus::Ok;
}

bool Write(const QString &path, const QByteArray &plain, QString *error)
{
    return WriteFileAtomically(path, Scramble(plain), error);
}

} // namespace ScrambledFile
