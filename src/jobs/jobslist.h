#pragma once
// The program's jobs in display order, persisted as the jobs list file in
// the data folder (one job name per line) beside one local job file per job.
// Owned by the application core on the main thread; windows show it.
#include "jobs/job.h"

#include <QString>
#include <memory>
#include <vector>

class JobsList {
public:
    static inline const QString kFileName = QStringLiteral("jobslist.qvl");
    static inline const QString kLegacyFileName = QStringLiteral("jobs.qvl");
    static inline const QString kLegacyJobFileExtension = QStringLiteral(".qvk");

    // When the legacy list "jobs.qvl" exists in the data folder, it becomes the
    // list file and the program's job file extension switches to ".qvk".
    // Called once at start-up before the options are loaded; returns whether
    // the legacy layout is in use.
    bool DetectLegacyLayout();
    // The list file in use.
    QString FilePath() const;

    // Reads the list and every job's local job file. Jobs whose file is
    // missing or unreadable are left out (the next save drops their line).
    // False when the list file is missing or cannot be used. A list file
    // that exists but cannot be read, or whose bytes are no text of ours
    // (not UTF-8, NUL bytes), is damaged: the event "Error: unable to read
    // the jobs list:" with the path, the fault and what the user can do is
    // added, and ListDamage() holds the same text.
    bool LoadJobsListAndJobs();
    // Empty unless the last load found the list file damaged.
    const QString &ListDamage() const { return m_damage; }
    // Writes the names in order; false on failure (nothing reported). A list
    // file found damaged at load is first renamed aside
    // (KeepDamagedFileAside) with the event "The damaged file is kept as:"
    // and the new path; when it cannot be renamed nothing is written (the
    // event "Unable to keep the damaged file aside:" says why).
    bool SaveJobsList() const;
    // SaveJobsList, and on failure the event "Error: unable to save the jobs
    // list:" followed directly by the file path.
    bool SaveJobsListOrReport() const;

    // Removes the job record: deletes its local job file, takes it out of the
    // list, saves the list, and adds "Job is removed." (or the save error).
    // When the local file cannot be deleted the event "Error: unable to remove
    // the file:" + path is added and the job stays in the list. An active job
    // (running, cancelling or paused) is never removed: false, nothing changes.
    bool RemoveJob(int index);

    // Appends a job (the caller saves its job file and the list).
    TJob *Add(std::unique_ptr<TJob> job);
    // Takes a job out without touching any file.
    std::unique_ptr<TJob> Take(int index);
    // Moves a job one place (not past either end); false when it cannot move.
    bool MoveUp(int index);
    bool MoveDown(int index);

    // Case-sensitive lookups, like the command line's.
    int IndexOf(const QString &name) const;
    TJob *Find(const QString &name) const;

    int Count() const { return static_cast<int>(m_jobs.size()); }
    TJob *At(int index) const;
    QStringList Names() const;
    const std::vector<std::unique_ptr<TJob>> &Jobs() const { return m_jobs; }

private:
    std::vector<std::unique_ptr<TJob>> m_jobs;
    bool m_legacy = false;
    QString m_damage;
    // Until the damaged list file is kept aside by a save.
    mutable bool m_listDamaged = false;
};
