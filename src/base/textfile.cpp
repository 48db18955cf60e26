#include "base/textfile.h"

#include "base/errors.h"
#include "base/filenamecodec.h"
#include "base/fileread.h"
#include "base/filewrite.h"

#include <QFile>

#include <algorithm>

namespace {
const QByteArray kBom("\xEF\xBB\xBF", 3);
constexpr char kEscape = '\xFF';
} // namespace

QByteArray EncodeTextLine(QStringView line)
{
    QByteArray bytes = FileNameToBytes(line);
    const auto special = [](char b) { return b == '\n' || b == '\r' || b == kEscape; };
    if (std::none_of(bytes.cbegin(), bytes.cend(), special))
        return bytes;
    QByteArray out;
    out.reserve(bytes.size() + 8);
    for (const char b : std::as_const(bytes)) {
        if (b == '\n')
            out += QByteArrayView("\xFFn", 2);
        else if (b == '\r')
            out += QByteArrayView("\xFFr", 2);
        else if (b == kEscape)
            out += QByteArrayView("\xFF\xFF", 2);
        else
            out += b;
    }
    return out;
}

QByteArray EncodeTextLines(const QStringList &lines)
{
    QByteArray out = kBom;
    for (const QString &l : lines) {
        out += EncodeTextLine(l);
        out += "\r\n";
    }
    return out;
}

QString DecodeUtf8Line(QByteArrayView line)
{
    // The decoding keeps a U+FEFF at the start (QString::fromUtf8 drops a
    // leading byte-order mark, which would silently remove that character
    // from a line beginning with it, a file name, say), and a sequence cut
    // off at the end stays the bytes it was.
    if (!line.contains(kEscape))
        return FileNameFromBytes(line);
    QByteArray bytes;
    bytes.reserve(line.size());
    for (qsizetype i = 0; i < line.size(); ++i) {
        const char b = line[i];
        const char next = i + 1 < line.size() ? line[i + 1] : '\0';
        if (b == kEscape && (next == 'n' || next == 'r' || next == kEscape)) {
            bytes += next == 'n' ? '\n' : next == 'r' ? '\r' : kEscape;
            ++i;
        } else {
            bytes += b; // not an escape this program writes: the byte as it is
        }
    }
    return FileNameFromBytes(bytes);
}

QStringList DecodeTextLines(const QByteArray &data)
{
    QByteArrayView view(data);
    if (view.startsWith(kBom))
        view = view.sliced(3);
    // Line by line from the bytes (a line feed never occurs inside a UTF-8
    // sequence): a list of a million lines is never decoded whole first.
    QStringList lines;
    lines.reserve(view.count('\n') + 1);
    qsizetype start = 0;
    while (start < view.size()) {
        const qsizetype nl = view.indexOf('\n', start);
        const qsizetype end = nl < 0 ? view.size() : nl;
        qsizetype lineEnd = end;
        if (lineEnd > start && view[lineEnd - 1] == '\r')
            --lineEnd;
        lines.append(DecodeUtf8Line(view.sliced(start, lineEnd - start)));
        if (nl < 0)
            break;
        start = nl + 1;
    }
    return lines;
}

QStringList ReadTextLines(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        throw QvError(QStringLiteral("Cannot open file \"%1\": %2").arg(path, f.errorString()));
    QByteArray data;
    if (!ReadWholeFile(f, data))
        throw QvError(QStringLiteral("Cannot read file \"%1\": %2").arg(path, f.errorString()));
    return DecodeTextLines(data);
}

bool WriteTextLines(QIODevice &out, const QStringList &lines)
{
    constexpr qsizetype kPiece = 64 * 1024;
    QByteArray piece = kBom;
    piece.reserve(kPiece + 1024);
    for (const QString &l : lines) {
        piece += EncodeTextLine(l);
        piece += "\r\n";
        if (piece.size() >= kPiece) {
            if (out.write(piece) != piece.size())
                return false;
            piece.resize(0);
        }
    }
    return out.write(piece) == piece.size();
}

bool WriteTextLines(const QString &path, const QStringList &lines, QString *error)
{
    return WriteFileAtomically(path, [&](QIODevice &f) { return WriteTextLines(f, lines); }, error);
}
