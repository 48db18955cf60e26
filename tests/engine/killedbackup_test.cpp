// A backup killed with SIGKILL at any moment of its run never costs a
// restore point: every point listed afterwards restores byte for byte, and
// the next run finishes and its point restores as well.
//
// The killed run is a process of its own (qv_killed_backup, the engine with
// a counter of the run's moments). Its moments are learnt from one run that
// is not killed, and the kills are spread over them, so every kill hits the
// same place of the same run on every machine, whatever its speed. Each kill
// starts from a copy of the same backup set (a full and an incremental
// point) and kills the third run, an incremental one with changed, new and
// removed files and folders.
#include "options/options.h"
#include "enginetestutil.h"

#include <QCoreApplication>
#include <QProcess>

#include <set>
#include <utility>
#include <vector>

using namespace EngineTest;

namespace {

enum class Storage { Plain, OneArchive, ZipPerFile };

struct KillCase {
    Destination destination;
    Storage storage;
};

std::string NameOf(const KillCase &c)
{
    const char *storage = c.storage == Storage::Plain        ? "plain"
                          : c.storage == Storage::OneArchive ? "one_archive"
                                                             : "zip_per_file";
    return std::string(c.destination == Destination::Local ? "local_" : "smb_") + storage;
}
std::string CaseName(const ::testing::TestParamInfo<KillCase> &info)
{
    return NameOf(info.param);
}
void PrintTo(const KillCase &c, std::ostream *os)
{
    *os << NameOf(c);
}

// One moment of the killed program's run, as it wrote it down.
struct Moment {
    int number = 0;
    QString kind; // "before" a destination operation, or "changed"
    QString what; // the operation and its path, or the newest log line
};

QList<Moment> ReadTrace(const QString &path)
{
    QList<Moment> trace;
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return trace;
    for (const QByteArray &line : f.readAll().split('\n')) {
        const QList<QByteArray> fields = line.split('\t');
        if (fields.size() < 3)
            continue;
        // The path or log line may hold a tab of its own: it is the rest.
        const QByteArray what = line.mid(fields[0].size() + fields[1].size() + 2);
        trace.append({fields[0].toInt(), QString::fromUtf8(fields[1]), QString::fromUtf8(what)});
    }
    return trace;
}

QString Describe(const Moment &m)
{
    return QStringLiteral("%1 %2: %3").arg(m.number).arg(m.kind, m.what);
}

// Copies a folder with everything in it, modification times kept (restores
// are compared with them).
bool CopyTree(const QString &from, const QString &to)
{
    if (!QDir().mkpath(to))
        return false;
    QDirIterator it(from, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QFileInfo fi = it.nextFileInfo();
        const QString target = to + QLatin1Char('/') + QDir(from).relativeFilePath(fi.filePath());
        if (fi.isDir()) {
            if (!QDir().mkpath(target))
                return false;
            continue;
        }
        QFile out(target);
        if (!QFile::copy(fi.filePath(), target) || !out.open(QIODevice::ReadWrite)
            || !out.setFileTime(fi.lastModified(), QFileDevice::FileModificationTime))
            return false;
    }
    return true;
}

class KilledBackupTest : public ::testing::TestWithParam<KillCase>, public EngineFixture {
public:
    KilledBackupTest() : EngineFixture(GetParam().destination) {}

protected:
    void SetUp() override { SetUpEngine(); }
    void TearDown() override { TearDownEngine(); }

    bool Zipped() const { return GetParam().storage != Storage::Plain; }

    // The files and folders below the source root with their modification
    // times (to the second in ZIP modes: the archives keep no more).
    Tree SourceTreeAt(const QString &root) const
    {
        Tree tree = ReadTree(root);
        if (Zipped()) {
            for (auto &[name, value] : tree) {
                const size_t at = value.rfind(" @");
                if (at != std::string::npos)
                    value = value.substr(0, at) + " @" + std::to_string(std::stoll(value.substr(at + 2)) / 1000);
            }
        }
        return tree;
    }

    // Every set lies in a folder of its own on the destination: the history
    // once, then a copy of it for each kill.
    void UseSetFolder(const QString &name)
    {
        TDestinationSettings &d = Job().DestinationSettings;
        if (m_baseDestination.isEmpty())
            m_baseDestination = IsSmb() ? d.Network.UNCPath : d.LocalOrExternalDrive.Disk;
        ASSERT_TRUE(QDir().mkpath(DestDir() + QLatin1Char('/') + name));
        if (IsSmb())
            d.Network.UNCPath = m_baseDestination + QLatin1Char('/') + name;
        else
            d.LocalOrExternalDrive.Disk = m_baseDestination + QLatin1Char('/') + name;
    }
    QString SetFolderOnDisk(const QString &name) const { return DestDir() + QLatin1Char('/') + name; }

