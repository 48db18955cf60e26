#include "platform/folders.h"

#include "base/appstate.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QMutex>
#include <QStandardPaths>

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

void SetDataFolderOverride(const QString &path)
{
    QMutexLocker lock(&overrideMutex);
    dataOverride = path;
}
} // namespace Folders
