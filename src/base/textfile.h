#pragma once
// The program's text files (jobs list, state lists, run logs, exports):
// UTF-8 with a byte-order mark, one entry per line, every line ended by CR LF.
// Readers also accept files without the mark and with bare LF line ends.
#include <QByteArray>
#include <QString>
#include <QStringList>

QByteArray EncodeTextLines(const QStringList &lines);
QStringList DecodeTextLines(const QByteArray &data);

// Throws QvError when the file cannot be opened or read.
QStringList ReadTextLines(const QString &path);
// Atomic write (see WriteFileAtomically). Returns false with `error`.
bool WriteTextLines(const QString &path, const QStringList &lines, QString *error = nullptr);
