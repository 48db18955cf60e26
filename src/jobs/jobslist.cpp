#include "jobs/jobslist.h"

#include "base/appstate.h"
#include "base/damagedfile.h"
#include "base/errors.h"
#include "base/events.h"
#include "base/fileread.h"
#include "base/textfile.h"
#include "jobs/jobkinds.h"
#include "jobs/jobtext.h"
#include "platform/folders.h"

#include <QFile>
#include <QFileInfo>

bool JobsList::DetectLegacyLayout()
{
    if (QFileInfo::exists(Folders::DataFolder() + QLatin1Char('/') + kLegacyFileName)) {
        m_legacy = true;
        AppState::SetJobFileExtension(kLegacyJobFileExtension);
    }
    return m_legacy;
}

QString JobsList::FilePath() const
{
    return Folders::DataFolder() + QLatin1Char('/') + (m_legacy ? kLegacyFileName : kFileName);
}

namespace {
// The names of the list file's bytes. Throws QvError when the bytes are no
// text this program writes: not UTF-8, or holding a NUL byte (a file cut by
// a crash of the file system often ends in a run of them).
QStringList namesOfList(const QByteArray &data)
{
    qsizetype line = 1;
    qsizetype start = 0;
    while (start <= data.size()) {
        qsizetype end = data.indexOf('\n', start);
        if (end < 0)
            end = data.size();
        const QByteArrayView bytes(data.constData() + start, end - start);
        if (bytes.contains('\0'))
            throw QvError(QStringLiteral("line %1 holds a NUL byte").arg(line));
        if (!bytes.isValidUtf8())
            throw QvError(QStringLiteral("line %1 is not UTF-8 text").arg(line));
        start = end + 1;
        ++line;
    }
    return DecodeTextLines(data);
}
} // namespace

bool JobsList::LoadJobsListAndJobs()
{
    DetectLegacyLayout();
    const QString listPath = FilePath();
    if (!QFileInfo::exists(listPath))
        return false;
    QStringList names;
    try {
        QFile file(listPath);
        if (!file.open(QIODevice::ReadOnly))
            throw QvError(file.errorString());
        QByteArray data;
        if (!ReadWholeFile(file, data))
            throw QvError(file.errorString());
        names = namesOfList(data);
    } catch (const QvError &e) {
        // Never an empty list in silence: the user's jobs are still there,
        // each in its own job file, only their list cannot be read.
        m_damage = Translate(QStringLiteral("Error: unable to read the jobs list:")) + QLatin1Char(' ') + listPath +
                   QStringLiteral(" (") + e.message() + QStringLiteral("). ") +
                   Translate(QStringLiteral("Restore it from a copy, or repair it: it holds one job name per line, and "
                                            "each job's settings are kept in the job file of that name beside it."));
        m_listDamaged = true;
        AddEvent(m_damage);
        return false;
    }
    for (const QString &name : names) {
        // A line that cannot name a file of the data folder, or a name already
        // loaded, would make two jobs share one job file: leave it out.
        if (!IsUsableEntryName(name) || IndexOf(name) >= 0)
            continue;
        const QString path = TJob::LocalJobFilePathFor(name);
        std::unique_ptr<TJob> job = CreateJobOfKind(ReadJobKind(path), name);
        if (!job)
            continue;
        job->LoadLocalJobFile(path);
        m_jobs.push_back(std::move(job));
    }
    return true;
}

QStringList JobsList::Names() const
{
    QStringList names;
    names.reserve(Count());
    for (const auto &job : m_jobs)
        names.append(job->stJobName);
    return names;
}

bool JobsList::SaveJobsList() const
{
    if (m_listDamaged) {
        // A new list replaces the damaged one only once that is kept aside.
        QString error;
        const QString aside = KeepDamagedFileAside(FilePath(), &error);
        if (!error.isEmpty()) {
            AddEvent(Translate(QStringLiteral("Unable to keep the damaged file aside:")) + QLatin1Char(' ') +
                     FilePath() + QStringLiteral(" (") + error + QLatin1Char(')'));
            return false;
        }
        if (!aside.isEmpty())
            AddEvent(Translate(QStringLiteral("The damaged file is kept as:")) + QLatin1Char(' ') + aside);
        m_listDamaged = false;
    }
    return WriteTextLines(FilePath(), Names());
}

bool JobsList::SaveJobsListOrReport() const
{
    if (SaveJobsList())
        return true;
    AddEvent(Translate(QStringLiteral("Error: unable to save the jobs list:")) + FilePath());
    return false;
}

bool JobsList::RemoveJob(int index)
{
    TJob *job = At(index);
    // A job whose worker still runs cannot be destroyed under it.
    if (!job || IsActiveStatus(job->JobStatus.load()))
        return false;
    const QString path = job->LocalJobFilePath();
    QFile file(path);
    if (file.exists() && !file.remove()) {
        AddEvent(Translate(QStringLiteral("Error: unable to remove the file:")) + path);
        return false;
    }
    m_jobs.erase(m_jobs.begin() + index);
    if (SaveJobsListOrReport())
        AddEvent(Translate(QStringLiteral("Job is removed.")));
    return true;
}

TJob *JobsList::Add(std::unique_ptr<TJob> job)
{
    if (!job)
        return nullptr;
    m_jobs.push_back(std::move(job));
    return m_jobs.back().get();
}

std::unique_ptr<TJob> JobsList::Take(int index)
{
    if (index < 0 || index >= Count())
        return nullptr;
    std::unique_ptr<TJob> job = std::move(m_jobs[index]);
    m_jobs.erase(m_jobs.begin() + index);
    return job;
}

bool JobsList::MoveUp(int index)
{
    if (index <= 0 || index >= Count())
        return false;
    std::swap(m_jobs[index - 1], m_jobs[index]);
    return true;
}

bool JobsList::MoveDown(int index)
{
    if (index < 0 || index + 1 >= Count())
        return false;
    std::swap(m_jobs[index], m_jobs[index + 1]);
    return true;
}

int JobsList::IndexOf(const QString &name) const
{
    for (int i = 0; i < Count(); ++i) {
        if (m_jobs[i]->stJobName == name)
            return i;
    }
    return -1;
}

TJob *JobsList::Find(const QString &name) const
{
    return At(IndexOf(name));
}

TJob *JobsList::At(int index) const
{
    if (index < 0 || index >= Count())
        return nullptr;
    return m_jobs[index].get();
}
