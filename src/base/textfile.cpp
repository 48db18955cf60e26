#include "base/textfile.h"

#include "base/errors.h"
#include "base/fileread.h"
#include "base/filewrite.h"

#include <QFile>
#include <QStringDecoder>

namespace {
const QByteArray kBom("\xEF\xBB\xBF", 3);
}

QByteArray EncodeTextLines(const QStringList &lines)
{
    QByteArray out = kBom;
    for (const QString &l : lines) {
        out += l.toUtf8();
        out += "\r\n";
    }
    return out;
}

QString DecodeUtf8Line(QByteArrayView line)
{
    // A decoder that keeps a U+FEFF at the start (QString::fromUtf8 drops a
    // leading byte-order mark, which would silently remove that character
    // from a line beginning with it, a file name, say), and stateless, so
    // that a sequence cut off at the end becomes a replacement character.
    QStringDecoder decoder(QStringConverter::Utf8,
                           QStringConverter::Flag::ConvertInitialBom | QStringConverter::Flag::Stateless);
    return decoder.decode(line);
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
        piece += l.toUtf8();
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
