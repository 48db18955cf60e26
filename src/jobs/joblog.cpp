// The run log of a job: its lines and counts (written by the worker while
// the window reads them), its saved files in the job's log folder and
// their trimming to the option's limit.
#include "jobs/job.h"

#include "base/datetime.h"
#include "base/events.h"
#include "base/filewrite.h"
#include "base/runlog.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QMutexLocker>
#include <algorithm>

void TJob::ClearRunLog()
{
    QMutexLocker lock(&m_logMutex);
    LastJobResult.Log.Clear();
    LastJobResult.ErrorsCount = 0;
    LastJobResult.WarningsCount = 0;
}

void TJob::AddToLog(const QString &text)
{
    const QString line = TimedLine(text);
    QMutexLocker lock(&m_logMutex);
    LastJobResult.Log.Append(line);
}

void TJob::AddFileEventToLog(const QString &eventText, const QString &path)
{
    AddToLog(JobTranslate(eventText) + QLatin1Char(' ') + path);
}

void TJob::AddErrorToLog(const QString &message)
{
    const QString line = TimedLine(JobTranslate(QStringLiteral("ERROR:")) + QLatin1Char(' ') + RemoveLineBreaks(message));
    QMutexLocker lock(&m_logMutex);
    LastJobResult.Log.Append(line);
    ++LastJobResult.ErrorsCount;
}

void TJob::AddWarningToLog(const QString &message)
{
    const QString line =
        TimedLine(JobTranslate(QStringLiteral("WARNING:")) + QLatin1Char(' ') + RemoveLineBreaks(message));
    QMutexLocker lock(&m_logMutex);
    LastJobResult.Log.Append(line);
    ++LastJobResult.WarningsCount;
}

void TJob::AddRawLineToLog(const QString &line)
{
    QMutexLocker lock(&m_logMutex);
    LastJobResult.Log.Append(line);
}

QStringList TJob::RunLogSnapshot() const
{
    // Strings decoded afresh: nothing is shared with the worker's buffer.
    QMutexLocker lock(&m_logMutex);
    return LastJobResult.Log.ToStringList();
}

void TJob::RunLogCounts(qint32 &errors, qint32 &warnings) const
{
    QMutexLocker lock(&m_logMutex);
    errors = LastJobResult.ErrorsCount;
    warnings = LastJobResult.WarningsCount;
}

// --- history ---

void TJob::AddEventtoBackupHistory(const QString &strEvent, bool AppendToLastString)
{
    if (AppendToLastString && !BackupHistory.isEmpty())
        BackupHistory.last() += QLatin1Char(' ') + strEvent;
    else
        BackupHistory.append(DateTimeToStr(Clock::Now()) + QStringLiteral(": ") + strEvent);
    const qsizetype limit = std::max<qint32>(0, JobOptions.Logging.MaxNumberOfLinesInHistory);
    if (BackupHistory.size() > limit)
        BackupHistory.remove(0, BackupHistory.size() - limit);
}

// --- saved logs ---

QString TJob::RunStamp(const QDateTime &start)
{
    // Semicolons instead of colons: the stamp names a file.
    return QLocale::c().toString(start, QStringLiteral("yyyy-MM-dd hh;mm;ss"));
}

bool TJob::EnsureLogFolder()
{
    const QString folder = LogFolderPath();
    if (!folder.isEmpty() && (QFileInfo(folder).isDir() || QDir().mkpath(folder)))
        return true;
    AddEvent(TranslateForEvent(QStringLiteral("Unable to create a folder for the log files:")) + QLatin1Char(' ') +
             (folder.isEmpty() ? JobOptions.Logging.PathForLogFiles : folder));
    return false;
}

void TJob::SaveRunLog(const QString &stamp)
{
    const QString folder = LogFolderPath();
    if (folder.isEmpty() || !QFileInfo(folder).isDir())
        return;
    const QString path = LogFilePath(stamp);
    QString error;
    bool written = false;
    if (!path.isEmpty()) {
        written = WriteFileAtomically(
            path,
            [this](QIODevice &f) {
                QMutexLocker lock(&m_logMutex);
                return LastJobResult.Log.WriteTo(f);
            },
            &error);
    }
    if (!written) {
        // The run goes on; the user learns why the log of this run is missing.
        AddEvent(TranslateForEvent(QStringLiteral("Unable to save the log file:")) + QLatin1Char(' ') +
                 (path.isEmpty() ? stamp : path) + (error.isEmpty() ? QString() : QStringLiteral(" (") + error + QLatin1Char(')')));
    } else if (!LogList.contains(stamp)) {
        LogList.append(stamp); // a second run within the same second rewrote the same file
    }
    RemoveOldLogs();
}

void TJob::RemoveOldLogs()
{
    const QString folder = LogFolderPath();
    if (folder.isEmpty())
        return;
    // Entries whose file was deleted by hand (or never written) go first.
    for (qsizetype i = LogList.size() - 1; i >= 0; --i) {
        const QString path = LogFilePath(LogList[i]);
        if (path.isEmpty() || !QFileInfo::exists(path))
            LogList.removeAt(i);
    }
    const qsizetype limit = std::max<qint32>(0, JobOptions.Logging.MaxNumberOfLogsForEachJob);
    while (LogList.size() > limit) {
        const QString path = LogFilePath(LogList.first());
        QFile f(path);
        if (!f.remove() && f.exists()) {
            // Keep the entry so that the next trim tries again.
            AddErrorToLog(JobTranslate(QStringLiteral("Unable to remove the old log files.")) + QLatin1Char(' ') +
                          f.errorString() + QStringLiteral(": ") + path);
            return;
        }
        LogList.removeFirst();
    }
}
