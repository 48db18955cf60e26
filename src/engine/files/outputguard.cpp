#include "engine/files/outputguard.h"

#include "base/paths.h"
#include "engine/files/enginetext.h"
#include "storage/localfs.h"

bool OutputFolderGuard::Allows(const QString &relative, bool includeLast)
{
    if (!IsSafeRelativePath(relative))
        return false;
    qsizetype end = includeLast ? relative.size() : relative.lastIndexOf(QLatin1Char('/'));
    if (end <= 0)
        return true;
    const QString folders = relative.left(end);
    if (m_realFolders.Contains(folders))
        return true;
    qsizetype from = 0;
    while (true) {
        const qsizetype slash = folders.indexOf(QLatin1Char('/'), from);
        const QString prefix = slash < 0 ? folders : folders.left(slash);
        if (!m_realFolders.Contains(prefix)) {
            DestinationFileSystem::Info info;
            try {
                info = LocalFileSystem().Stat(JoinPath(m_root, prefix));
            } catch (const QvError &) {
                return true; // what cannot be looked at cannot be written through either
            }
            if (info.isLink)
                return false;
            if (!info.exists)
                return true; // nothing below a missing folder can be a link yet
            if (!info.isFolder)
                return true; // the operation itself fails on a file in the way
            m_realFolders.Insert(prefix);
        }
        if (slash < 0)
            return true;
        from = slash + 1;
    }
}
