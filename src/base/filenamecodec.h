#pragma once
// File names as the file system holds them (any bytes but "/" and NUL) in
// the program's strings, and back, without loss.
//
// A name that is valid UTF-8 becomes the text UTF-8 gives, exactly as
// before. Each byte that is not part of a valid UTF-8 sequence becomes the
// lone low surrogate U+DC00 + byte (U+DC80..U+DCFF): valid UTF-8 never
// yields a surrogate, so the string tells such a byte apart from every
// character, and FileNameToBytes gives the original bytes back. Every path
// that the backup scan finds travels through the engine in this form and is
// turned back into bytes only at the file-system call.
#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

QString FileNameFromBytes(QByteArrayView bytes);
// The bytes of a name made by FileNameFromBytes. A lone surrogate outside
// U+DC80..U+DCFF, which no file name yields, becomes U+FFFD.
QByteArray FileNameToBytes(QStringView name);

// True when `bytes` is well-formed UTF-8 (no overlong forms, surrogates or
// code points above U+10FFFF).
bool IsValidUtf8(QByteArrayView bytes);

// The undecodable byte that `c` stands for, or -1 when `c` is none.
inline int EscapedFileNameByte(QChar c)
{
    const char16_t u = c.unicode();
    return u >= 0xDC80 && u <= 0xDCFF ? int(u - 0xDC00) : -1;
}
