#pragma once
// Which kind of copy a backup run makes, and which old backups retention
// selects for removal.
#include "jobs/jobkinds.h"

#include <QString>
#include <QStringList>
#include <functional>

// Lines after the last "Full)" line of MainBackupList (line 0, the marker,
// is not looked at); -1 when there is none.
int CountSinceFull(const QStringList &mainBackupList);

struct RunTypeDecision {
    TBackupType runType = btFull;
    // The line that tells why a threshold forces a full copy (translated,
    // numbers filled in); empty otherwise.
    QString reason;
};

// The run type of a job with `backup` settings on a set in `state`.
// `translate` is the job's translation lookup.
RunTypeDecision DecideRunType(const TBackupSettings &backup, const TBackupSetState &state,
                              const std::function<QString(const QString &)> &translate);

// Retention: walks MainBackupList from its last line down to line 1,
// counting full copies; once `keep` full copies were counted, every older
// line leaves the list. Returns the removed lines, newest first.
QStringList SelectBackupsToRemove(QStringList &mainBackupList, int keep);
