#include "engine/files/tempfiles.h"

#include "base/textfile.h"

#include <QFile>

bool WriteTempFile(const QString &path, const QByteArray &data, QString *error)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(data) != data.size() || !f.flush()) {
        if (error)
            *error = f.errorString() + QStringLiteral(": ") + path;
        return false;
    }
    return true;
}

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
