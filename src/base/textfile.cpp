#include "base/textfile.h"

#include "base/errors.h"
#include "base/filewrite.h"

#include <QFile>

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
    QStringList lines;
    qsizetype start = 0;
    while (start < view.size()) {
        qsizetype nl = view.indexOf('\n', start);
        qsizetype end = nl < 0 ? view.size() : nl;
        qsizetype lineEnd = end;
        if (lineEnd > start && view[lineEnd - 1] == '\r')
            --lineEnd;
        lines.append(QString::fromUtf8(view.sliced(start, lineEnd - start)));
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
