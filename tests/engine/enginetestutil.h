#pragma once
// Shared fixture of the files-and-folders engine tests: a private data
// folder, temp and log roots, a source tree, a destination (a local folder,
// or a share of a private Samba server for the "smb" builds), runs that are
// started and waited for, and trees compared byte for byte with their
// modification times.
#include "options/options.h"
#include "base/appstate.h"
#include "base/datetime.h"
#include "base/events.h"
#include "base/textfile.h"
#include "engine/files/filesengine.h"
#include "jobs/jobkinds.h"
#include "platform/folders.h"
#include "servers/samba_server.h"

#include <QDateTime>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <ostream>
#include <string>

inline void PrintTo(const QString &s, std::ostream *os)
{
    *os << '"' << s.toStdString() << '"';
}

namespace EngineTest {

enum class Destination { Local, Smb };

inline void PrintTo(Destination d, std::ostream *os)
{
    *os << (d == Destination::Local ? "local" : "smb");
}

inline std::string DestinationName(const ::testing::TestParamInfo<Destination> &info)
{
    return ::testing::PrintToString(info.param);
}

// The test program's private Samba server, started on first use.
inline SambaServer &Samba()
{
    return SambaServer::Shared();
}

// A file's content and modification time, or a folder, as a comparable text.
using Tree = std::map<std::string, std::string>;

inline Tree ReadTree(const QString &root, const QStringList &skipNames = {})
{
    Tree tree;
    QDirIterator it(root, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QFileInfo fi = it.nextFileInfo();
        if (skipNames.contains(fi.fileName()))
            continue;
        const std::string rel = QDir(root).relativeFilePath(fi.filePath()).toStdString();
        if (fi.isDir()) {
            tree[rel] = "<dir>";
        } else {
            QFile f(fi.filePath());
            EXPECT_TRUE(f.open(QIODevice::ReadOnly)) << fi.filePath().toStdString();
            tree[rel] = f.readAll().toStdString() + " @"
                        + std::to_string(fi.lastModified().toMSecsSinceEpoch());
        }
    }
    return tree;
}

// The names at the top of a folder, sorted.
inline QStringList Entries(const QString &folder)
{
    QStringList names = QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    names.sort();
    return names;
}

inline QStringList Untimed(const QStringList &log)
{
    QStringList out;
    for (const QString &line : log) {
        // "hh:mm:ss: text" (the long time format of the test locale)
        const qsizetype at = line.indexOf(QStringLiteral(": "));
        const bool timed = at > 0 && line.left(at).contains(QLatin1Char(':')) && line.at(0).isDigit();
        out.append(timed ? line.mid(at + 2) : line);
    }
    return out;
}

inline QStringList EventTexts()
{
    QStringList out;
    for (const QString &line : PendingEvents::TakeAll()) {
        // "date time: text"
        const qsizetype at = line.indexOf(QStringLiteral(": "));
        out.append(at < 0 ? line : line.mid(at + 2));
    }
    return out;
}

class EngineFixture {
public:
    explicit EngineFixture(Destination destination) : m_destination(destination) {}

    void SetUpEngine()
    {
        ASSERT_TRUE(m_dir.isValid());
        // A fresh start also when a test sets up again inside the same folder.
        for (const QString &d : {DataDir(), LogRoot(), TempRoot(), Src(), LocalDest()}) {
            QDir(d).removeRecursively();
            QDir().mkpath(d);
        }
        m_mtimeCounter = 0;
        Folders::SetDataFolderOverride(DataDir());
        AppState::SetJobFileExtension(QStringLiteral(".qvj"));
        AppState::ApplicationClosing = false;
        Options() = TOptions{};
        Options().Logging.PathForLogFiles = LogRoot();
        Options().General.PathForTempFiles = TempRoot();
        Options().Processing.IfDestinationNotAvailable_Retry_Times = 1;
        Options().Processing.IfDestinationNotAvailable_Wait_Sec = 0;
        Options().Processing.RemovePreviousBackupIfCancelled = false;
        PendingEvents::TakeAll();
        SetRunReportSender({});
        m_stamp = QDateTime(QDate(2024, 5, 1), QTime(14, 30, 0));
        Clock::SetOverride([t = m_stamp] { return t; });
        if (m_destination == Destination::Smb) {
            QString error;
            ASSERT_TRUE(Samba().start(&error)) << "Samba server: " << error.toStdString();
            // Each test works in a folder of its own on the one share.
            static int counter = 0;
            m_smbFolder = QStringLiteral("t%1").arg(++counter);
            QDir().mkpath(Samba().shareDir() + QLatin1Char('/') + m_smbFolder);
        }
    }