    // The backup set the killed runs start from: a full point, an
    // incremental one, and the changes for the third run.
    void MakeHistory()
    {
        TCompression &z = Job().Settings.Compression;
        z.Enabled = Zipped();
        z.CreateIndividualZipForEachItem = GetParam().storage == Storage::ZipPerFile;
        z.CompressionLevel = 2;
        z.NoCompressionExtensions = QStringLiteral("jpg");
        Job().Settings.Sources.List = {Folder(QStringLiteral("data"))};

        Write("data/a.txt", QByteArray("alpha ").repeated(300));
        QByteArray binary;
        for (int i = 0; i < 2048; ++i)
            binary.append(char(i * 7));
        Write("data/b.bin", binary);
        Write("data/photo.jpg", "not really a picture");
        Write("data/sub/c.txt", "gamma");
        Write("data/sub/deep/d.txt", "delta");
        Write("data/old/e.txt", "epsilon");
        Write("data/old/f.txt", "zeta");
        Write("data/gone.txt", "eta");
        MakeDir("data/empty");
        UseSetFolder(QStringLiteral("history"));
        RunBackup();
        ASSERT_FALSE(Job().LastJobResult.Cancelled) << Log().join('\n').toStdString();
        ASSERT_EQ(Errors(), 0) << Log().join('\n').toStdString();
        m_trees.append(SourceTree());

        Write("data/a.txt", "alpha, changed");
        Write("data/new.txt", "new in the second run");
        Delete("data/gone.txt");
        RunBackup();
        ASSERT_FALSE(Job().LastJobResult.Cancelled) << Log().join('\n').toStdString();
        ASSERT_EQ(Errors(), 0) << Log().join('\n').toStdString();
        m_trees.append(SourceTree());

        // The killed run's changes: a changed file, a new folder holding an
        // empty one, a removed file and a removed folder.
        Write("data/sub/c.txt", "gamma, changed");
        Write("data/fresh/g.txt", "theta");
        MakeDir("data/fresh/none");
        Delete("data/old");
        Delete("data/new.txt");
        m_trees.append(SourceTree());

        m_killedStamp = Stamp().addSecs(3600);
        m_nextStamp = m_killedStamp.addSecs(3600);
    }
    Tree SourceTree() const { return SourceTreeAt(Src()); }

    // What the run after a kill adds, so that its point differs from the
    // killed run's.
    static inline const QString kAfterFile = QStringLiteral("data/after the kill.txt");
    void WriteAfterFile()
    {
        Write(kAfterFile, "written after the kill", 1000);
        m_trees.resize(3);
        m_trees.append(SourceTree());
    }

    struct KilledRun {
        bool killed = false; // ended by a signal, after writing down its last moment
        int exitCode = -1;
        QList<Moment> trace;
        QString log;    // the run log up to the kill
        QString output; // the program's own messages
    };

    // Runs the third backup in the killing program, on the set's folder
    // `name`; `moment` 0 runs it to the end.
    KilledRun RunKilled(int moment, const QString &name)
    {
        KilledRun run;
        QString error;
        EXPECT_TRUE(SaveOptions(Options(), OptionsFilePath(), &error)) << error.toStdString();
        EXPECT_TRUE(Job().SaveLocalJobFile(Job().LocalJobFilePath()));
        const QString trace = Root() + QLatin1Char('/') + name + QStringLiteral(".trace");
        QProcess p;
        p.setProcessChannelMode(QProcess::MergedChannels);
        p.start(QCoreApplication::applicationDirPath() + QStringLiteral("/qv_killed_backup"),
                {DataDir(), Job().stJobName, m_killedStamp.toString(Qt::ISODate), QString::number(moment), trace});
        EXPECT_TRUE(p.waitForStarted(10000)) << p.errorString().toStdString();
        EXPECT_TRUE(p.waitForFinished(120000));
        run.output = QString::fromLocal8Bit(p.readAll());
        run.trace = ReadTrace(trace);
        run.killed = p.exitStatus() == QProcess::CrashExit && moment > 0 && run.trace.size() == moment;
        run.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
        QFile log(trace + QStringLiteral(".log"));
        if (log.open(QIODevice::ReadOnly))
            run.log = QString::fromUtf8(log.readAll());
        return run;
    }

