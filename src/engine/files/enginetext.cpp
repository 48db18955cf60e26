#include "engine/files/enginetext.h"

#include <QStringView>

QString FormatRunText(const QString &format, const QStringList &values)
{
    QString out;
    out.reserve(format.size() + 32);
    qsizetype next = 0;
    for (qsizetype i = 0; i < format.size(); ++i) {
        const QChar c = format[i];
        if (c == QLatin1Char('%') && i + 1 < format.size()) {
            const QChar n = format[i + 1];
            if (n == QLatin1Char('%')) {
                out += QLatin1Char('%');
                ++i;
                continue;
            }
            if (n == QLatin1Char('s') && next < values.size()) {
                out += values[next++];
                ++i;
                continue;
            }
        }
        out += c;
    }
    return out;
}

bool IsSafeRelativePath(const QString &path)
{
    if (path.isEmpty() || path.startsWith(QLatin1Char('/')) || path.contains(QChar(0)))
        return false;
    for (QStringView part : QStringView(path).split(QLatin1Char('/'))) {
        if (part.isEmpty() || part == QLatin1String(".") || part == QLatin1String(".."))
            return false;
    }
    return true;
}
