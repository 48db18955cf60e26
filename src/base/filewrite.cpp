#include "base/filewrite.h"

#include <QSaveFile>

bool WriteFileAtomically(const QString &path, const std::function<bool(QIODevice &)> &write, QString *error)
{
    QSaveFile f(path);
    if (f.open(QIODevice::WriteOnly) && write(f) && f.commit())
        return true;
    if (error)
        *error = f.errorString();
    f.cancelWriting();
    return false;
}

bool WriteFileAtomically(const QString &path, const QByteArray &data, QString *error)
{
    return WriteFileAtomically(path, [&](QIODevice &f) { return f.write(data) == data.size(); }, error);
}
