#pragma once
// The container of the program's binary data files (options, job files,
// credentials, refresh tokens): a byte-wise stream cipher followed by the
// inversion of every byte. It hides the content; it is no security measure.
#include <QByteArray>
#include <QString>

namespace ScrambledFile {

QByteArray Scramble(const QByteArray &plain);
QByteArray Unscramble(const QByteArray &stored);

enum class ReadStatus {
    Ok,
    Missing,     // the file does not exist
    OpenFailed,  // it exists but cannot be opened ("Code: 2" of the loaders)
    ReadFailed,  // it was opened but could not be read whole ("Code: 1")
};

// Reads and unscrambles a whole file into `plain`.
ReadStatus Read(const QString &path, QByteArray &plain, QString *error = nullptr);

// Scrambles `plain` and writes it atomically to `path` (a temporary file
// beside it, flushed and renamed over it). Returns false with `error` set.
bool Write(const QString &path, const QByteArray &plain, QString *error = nullptr);

} // namespace ScrambledFile
