#include "base/paths.h"

#include "base/errors.h"

#include <QDir>

bool HasInvalidPathCharacters(const QString &path)
{
    return path.contains(QChar(0));
}

QString JoinPath(const QString &first, const QString &second)
{
    if (HasInvalidPathCharacters(first) || HasInvalidPathCharacters(second))
        throw QvError(QStringLiteral("Invalid characters in path"));
    if (first.isEmpty())
        return second;
    if (second.isEmpty())
        return first;
    if (second.startsWith(QLatin1Char('/')))
        return second;
    if (first.endsWith(QLatin1Char('/')))
        return first + second;
    return first + QLatin1Char('/') + second;
}

QString RemoteParentPath(const QString &path)
{
    const qsizetype i = path.lastIndexOf(QLatin1Char('/'));
    if (i <= 0)
        return QStringLiteral("/");
    return path.left(i);
}

QString LocalParentPath(const QString &path)
{
    const qsizetype i = path.lastIndexOf(QLatin1Char('/'));
    if (i < 0)
        return QString();
    if (i == 0)
        return QStringLiteral("/");
    return path.left(i);
}

QString PathFileName(const QString &path)
{
    return path.mid(path.lastIndexOf(QLatin1Char('/')) + 1);
}

QString PathExtension(const QString &path)
{
    const QString name = PathFileName(path);
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    return dot < 0 ? QString() : name.mid(dot);
}