    // The tree a point must restore to: the point's position in the set's
    // history (the run after the kill is the fourth, whatever came before).
    int HistoryIndexOf(const QString &point) const
    {
        const qsizetype at = m_knownPoints.indexOf(point);
        return at >= 0 ? int(at) : 3;
    }

    QStringList ListPoints(QString *error)
    {
        QStringList names;
        if (!BeginRestore(Job())) {
            *error = QStringLiteral("the restore could not begin");
            return names;
        }
        const RestorePointList list = ReadRestorePoints(Job());
        if (!list.ok) {
            *error = list.error;
            return names;
        }
        Job().DeleteTempFiles();
        AbandonRestore(Job());
        for (const RestorePoint &p : list.points)
            names.append(p.folderName);
        return names;
    }

    // Restores point `index` and compares it with the source as it was;
    // the problem found, or an empty text.
    QString CheckRestore(int index, const QString &point)
    {
        const QString out = NewOutput();
        QString problem;
        if (!BeginRestore(Job()))
            return QStringLiteral("the restore could not begin");
        const RestorePointList list = ReadRestorePoints(Job());
        if (!list.ok)
            return list.error;
        if (!StartRestore(Job(), list, index, out, QString()) || !WaitForRunToEnd(Job()))
            return QStringLiteral("the restore did not run");
        const QStringList log = Log();
        const QStringList errors = log.filter(QStringLiteral("ERROR:"));
        if (Job().LastJobResult.Cancelled || !errors.isEmpty()) {
            problem = QStringLiteral("its restore ends %1: %2")
                          .arg(Job().LastJobResult.Cancelled ? QStringLiteral("cancelled")
                                                             : QStringLiteral("with errors"),
                               errors.mid(0, 3).join(QStringLiteral(" | ")));
        } else {
            const Tree expected = m_trees.value(HistoryIndexOf(point));
            const Tree restored = SourceTreeAt(out);
            if (restored != expected) {
                QStringList diff;
                for (const auto &[name, value] : expected) {
                    const auto it = restored.find(name);
                    if (it == restored.end())
                        diff.append(QStringLiteral("missing ") + QString::fromStdString(name));
                    else if (it->second != value)
                        diff.append(QStringLiteral("differs ") + QString::fromStdString(name));
                }
                for (const auto &[name, value] : restored) {
                    if (!expected.count(name))
                        diff.append(QStringLiteral("extra ") + QString::fromStdString(name));
                }
                problem = QStringLiteral("it restores other files: ") + diff.mid(0, 5).join(QStringLiteral(", "));
            }
        }
        QDir(out).removeRecursively();
        return problem;
    }

    // Every listed point restores; the problems found, one line each.
    QStringList CheckEveryPoint(const QString &when, const QStringList &points)
    {
        QStringList problems;
        for (int i = 0; i < points.size(); ++i) {
            const QString problem = CheckRestore(i, points[i]);
            if (!problem.isEmpty())
                problems.append(QStringLiteral("%1, point %2 \"%3\": %4").arg(when).arg(i + 1).arg(points[i], problem));
        }
        return problems;
    }

    // CheckEveryPoint on the stored bytes themselves: for a share, through
    // the folder the server keeps them in, which is many times faster than
    // a restore through the server. What the killed run left is the same
    // either way; the restore after the next run goes through the server.
    QStringList CheckEveryPointOnDisk(const QString &setName, const QString &when, const QStringList &points)
    {
        const TDestinationSettings destination = Job().DestinationSettings;
        TDestinationSettings &d = Job().DestinationSettings;
        d.DestinationType = dtLocalOrExternalDrive;
        d.LocalOrExternalDrive.Disk = SetFolderOnDisk(setName);
        d.LocalOrExternalDrive.Subfolder = QStringLiteral("/");
        const QStringList problems = CheckEveryPoint(when, points);
        Job().DestinationSettings = destination;
        return problems;
    }

    // The set folder's name in a path or log line, made the same for every
    // set, so that two runs can be compared moment by moment.
    static QString WithoutSetName(QString text, const QString &setName)
    {
        return text.replace(QLatin1Char('/') + setName + QLatin1Char('/'), QStringLiteral("/SET/"));
    }

