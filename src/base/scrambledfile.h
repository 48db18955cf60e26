#pragma once
// The container of the program's binary data files (options, job files,
// credentials, refresh tokens): a byte-wise stream cipher followed by the
// inversion of every byte. It hides the content; it is no security measure.
#include <QByteArray>
#include <QString>
#include <functional>

class BinaryReader;
class BinaryWriter;
class QIODevice;

namespace ScrambledFile {

// The cipher over a stream: pieces passed in order give the bytes the whole
// would give, so a large file can be scrambled as it is written.
class Cipher {
public:
    Cipher();
    void Scramble(char *data, qsizetype size);
    void Unscramble(char *data, qsizetype size);

private:
    quint16 m_state;
};

QByteArray Scramble(QByteArray plain);
QByteArray Unscramble(QByteArray stored);

enum class ReadStatus {
    Ok,
    Missing,     // the file does not exist
    OpenFailed,  // it exists but cannot be opened ("Code: 2" of the loaders)
    ReadFailed,  // it was opened but could not be read whole ("Code: 1")
};

// Reads and unscrambles a whole file into `plain`.
ReadStatus Read(const QString &path, QByteArray &plain, QString *error = nullptr);

// Opens `path` and gives `parse` a reader over its plain content that reads
// and unscrambles it a piece at a time, as the fields are read, so a large
// file is never held whole. A read that fails on the way throws QvError;
// what `parse` throws passes through.
ReadStatus ReadDecoded(const QString &path, const std::function<void(BinaryReader &)> &parse,
                       QString *error = nullptr);

// Scrambles `plain` and writes it atomically to `path` (a temporary file
// beside it, flushed and renamed over it). The file is its owner's alone
// (0600), also when it existed with wider permissions: these files may hold
// passwords. Returns false with `error` set.
bool Write(const QString &path, QByteArray plain, QString *error = nullptr);

// Scrambles what `encode` writes through the BinaryWriter it is given into
// `out` piece by piece, never holding the whole encoding. False with `error`
// set when `out` refuses a piece.
bool WriteEncoded(QIODevice &out, const std::function<void(BinaryWriter &)> &encode, QString *error = nullptr);
// The same, atomically into `path` (as Write).
bool WriteEncoded(const QString &path, const std::function<void(BinaryWriter &)> &encode, QString *error = nullptr);

} // namespace ScrambledFile
