#include "base/filewrite.h"

#include <QFileInfo>
#include <QSaveFile>

bool WriteFileAtomically(const QString &path, const std::function<bool(QIODevice &)> &write, QString *error,
                         FileAccess access)
{
    // QSaveFile gives its temporary file the target's permissions, or for a
    // new target the process's default (readable by everyone). Set before
    // anything is written, 0600 holds from the first byte: the temporary
    // file is an unnamed one until the commit where the file system allows.
    const bool ownerOnly = access == FileAccess::OwnerOnly || !QFileInfo::exists(path);
    QSaveFile f(path);
    if (f.open(QIODevice::WriteOnly)) {
        // A file system without permissions (FAT) refuses this; the file is
        // then as open as everything else on that disk, and is written anyway.
        if (ownerOnly)
            f.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
        if (write(f) && f.commit())
            return true;
    }
    if (error)
        *error = f.errorString();
    f.cancelWriting();
    return false;
}

bool WriteFileAtomically(const QString &path, const QByteArray &data, QString *error, FileAccess access)
{
    return WriteFileAtomically(path, [&](QIODevice &f) { return f.write(data) == data.size(); }, error, access);
}