    // The third run once to its end, on a copy of the history: its moments
    // and the names of the three points.
    void LearnTheRun()
    {
        const QString name = QStringLiteral("unkilled");
        ASSERT_TRUE(CopyTree(SetFolderOnDisk(QStringLiteral("history")), SetFolderOnDisk(name)));
        UseSetFolder(name);
        const KilledRun run = RunKilled(0, name);
        ASSERT_EQ(run.exitCode, 0) << run.output.toStdString() << run.log.toStdString();
        for (Moment m : run.trace) {
            m.what = WithoutSetName(m.what, name);
            m_moments.append(m);
        }
        QString error;
        m_knownPoints = ListPoints(&error);
        ASSERT_EQ(m_knownPoints.size(), 3) << error.toStdString() << run.log.toStdString();
        const QStringList problems = CheckEveryPoint(QStringLiteral("after the run that is not killed"), m_knownPoints);
        ASSERT_TRUE(problems.isEmpty()) << problems.join('\n').toStdString();
    }

    // One kill at `moment`, then the checks; the problems found.
    // `removeUnfinished` is the option the run after the kill follows for
    // the unfinished run's folder.
    QStringList KillAndCheck(int moment, bool removeUnfinished)
    {
        QStringList problems;
        const QString name = QStringLiteral("m%1-%2").arg(moment).arg(removeUnfinished ? "remove" : "keep");
        if (!CopyTree(SetFolderOnDisk(QStringLiteral("history")), SetFolderOnDisk(name)))
            return {QStringLiteral("the set could not be copied")};
        UseSetFolder(name);
        Options().Processing.RemovePreviousBackupIfCancelled = removeUnfinished;
        const KilledRun run = RunKilled(moment, name);
        if (!run.killed)
            return {QStringLiteral("the run was not killed as planned: exit %1 after %2 moments\n%3\n%4")
                        .arg(run.exitCode)
                        .arg(run.trace.size())
                        .arg(run.output, run.log)};
        // Every kill hits the moment it was planned for.
        const Moment &planned = m_moments.at(moment - 1);
        const QString reached = WithoutSetName(run.trace.last().what, name);
        if (reached != planned.what)
            problems.append(QStringLiteral("the killed run went another way: it ended at \"%1\"").arg(reached));

        // The points after the kill: the two before it, and the killed
        // run's own only when it was complete.
        QString error;
        const QStringList afterKill = ListPoints(&error);
        const QStringList before = m_knownPoints.mid(0, 2);
        if (afterKill != before && afterKill != m_knownPoints) {
            problems.append(QStringLiteral("after the kill the set lists [%1] %2 instead of [%3] or [%4]")
                                .arg(afterKill.join(QStringLiteral(", ")), error, before.join(QStringLiteral(", ")),
                                     m_knownPoints.join(QStringLiteral(", "))));
        }
        problems += CheckEveryPointOnDisk(name, QStringLiteral("after the kill"), afterKill);
        std::vector<Tree> folders;
        for (const QString &point : afterKill)
            folders.push_back(ReadTree(SetFolderOnDisk(name) + QStringLiteral("/Job/") + point));

        // The next run finishes, keeps every point as it was (their
        // restores were just checked) and adds its own, which restores.
        WriteAfterFile();
        Clock::SetOverride([t = m_nextStamp] { return t; });
        PendingEvents::TakeAll();
        const bool ended = Backup(Job()) && WaitForRunToEnd(Job());
        const QStringList nextLog = ended ? Log() : QStringList();
        if (!ended || Job().LastJobResult.Cancelled || Errors() != 0) {
            problems.append(QStringLiteral("the next run does not finish cleanly%1: %2")
                                .arg(Job().LastJobResult.Cancelled ? QStringLiteral(" (cancelled)") : QString(),
                                     nextLog.filter(QStringLiteral("ERROR:")).mid(0, 3).join(QStringLiteral(" | "))));
        }
        const QStringList afterNext = ListPoints(&error);
        if (afterNext.size() != afterKill.size() + 1 || afterNext.mid(0, afterKill.size()) != afterKill) {
            problems.append(
                QStringLiteral("after the next run the set lists [%1] %2 instead of [%3] and the new point")
                    .arg(afterNext.join(QStringLiteral(", ")), error, afterKill.join(QStringLiteral(", "))));
        }
        for (size_t i = 0; i < folders.size() && i < size_t(afterNext.size()); ++i) {
            const QString folder = SetFolderOnDisk(name) + QStringLiteral("/Job/") + afterNext[qsizetype(i)];
            if (ReadTree(folder) == folders[i])
                continue;
            const QString what = QFileInfo::exists(folder + QStringLiteral(" CANCELED"))
                                     ? QStringLiteral("has been renamed to \"... CANCELED\"")
                                 : QFileInfo::exists(folder) ? QStringLiteral("has changed")
                                                             : QStringLiteral("is gone");
            problems.append(QStringLiteral("after the next run, the folder of point %1 \"%2\" %3")
                                .arg(i + 1)
                                .arg(afterNext[qsizetype(i)], what));
        }
        if (!afterNext.isEmpty()) {
            const QString problem = CheckRestore(int(afterNext.size()) - 1, afterNext.last());
            if (!problem.isEmpty())
                problems.append(
                    QStringLiteral("after the next run, its point \"%1\": %2").arg(afterNext.last(), problem));
        }
        if (!problems.isEmpty()) {
            QString killedLog = run.log.trimmed();
            problems.append(QStringLiteral("the killed run's log:\n    ")
                            + killedLog.replace(QLatin1Char('\n'), QStringLiteral("\n    ")));
            problems.append(QStringLiteral("the next run's log:\n    ") + nextLog.join(QStringLiteral("\n    ")));
        }
        Delete(kAfterFile);
        QDir(SetFolderOnDisk(name)).removeRecursively();
        return problems;
    }

