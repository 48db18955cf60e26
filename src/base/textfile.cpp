#include "base/textfile.h"

#include "base/errors.h"
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

QStringList DecodeTextLines(const QByteArray &data)
{
    QByteArrayView view(data);
    if (view.startsWith(kBom))
        view = view.sliced(3);
    // Decoded as a whole, keeping a U+FEFF at the start: QString::fromUtf8
    // drops a leading byte-order mark, which per line would silently remove
    // that character from the start of any line (a file name, say).
    QStringDecoder decoder(QStringConverter::Utf8, QStringConverter::Flag::ConvertInitialBom);
    const QString text = decoder.decode(view);
    QStringList lines;
    qsizetype start = 0;
    while (start < text.size()) {
        const qsizetype nl = text.indexOf(QLatin1Char('\n'), start);
        const qsizetype end = nl < 0 ? text.size() : nl;
        qsizetype lineEnd = end;
        if (lineEnd > start && text[lineEnd - 1] == QLatin1Char('\r'))
            --lineEnd;
        lines.append(text.sliced(start, lineEnd - start));
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
    QByteArray data = f.readAll();
    if (f.error() != QFileDevice::NoError)
        throw QvError(QStringLiteral("Cannot read file \"%1\": %2").arg(path, f.errorString()));
    return DecodeTextLines(data);
}

bool WriteTextLines(const QString &path, const QStringList &lines, QString *error)
{
    return WriteFileAtomically(path, EncodeTextLines(lines), error);
}
