#include "platform/folders.h"

#include "base/appstate.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QMutex>
#include <QStandardPaths>

#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace {
QMutex overrideMutex;
QString dataOverride;
} // namespace

namespace Folders {
QString ConfigHome()
{
    QString base = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (base.isEmpty())
        base = QDir::homePath() + QStringLiteral("/.config");
    return QDir::cleanPath(base);
}

QString DataFolder()
{
    {
        QMutexLocker lock(&overrideMutex);
        if (!dataOverride.isEmpty())
            return dataOverride;
    }
    return ConfigHome() + QLatin1Char('/') + QLatin1String(AppState::ApplicationTitle);
}

QString DocumentsFolder()
{
    QString docs = qEnvironmentVariable("XDG_DOCUMENTS_DIR");
    if (docs.isEmpty())
        docs = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (docs.isEmpty())
        docs = QDir::homePath() + QStringLiteral("/Documents");
    return QDir::cleanPath(docs);
}

QString TempFolder()
{
    return QDir::cleanPath(QDir::tempPath());
}

QString ExecutableFolder()
{
    if (QCoreApplication::instance())
        return QCoreApplication::applicationDirPath();
    return QFileInfo(QStringLiteral("/proc/self/exe")).canonicalPath();
}

QString ShippedFile(const QString &name)
{
    const QString exeDir = ExecutableFolder();
    const QString beside = exeDir + QLatin1Char('/') + name;
    if (QFileInfo::exists(beside))
        return beside;
    const QString shared = QDir::cleanPath(exeDir + QStringLiteral("/../share/quorvane/") + name);
    if (QFileInfo::exists(shared))
        return shared;
    // Test executables live beside the program's folder in the build tree.
    const QString bin = qEnvironmentVariable("QV_BIN_DIR");
    if (!bin.isEmpty() && QFileInfo::exists(bin + QLatin1Char('/') + name))
        return bin + QLatin1Char('/') + name;
    return beside;
}

bool RestrictToOwner(const QString &folder, QString *error)
{
    const QByteArray path = QFile::encodeName(folder);
    const auto fail = [&](const QString &why) {
        if (error)
            *error = folder + QStringLiteral(": ") + why;
        return false;
    };
    // A link to the folder (a data folder moved to another disk) is followed:
    // the folder it names is the one that holds the files.
    struct stat st {};
    if (::stat(path.constData(), &st) != 0)
        return fail(QString::fromLocal8Bit(std::strerror(errno)));
    if (!S_ISDIR(st.st_mode))
        return fail(QString::fromLocal8Bit(std::strerror(ENOTDIR)));
    if ((st.st_mode & 077) == 0)
        return true;
    if (st.st_uid != ::geteuid())
        return fail(QStringLiteral("the folder belongs to another user"));
    if (::chmod(path.constData(), 0700) != 0)
        return fail(QString::fromLocal8Bit(std::strerror(errno)));
    return true;
}

void SetDataFolderOverride(const QString &path)
{
    QMutexLocker lock(&overrideMutex);
    dataOverride = path;
}
} // namespace Folders