    QString m_baseDestination;
    QList<Tree> m_trees;       // the source at points 1, 2, 3 (the killed run) and 4 (the run after it)
    QStringList m_knownPoints; // the names of points 1, 2 and 3
    QList<Moment> m_moments;   // of the killed run, as the run that is not killed went
    QDateTime m_killedStamp;
    QDateTime m_nextStamp;
};

TEST_P(KilledBackupTest, NoKillLosesARestorePointAndTheNextRunSucceeds)
{
    MakeHistory();
    if (HasFatalFailure())
        return;
    LearnTheRun();
    if (HasFatalFailure())
        return;
    const int total = int(m_moments.size());
    ASSERT_GE(total, 20);

    // The moment the new state is in place while the start flag still says
    // the run is unfinished, and the one just before the new state goes up.
    int flagRemoval = 0, stateUpload = 0;
    for (const Moment &m : std::as_const(m_moments)) {
        if (m.kind != QLatin1String("before"))
            continue;
        if (m.what.startsWith(QLatin1String("remove file")) && m.what.endsWith(QLatin1String("/_startflag.qvl")))
            flagRemoval = m.number;
        if (m.what.startsWith(QLatin1String("upload")) && m.what.endsWith(QLatin1String("/Job.qvj")))
            stateUpload = m.number;
    }
    ASSERT_GT(flagRemoval, 0) << "the start flag is never removed";
    ASSERT_GT(stateUpload, 0) << "the remote job file is never uploaded";

    // 20 kills spread evenly from the first moment to the last, and the two
    // above. The run after a kill removes the unfinished run's folder after
    // every other kill and keeps it (renamed) after the rest; after the kill
    // before the start flag's removal it is tried both ways.
    const int spread = 20;
    std::set<int> chosen{flagRemoval, stateUpload};
    for (int k = 0; k < spread; ++k)
        chosen.insert(1 + k * (total - 1) / (spread - 1));
    std::vector<std::pair<int, bool>> kills;
    for (int moment : chosen) {
        kills.emplace_back(moment, kills.size() % 2 == 0);
        if (moment == flagRemoval)
            kills.emplace_back(moment, !kills.back().second);
    }

    int failed = 0;
    for (const auto &[moment, removeUnfinished] : kills) {
        const QStringList problems = KillAndCheck(moment, removeUnfinished);
        if (problems.isEmpty())
            continue;
        ++failed;
        ADD_FAILURE() << "killed at moment " << Describe(m_moments.at(moment - 1)).toStdString() << " (of " << total
                      << "); the next run " << (removeUnfinished ? "removes" : "keeps")
                      << " an unfinished run's folder:\n  " << problems.join(QStringLiteral("\n  ")).toStdString();
    }
    EXPECT_EQ(failed, 0) << "of " << kills.size() << " kills lost a restore point or broke the next run";
}

INSTANTIATE_TEST_SUITE_P(Kill, KilledBackupTest,
                         ::testing::Values(KillCase{Destination::Local, Storage::Plain},
                                           KillCase{Destination::Local, Storage::OneArchive},
                                           KillCase{Destination::Local, Storage::ZipPerFile},
                                           KillCase{Destination::Smb, Storage::Plain},
                                           KillCase{Destination::Smb, Storage::OneArchive},
                                           KillCase{Destination::Smb, Storage::ZipPerFile}),
                         CaseName);

} // namespace
