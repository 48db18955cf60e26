#include "app/options/options.h"

#include "app/options/optionscodec.h"
#include "base/errors.h"
#include "base/events.h"
#include "base/scrambledfile.h"
#include "platform/folders.h"

#include <QFile>
#include <QFileInfo>

QString OptionsFilePath()
{
    return Folders::DataFolder() + QStringLiteral("/options.qvo");
}

bool LoadOptions(TOptions &options, const QString &path)
{
    QByteArray plain;
    QString error;
    switch (ScrambledFile::Read(path, plain, &error)) {
    case ScrambledFile::ReadStatus::Missing:
        return false;
    case ScrambledFile::ReadStatus::OpenFailed:
        qWarning("Cannot open %s: %s", qPrintable(path), qPrintable(error));
        AddEvent(QStringLiteral("Error loading options. Code: 2"));
        return false;
    case ScrambledFile::ReadStatus::ReadFailed:
        qWarning("Cannot read %s: %s", qPrintable(path), qPrintable(error));
        AddEvent(QStringLiteral("Error loading options. Code: 1"));
        return false;
    case ScrambledFile::ReadStatus::Ok:
        break;
    }
    try {
        OptionsCodec::Decode(plain, options);
    } catch (const DecodeError &e) {
        qWarning("Cannot parse %s: %s", qPrintable(path), qPrintable(e.message()));
        AddEvent(QStringLiteral("Error loading options. Code: 1"));
        return false;
    }
    return true;
}

bool LoadOptionsOrDefaults(TOptions &options, const QString &path, LogonEntry logon)
{
    if (LoadOptions(options, path))
        return true;
    SetDefaultOptions(options, logon);
    return false;
}

bool SaveOptions(const TOptions &options, const QString &path, QString *error)
{
    // The file holds the program, e-mail, proxy and FTP passwords: a new file
    // starts readable by its owner only, and the atomic write keeps the
    // permissions of the file it replaces.
    bool created = false;
    if (!QFileInfo::exists(path)) {
        QFile f(path);
        if (f.open(QIODevice::WriteOnly)) {
            created = true;
            f.close();
            f.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
        }
    }
    if (ScrambledFile::Write(path, OptionsCodec::Encode(options), error))
        return true;
    // Never leave the empty placeholder behind: it would read as a damaged file.
    if (created)
        QFile::remove(path);
    return false;
}