    void TearDownEngine()
    {
        if (m_job) {
            m_job->Cancel();
            WaitForRunToEnd(*m_job);
        }
        m_job.reset();
        Clock::SetOverride({});
        Folders::SetDataFolderOverride(QString());
        Options() = TOptions{};
        SetRunReportSender({});
    }

    QString Root() const { return m_dir.path(); }
    QString DataDir() const { return Root() + QStringLiteral("/data"); }
    QString LogRoot() const { return Root() + QStringLiteral("/logs"); }
    QString TempRoot() const { return Root() + QStringLiteral("/tmp"); }
    QString Src() const { return Root() + QStringLiteral("/src"); }
    QString LocalDest() const { return Root() + QStringLiteral("/dest"); }
    // The folder on local disk that holds the destination's files.
    QString DestDir() const
    {
        return m_destination == Destination::Local ? LocalDest()
                                                   : Samba().shareDir() + QLatin1Char('/') + m_smbFolder;
    }
    QString SetDir() const { return DestDir() + QStringLiteral("/Job"); }
    // The set's folder as the storage layer names it (the run log's paths).
    QString RemoteSetPath() const
    {
        return m_destination == Destination::Local
                   ? LocalDest() + QStringLiteral("/Job")
                   : Samba().uncPath() + QLatin1Char('/') + m_smbFolder + QStringLiteral("/Job");
    }
    bool IsSmb() const { return m_destination == Destination::Smb; }
    QString RunDir(int index) const { return SetDir() + QLatin1Char('/') + RunFolders().value(index); }
    // A fresh output folder for a restore.
    QString NewOutput()
    {
        const QString out = Root() + QStringLiteral("/out%1").arg(++m_outputs);
        QDir().mkpath(out);
        return out;
    }

    TJob_FilesAndFolders &Job()
    {
        if (!m_job) {
            m_job = std::make_unique<TJob_FilesAndFolders>(QStringLiteral("Job"));
            auto &d = m_job->DestinationSettings;
            if (m_destination == Destination::Local) {
                d.DestinationType = dtLocalOrExternalDrive;
                d.LocalOrExternalDrive.Disk = LocalDest();
                d.LocalOrExternalDrive.Subfolder = QStringLiteral("/");
            } else {
                d.DestinationType = dtNetwork;
                d.Network.UNCPath = Samba().uncPath() + QLatin1Char('/') + m_smbFolder;
                d.Network.Username = Samba().user();
                d.Network.Password = Samba().password();
            }
        }
        return *m_job;
    }

    // The next run starts one hour after the last one (run folder names
    // have one-second resolution).
    void NextStamp()
    {
        m_stamp = m_stamp.addSecs(3600);
        Clock::SetOverride([t = m_stamp] { return t; });
    }
    QDateTime Stamp() const { return m_stamp; }

    static bool WaitForRunToEnd(TJob &job) { return JobWorker::WaitForRunToEnd(job, 120000); }

    // Runs a backup to its end on a new stamp.
    void RunBackup()
    {
        NextStamp();
        ASSERT_TRUE(Backup(Job()));
        ASSERT_TRUE(WaitForRunToEnd(Job()));
        ASSERT_EQ(Job().JobStatus.load(), jsNone);
    }

    // Reads the restore points (the job is idle afterwards only when the
    // list could not be read).
    RestorePointList ReadPoints()
    {
        EXPECT_TRUE(BeginRestore(Job()));
        return ReadRestorePoints(Job());
    }

