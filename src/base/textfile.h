#pragma once
// The program's text files (jobs list, state lists, run logs, exports):
// UTF-8 with a byte-order mark, one entry per line, every line ended by CR LF.
// Readers also accept files without the mark and with bare LF line ends.
//
// A line holds any file name the file system can hold, line breaks and
// bytes that are not UTF-8 included (the state lists list such names). The
// line is the name's own bytes (see filenamecodec.h), with three bytes
// written as two: LF as FF 6E ("n"), CR as FF 72 ("r") and FF itself as
// FF FF. The byte FF never occurs in UTF-8, so every line of valid UTF-8
// text without CR or LF, every ordinary name, is written exactly as before,
// and a file that an older version wrote reads the same.
#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringList>

class QIODevice;

QByteArray EncodeTextLines(const QStringList &lines);
QStringList DecodeTextLines(const QByteArray &data);
// One line's bytes (without its line end) as text, a U+FEFF at its start kept.
QString DecodeUtf8Line(QByteArrayView line);
// The bytes of one line, without its line end.
QByteArray EncodeTextLine(QStringView line);

// Throws QvError when the file cannot be opened or read.
QStringList ReadTextLines(const QString &path);
// Atomic write (see WriteFileAtomically). Returns false with `error`.
bool WriteTextLines(const QString &path, const QStringList &lines, QString *error = nullptr);
// Writes the encoding of EncodeTextLines to `out` piece by piece, so that a
// list of a million lines is never encoded whole. False when `out` refuses.
bool WriteTextLines(QIODevice &out, const QStringList &lines);
