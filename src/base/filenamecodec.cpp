#include "base/filenamecodec.h"

namespace {

bool IsContinuation(uchar b)
{
    return (b & 0xC0) == 0x80;
}

// The length of the well-formed UTF-8 sequence at `p` (RFC 3629), or 0 when
// the byte there does not start one. `left` bytes are readable.
qsizetype SequenceLength(const uchar *p, qsizetype left)
{
    const uchar b = p[0];
    if (b < 0x80)
        return 1;
    // The allowed range of the second byte narrows for the leads whose
    // shortest forms would be overlong, surrogates or beyond U+10FFFF.
    uchar low = 0x80, high = 0xBF;
    qsizetype length = 0;
    if (b >= 0xC2 && b <= 0xDF) {
        length = 2;
    } else if (b >= 0xE0 && b <= 0xEF) {
        length = 3;
        if (b == 0xE0)
            low = 0xA0;
        else if (b == 0xED)
            high = 0x9F;
    } else if (b >= 0xF0 && b <= 0xF4) {
        length = 4;
        if (b == 0xF0)
            low = 0x90;
        else if (b == 0xF4)
            high = 0x8F;
    } else {
        return 0;
    }
    if (left < length || p[1] < low || p[1] > high)
        return 0;
    for (qsizetype i = 2; i < length; ++i) {
        if (!IsContinuation(p[i]))
            return 0;
    }
    return length;
}

char32_t CodePoint(const uchar *p, qsizetype length)
{
    static constexpr uchar kLeadMask[] = {0, 0x7F, 0x1F, 0x0F, 0x07};
    char32_t c = p[0] & kLeadMask[length];
    for (qsizetype i = 1; i < length; ++i)
        c = (c << 6) | (p[i] & 0x3F);
    return c;
}

bool IsAscii(QByteArrayView bytes)
{
    for (const char c : bytes) {
        if (uchar(c) >= 0x80)
            return false;
    }
    return true;
}

} // namespace

bool IsValidUtf8(QByteArrayView bytes)
{
    const auto *p = reinterpret_cast<const uchar *>(bytes.data());
    for (qsizetype i = 0; i < bytes.size();) {
        const qsizetype n = SequenceLength(p + i, bytes.size() - i);
        if (n == 0)
            return false;
        i += n;
    }
    return true;
}

QString FileNameFromBytes(QByteArrayView bytes)
{
    if (IsAscii(bytes))
        return QString::fromLatin1(bytes);
    QString out;
    out.reserve(bytes.size());
    const auto *p = reinterpret_cast<const uchar *>(bytes.data());
    for (qsizetype i = 0; i < bytes.size();) {
        const qsizetype n = SequenceLength(p + i, bytes.size() - i);
        if (n == 0) {
            out.append(QChar(char16_t(0xDC00 + p[i])));
            ++i;
            continue;
        }
        const char32_t c = CodePoint(p + i, n);
        if (c > 0xFFFF) {
            out.append(QChar::highSurrogate(c));
            out.append(QChar::lowSurrogate(c));
        } else {
            out.append(QChar(char16_t(c)));
        }
        i += n;
    }
    return out;
}

QByteArray FileNameToBytes(QStringView name)
{
    // Runs of characters (pairs included) are encoded whole; a lone
    // surrogate between them stands for its byte.
    QByteArray out;
    qsizetype run = 0;
    for (qsizetype i = 0; i < name.size(); ++i) {
        const QChar c = name.at(i);
        if (!c.isSurrogate())
            continue;
        if (c.isHighSurrogate() && i + 1 < name.size() && name.at(i + 1).isLowSurrogate()) {
            ++i;
            continue;
        }
        out += name.sliced(run, i - run).toUtf8();
        const int byte = EscapedFileNameByte(c);
        if (byte >= 0)
            out += char(byte);
        else
            out += "\xEF\xBF\xBD"; // U+FFFD
        run = i + 1;
    }
    if (run == 0)
        return name.toUtf8();
    out += name.sliced(run).toUtf8();
    return out;
}
