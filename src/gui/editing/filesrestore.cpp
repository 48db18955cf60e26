#include "gui/editing/filesrestore.h"

#include "app/jobrunlock.h"
#include "options/options.h"
#include "engine/files/filesengine.h"
#include "gui/common/messagedialog.h"
#include "gui/common/modalrun.h"
#include "gui/common/queryinput.h"
#include "gui/editing/folderpicker.h"
#include "gui/editing/restorelist.h"
#include "jobs/jobkinds.h"
#include "jobs/jobtext.h"

#include <QDir>
#include <QLineEdit>

namespace {
// The ZIP password; empty when the query is cancelled. The field is masked.
QString askZipPassword(const QString &jobName, QWidget *parent)
{
    const QString prompt = FillPercentS(Translate(QStringLiteral("Password for ZIP archives of backup %s:")), {jobName});
    TfrmQueryInput query(QStringLiteral("Enter the Password"), prompt, QString(), parent);
    query.setObjectName(QStringLiteral("ZipPasswordQuery"));
    query.edText()->setEchoMode(QLineEdit::Password);
    if (ExecModal(query) != QDialog::Accepted)
        return QString();
    return query.Text();
}
} // namespace

RestoreStart RestoreFilesJob(TJob_FilesAndFolders &job, QWidget *parent)
{
    // Not while another process runs, restores or removes the job.
    QString refusal;
    const JobLock lock = LockJob(job, &refusal);
    if (!lock.IsHeld()) {
        ShowErrorDialog(refusal, parent);
        return RestoreStart::Refused;
    }
    if (!BeginRestore(job)) {
        ShowErrorDialog(
            Translate(QStringLiteral("Unable to complete the action at the moment. Please try again in several seconds.")),
            parent);
        return RestoreStart::Refused;
    }

    QString outputPath;
    if (!ChooseFolder(QStringLiteral("Choose an output directory"), QDir::homePath(), outputPath, parent)) {
        AbandonRestore(job);
        return RestoreStart::Cancelled;
    }

    TfrmRestoreList window(parent);
    window.ShowLoading();
    const RestorePointList points = ReadRestorePoints(job);
    window.hide();
    if (!points.ok) {
        // The engine has made the job idle again (and logged a cancelled
        // restore where the set cannot be restored).
        ShowErrorDialog(points.error, parent);
        return RestoreStart::Failed;
    }

    int listInd = -1;
    QString password;
    if (!points.synchronization) {
        QStringList names;
        for (const RestorePoint &p : points.points)
            names.append(p.displayName);
        window.SetPoints(names);
        if (ExecModal(window) != 1 || window.SelectedIndex() < 0) {
            CancelRestore(job);
            return RestoreStart::Cancelled;
        }
        listInd = window.SelectedIndex();
        if (points.points.at(listInd).needsPassword)
            password = askZipPassword(job.stJobName, parent);
    }

    // The worker keeps the lock until its end.
    if (!StartRestore(job, points, listInd, outputPath, password, [lock] {})) {
        CancelRestore(job);
        ShowErrorDialog(
            Translate(QStringLiteral("Unable to complete the action at the moment. Please try again in several seconds.")),
            parent);
        return RestoreStart::Refused;
    }
    return RestoreStart::Started;
}
