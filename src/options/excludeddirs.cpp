#include "options/excludeddirs.h"

#include "base/errors.h"
#include "base/events.h"
#include "base/textfile.h"
#include "platform/folders.h"

#include <QFileInfo>

QString ExpandExcludedDirLine(const QString &line)
{
    if (!line.startsWith(QLatin1Char('%')))
        return line;
    const qsizetype close = line.indexOf(QLatin1Char('%'), 1);
    if (close < 0)
        return line;
    const QString name = line.mid(1, close - 1);
    if (name.isEmpty())
        return line;
    const QString value = qEnvironmentVariable(name.toLocal8Bit().constData());
    if (value.isEmpty())
        return line;
    QString expanded = line;
    const QString token = QLatin1Char('%') + name + QLatin1Char('%');
    const qsizetype at = expanded.indexOf(token, 0, Qt::CaseInsensitive);
    if (at >= 0)
        expanded.replace(at, token.size(), value);
    return expanded.toLower();
}

QStringList LoadExcludedDirs(const QString &path)
{
    QStringList result;
    if (!QFileInfo::exists(path))
        return result;
    QStringList lines;
    try {
        lines = ReadTextLines(path);
    } catch (const QvError &e) {
        AddEvent(QStringLiteral("ERROR: ") + e.message());
        return result;
    }
    for (const QString &line : lines) {
        // A blank line excludes nothing; keeping it would only clutter the list.
        if (line.trimmed().isEmpty())
            continue;
        result.append(ExpandExcludedDirLine(line));
    }
    return result;
}

QStringList DefaultExcludedDirs()
{
    return LoadExcludedDirs(Folders::ShippedFile(QStringLiteral("excluded-directories.txt")));
}
