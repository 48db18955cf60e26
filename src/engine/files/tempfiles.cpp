#include "engine/files/tempfiles.h"

#include "base/textfile.h"

#include <QFile>

bool WriteTempStateList(const QString &path, const QStringList &lines, QString *error)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || !WriteTextLines(f, lines) || !f.flush()) {
        if (error)
            *error = f.errorString() + QStringLiteral(": ") + path;
        return false;
    }
    return true;
}
