// The start-up order of the application core: the steps of the main
// window's creation that are not windows.
#include "app/applicationcore.h"

#include "options/options.h"
#include "base/appstate.h"
#include "base/cloudcredentials.h"
#include "base/events.h"
#include "base/paths.h"
#include "base/scrambledfile.h"
#include "base/translation.h"
#include "jobs/jobtext.h"
#include "platform/folders.h"
#include "platform/priority.h"

#include <QDir>
#include <QFileInfo>

namespace {
const char *const kFolderHint = "Please make sure the directory is accessible, and restart the program.";
}

bool ApplicationCore::createFolder(const QString &path, bool withParents, const char *createdEvent,
                                   const char *errorEvent, bool showDialog)
{
    if (!path.isEmpty() && QFileInfo(path).isDir())
        return true;
    const bool ok = !path.isEmpty() && (withParents ? QDir().mkpath(path) : QDir().mkdir(path));
    if (ok) {
        AddEvent(Translate(QLatin1String(createdEvent)) + QLatin1Char(' ') + path);
        return true;
    }
    AddEvent(Translate(QLatin1String(errorEvent)) + QLatin1Char(' ') + path);
    if (showDialog)
        Q_EMIT ErrorMessage(Translate(QLatin1String(errorEvent)) + path + QStringLiteral("\n\n") +
                            Translate(QLatin1String(kFolderHint)));
    return false;
}

void ApplicationCore::loadCloudCredentials()
{
    const QString name = QStringLiteral("mcs.dt");
    QByteArray plain;
    const ScrambledFile::ReadStatus status = ScrambledFile::Read(Folders::ShippedFile(name), plain);
    if (status == ScrambledFile::ReadStatus::Missing)
        return;
    if (status == ScrambledFile::ReadStatus::OpenFailed) {
        AddEvent(FillPercentS(Translate(QStringLiteral("Error loading %s. Code: 2")), {name}));
        return;
    }
    TCloudCredentials credentials;
    const bool complete =
        status == ScrambledFile::ReadStatus::Ok && ParseCloudCredentials(plain, credentials);
    // The strings read before a failure stay set.
    SetCloudCredentials(credentials);
    if (!complete)
        AddEvent(FillPercentS(Translate(QStringLiteral("Error loading %s. Code: 1")), {name}));
}

bool ApplicationCore::Initialise()
{
    // The data folder. Its parent (the user's configuration folder) may not
    // exist yet on a fresh account, so missing parents are created too.
    const QString dataFolder = Folders::DataFolder();
    if (!createFolder(dataFolder, true, "Application directory is created:",
                      "ERROR: Unable to create application directory:", true)) {
        AppState::ApplicationClosing = true;
        DrainEvents();
        return false;
    }
    // It holds the options and the job files, which may hold passwords: it is
    // the user's alone, also when an earlier version made it readable to all.
    QString privateError;
    if (!Folders::RestrictToOwner(dataFolder, &privateError))
        AddEvent(Translate(QStringLiteral("Unable to restrict the application directory to its user:")) + QLatin1Char(' ')
                 + privateError);

    // The legacy jobs list switches the job file extension.
    m_jobs.DetectLegacyLayout();

    TOptions &options = ::Options();
    m_optionsLoaded = LoadOptionsOrDefaults(options, OptionsFilePath(),
                                            m_writesLogonEntry ? LogonEntry::Write : LogonEntry::Leave);

    loadCloudCredentials();

    LoadTranslationFile(Folders::ShippedFile(QStringLiteral("transl.dt")), options.Language);

    // The temporary and log folders: one level, as the user chose them; the
    // default folders are the program's own and get their parents too (the
    // Documents folder does not exist on every account).
    const QString title = QLatin1String(AppState::ApplicationTitle);
    const QString defaultTemp =
        JoinPath(Folders::TempFolder(), QString(title).remove(QLatin1Char(' ')) + QStringLiteral("Tmp"));
    const QString defaultLogs = JoinPath(Folders::DocumentsFolder(), title);
    const QString temp = options.General.PathForTempFiles;
    const QString logs = options.Logging.PathForLogFiles;
    createFolder(temp, QDir::cleanPath(temp) == QDir::cleanPath(defaultTemp), "Temporary directory is created:",
                 "ERROR: Unable to create temporary directory:", true);
    createFolder(logs, QDir::cleanPath(logs) == QDir::cleanPath(defaultLogs), "Log directory is created:",
                 "ERROR: Unable to create log directory:", true);

    QString priorityError;
    if (!ProcessPriority::Apply(options.General.ProcessPriority, &priorityError))
        AddEvent(Translate(QStringLiteral("Unable to set the process priority:")) + QLatin1Char(' ') + priorityError);

    if (m_jobs.LoadJobsListAndJobs())
        AddEvent(Translate(QStringLiteral("Backup jobs are loaded.")));

    DrainEvents();
    return true;
}
