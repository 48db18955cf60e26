#include "options/options.h"

#include "options/optionscodec.h"
#include "base/damagedfile.h"
#include "base/errors.h"
#include "base/events.h"
#include "base/scrambledfile.h"
#include "platform/folders.h"

#include <QFile>
#include <QFileInfo>
#include <QMutex>
#include <QSet>

namespace {
// The options files whose content could not be read back at load: the next
// save keeps such a file aside instead of replacing it.
QMutex g_damagedMutex;
QSet<QString> g_damaged;

QString damageKey(const QString &path)
{
    return QFileInfo(path).absoluteFilePath();
}

void noteDamaged(const QString &path, bool damaged)
{
    const QMutexLocker lock(&g_damagedMutex);
    if (damaged)
        g_damaged.insert(damageKey(path));
    else
        g_damaged.remove(damageKey(path));
}

// True when `path` may be written: it was not found damaged, or the damaged
// file is kept aside now (with the event naming the copy).
bool keepDamagedFileAside(const QString &path, QString *error)
{
    const QMutexLocker lock(&g_damagedMutex);
    if (!g_damaged.contains(damageKey(path)))
        return true;
    QString reason;
    const QString aside = KeepDamagedFileAside(path, &reason);
    if (!reason.isEmpty()) {
        if (error)
            *error = Translate(QStringLiteral("Unable to keep the damaged file aside:")) + QLatin1Char(' ') + path +
                     QStringLiteral(" (") + reason + QLatin1Char(')');
        return false;
    }
    if (!aside.isEmpty())
        AddEvent(Translate(QStringLiteral("The damaged file is kept as:")) + QLatin1Char(' ') + aside);
    g_damaged.remove(damageKey(path));
    return true;
}
} // namespace

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
        noteDamaged(path, true);
        AddEvent(QStringLiteral("Error loading options. Code: 1"));
        return false;
    case ScrambledFile::ReadStatus::Ok:
        break;
    }
    try {
        OptionsCodec::Decode(plain, options);
    } catch (const DecodeError &e) {
        qWarning("Cannot parse %s: %s", qPrintable(path), qPrintable(e.message()));
        noteDamaged(path, true);
        AddEvent(QStringLiteral("Error loading options. Code: 1"));
        return false;
    }
    noteDamaged(path, false);
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
    if (!keepDamagedFileAside(path, error))
        return false;
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
