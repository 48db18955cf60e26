#include "base/damagedfile.h"

#include <QFile>
#include <QFileInfo>

QString KeepDamagedFileAside(const QString &path, QString *error)
{
    if (error)
        error->clear();
    const QFileInfo info(path);
    if (!info.exists() && !info.isSymLink())
        return QString();
    for (int n = 1;; ++n) {
        const QString aside =
            n == 1 ? path + QStringLiteral(".damaged") : path + QStringLiteral(".%1.damaged").arg(n);
        const QFileInfo taken(aside);
        if (taken.exists() || taken.isSymLink())
            continue;
        QFile file(path);
        if (file.rename(aside))
            return aside;
        if (error)
            *error = file.errorString();
        return QString();
    }
}
