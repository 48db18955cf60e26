#pragma once
// A main window over an application core whose services are recorders (no
// real backups, keep-awake, elevation or power-off), in folders of the test's
// own, with a clock the test sets.
#include "app/applicationcore.h"
#include "options/options.h"
#include "apptestdoubles.h"
#include "gui/shell/mainwindow.h"
#include "jobs/jobkinds.h"

#include <QDateTime>
#include <QString>
#include <gtest/gtest.h>
#include <map>
#include <memory>
#include <ostream>

// QStrings in test messages and failure output.
inline std::ostream &operator<<(std::ostream &os, const QString &s)
{
    return os << s.toStdString();
}
inline void PrintTo(const QString &s, std::ostream *os)
{
    *os << '"' << s.toStdString() << '"';
}

class ShellTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Creates the window (after the jobs are added, like start-up does).
    TfrmMainQuorvane &Window();

    TJob_FilesAndFolders &AddJob(const QString &name);
    // Every day at these times, changed long before now.
    TJob_FilesAndFolders &AddScheduledJob(const QString &name, const QStringList &times);
    // The job's run as a worker leaves it: idle, stamped, with its counts.
    static void SetLastRun(TJob &job, bool cancelled, int errors, int warnings);
    // A job that looks busy: the status and, for the card, an operation.
    static void SetStatus(TJob &job, TJobStatus status);

    // The visible rows of the list, by job name.
    QStringList VisibleNames();
    void At(const QString &when);
    QString PrivateFolder() const { return m_private; }

    Recorders rec;
    std::unique_ptr<ApplicationCore> core;
    std::unique_ptr<TfrmMainQuorvane> window;

private:
    QString m_private;
    std::map<const char *, QByteArray> m_savedEnv;
    QDateTime m_now = QDateTime(QDate(2024, 5, 15), QTime(9, 0)); // a Wednesday
};
