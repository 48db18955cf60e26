#include "jobs/destinationinsource.h"

#include "base/paths.h"

#include <QDir>
#include <QFileInfo>

namespace {

// `path` absolute and clean, the longest part of it that exists with its
// links resolved, the rest (not there yet) as written.
QString ResolvedPath(const QString &path)
{
    const QString clean = QDir::cleanPath(QFileInfo(path).absoluteFilePath());
    QString head = clean;
    QString tail;
    while (true) {
        const QString canonical = QFileInfo(head).canonicalFilePath();
        if (!canonical.isEmpty())
            return tail.isEmpty() ? canonical : JoinPath(canonical, tail);
        const qsizetype slash = head.lastIndexOf(QLatin1Char('/'));
        if (slash <= 0)
            return clean;
        const QString name = head.mid(slash + 1);
        tail = tail.isEmpty() ? name : name + QLatin1Char('/') + tail;
        head = head.left(slash);
    }
}

} // namespace

QString FolderOfSourceItem(const QString &item)
{
    if (!item.endsWith(QLatin1Char('*')))
        return QString();
    QString folder = item.chopped(1);
    while (folder.size() > 1 && folder.endsWith(QLatin1Char('/')))
        folder.chop(1);
    return folder.isEmpty() ? QStringLiteral("/") : folder;
}

std::optional<QString> PathInsideFolder(const QString &outer, const QString &inner)
{
    if (outer.isEmpty() || inner.isEmpty())
        return std::nullopt;
    const QString o = ResolvedPath(outer);
    const QString i = ResolvedPath(inner);
    if (i == o)
        return QString();
    const QString prefix = o.endsWith(QLatin1Char('/')) ? o : o + QLatin1Char('/');
    if (i.startsWith(prefix))
        return i.mid(prefix.size());
    return std::nullopt;
}

QString SourceItemHoldingFolder(const QStringList &sourceItems, const QString &destination)
{
    for (const QString &item : sourceItems) {
        const QString folder = FolderOfSourceItem(item);
        if (!folder.isEmpty() && PathInsideFolder(folder, destination))
            return item;
    }
    return QString();
}
