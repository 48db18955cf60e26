#pragma once
// The program's text files (jobs list, state lists, run logs, exports):
// UTF-8 with a byte-order mark, one entry per line, every line ended by CR LF.
// Readers also accept files without the mark and with bare LF line ends.
#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringList>

class QIODevice;

QByteArray EncodeTextLines(const QStringList &lines);
QStringList DecodeTextLines(const QByteArray &data);
// One line's UTF-8 bytes as text, a U+FEFF at its start kept.
QString DecodeUtf8Line(QByteArrayView line);

// Throws QvError when the file cannot be opened or read.
QStringList ReadTextLines(const QString &path);
// Atomic write (see WriteFileAtomically). Returns false with `error`.
bool WriteTextLines(const QString &path, const QStringList &lines, QString *error = nullptr);
// Writes the encoding of EncodeTextLines to `out` piece by piece, so that a
// list of a million lines is never encoded whole. False when `out` refuses.
bool WriteTextLines(QIODevice &out, const QStringList &lines);