    // Restores point `index` (-1: a synchronisation set) into a new output
    // folder and returns it.
    QString Restore(int index, const QString &password = QString())
    {
        const QString out = NewOutput();
        RestoreInto(index, out, password);
        return out;
    }
    void RestoreInto(int index, const QString &out, const QString &password = QString())
    {
        const RestorePointList points = ReadPoints();
        ASSERT_TRUE(points.ok) << points.error.toStdString();
        ASSERT_TRUE(StartRestore(Job(), points, index, out, password));
        ASSERT_TRUE(WaitForRunToEnd(Job()));
        ASSERT_EQ(Job().JobStatus.load(), jsNone);
    }

    QStringList Log() const { return Untimed(m_job->RunLogSnapshot()); }
    qint32 Errors() const
    {
        qint32 e = 0, w = 0;
        m_job->RunLogCounts(e, w);
        return e;
    }
    qint32 Warnings() const
    {
        qint32 e = 0, w = 0;
        m_job->RunLogCounts(e, w);
        return w;
    }

    // The set's state as stored at the destination.
    TBackupSetState StoredState()
    {
        TBackupSetState state;
        TJob_FilesAndFolders reader(QStringLiteral("Job"));
        EXPECT_TRUE(QFileInfo::exists(DestDir() + QStringLiteral("/Job.qvj")));
        reader.LoadRemoteJobFile(DestDir() + QStringLiteral("/Job.qvj"), false, state);
        return state;
    }
    // The run folder names, oldest first, as recorded in the stored state.
    QStringList RunFolders()
    {
        QStringList main = StoredState().MainBackupList;
        if (!main.isEmpty())
            main.removeFirst();
        return main;
    }
    QStringList RunFolders() const { return const_cast<EngineFixture *>(this)->RunFolders(); }

    // Writes a source file with a given modification time (seconds after
    // a fixed day, so that every write is a distinct change key).
    void Write(const QString &relative, const QByteArray &data, int mtimeSecs = -1)
    {
        const QString path = Src() + QLatin1Char('/') + relative;
        QDir().mkpath(QFileInfo(path).absolutePath());
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate)) << path.toStdString();
        ASSERT_EQ(f.write(data), data.size());
        ASSERT_TRUE(f.flush()); // a later flush would set the time again
        const int secs = mtimeSecs >= 0 ? mtimeSecs : ++m_mtimeCounter;
        ASSERT_TRUE(f.setFileTime(QDateTime(QDate(2023, 1, 1), QTime(8, 0)).addSecs(secs).addMSecs(123),
                                  QFileDevice::FileModificationTime));
    }
    void MakeDir(const QString &relative) { QDir().mkpath(Src() + QLatin1Char('/') + relative); }
    void Delete(const QString &relative)
    {
        const QString path = Src() + QLatin1Char('/') + relative;
        if (QFileInfo(path).isDir())
            QDir(path).removeRecursively();
        else
            QFile::remove(path);
    }
    QString Folder(const QString &relative) const { return Src() + QLatin1Char('/') + relative + QStringLiteral("/*"); }
    QString File(const QString &relative) const { return Src() + QLatin1Char('/') + relative; }

private:
    Destination m_destination;
    QTemporaryDir m_dir;
    QString m_smbFolder;
    std::unique_ptr<TJob_FilesAndFolders> m_job;
    QDateTime m_stamp;
    int m_outputs = 0;
    int m_mtimeCounter = 0;
};

// The state files of a run folder, the files a tree comparison leaves out.
inline QStringList StateFileNames()
{
    return {QStringLiteral("_rf.qvl"), QStringLiteral("_rd.qvl"), QStringLiteral("_rrf.qvl"),
            QStringLiteral("_rrd.qvl")};
}

inline QStringList ReadLines(const QString &path)
{
    return ReadTextLines(path);
}

inline QByteArray ReadBytes(const QString &path)
{
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::ReadOnly)) << path.toStdString();
    return f.readAll();
}

// A parameterised test over the two destinations.
class EngineRunTest : public ::testing::TestWithParam<Destination>, public EngineFixture {
public:
    EngineRunTest() : EngineFixture(GetParam()) {}

protected:
    void SetUp() override { SetUpEngine(); }
    void TearDown() override { TearDownEngine(); }
};

} // namespace EngineTest
