// The change key of a file, the scan's filters and the hashed path lookups.
#include "engine/files/changedetection.h"
#include "engine/files/outputguard.h"
#include "engine/files/pathindex.h"
#include "engine/files/sourcescan.h"
#include "platform/directoryscan.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <map>
#include <sys/stat.h>

namespace {

TEST(ChangeDetection, TimeTextHasMillisecondsAndA24HourClock)
{
    EXPECT_EQ(FileTimeText(QDateTime(QDate(2024, 3, 7), QTime(17, 4, 5, 9))), QStringLiteral("2024-03-07 17:04:05:009"));
    EXPECT_EQ(FileTimeText(QDateTime(QDate(1999, 12, 31), QTime(0, 0, 0, 999))),
              QStringLiteral("1999-12-31 00:00:00:999"));
}

TEST(ChangeDetection, TimeTextOfAnEpochTimeMatchesTheCalendarOne)
{
    // The scan reads times as milliseconds since the epoch; the text must
    // be the one the local calendar gives, or every file of an existing set
    // would look changed.
    for (qint64 ms : {Q_INT64_C(0), Q_INT64_C(1), Q_INT64_C(999), Q_INT64_C(1700000000123), Q_INT64_C(1711846799999),
                      Q_INT64_C(1711846800000), Q_INT64_C(1729987200500), Q_INT64_C(-1), Q_INT64_C(-86400001)})
        EXPECT_EQ(FileTimeText(ms), FileTimeText(QDateTime::fromMSecsSinceEpoch(ms))) << ms;
}

TEST(DirectoryScanTest, KindsAndTimesOfEntriesWithoutFollowingLinks)
{
    QTemporaryDir dir;
    const QString root = dir.path();
    QDir().mkpath(root + QStringLiteral("/folder"));
    QFile f(root + QStringLiteral("/file.txt"));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("x");
    ASSERT_TRUE(f.flush());
    const QDateTime when(QDate(2022, 6, 1), QTime(10, 20, 30, 456));
    ASSERT_TRUE(f.setFileTime(when, QFileDevice::FileModificationTime));
    f.close();
    ASSERT_TRUE(QFile::link(root + QStringLiteral("/folder"), root + QStringLiteral("/folder-link")));
    ASSERT_TRUE(QFile::link(root + QStringLiteral("/file.txt"), root + QStringLiteral("/file-link")));
    ASSERT_TRUE(QFile::link(root + QStringLiteral("/missing"), root + QStringLiteral("/dangling")));
    ASSERT_EQ(mkfifo(QFile::encodeName(root + QStringLiteral("/pipe")).constData(), 0600), 0);

    DirectoryScan::Reader reader(root);
    ASSERT_TRUE(reader.ok());
    std::map<QString, DirectoryScan::Entry> entries;
    DirectoryScan::Entry e;
    while (reader.Next(e))
        entries[e.name] = e;
    EXPECT_TRUE(reader.ok());
    ASSERT_EQ(entries.size(), 6u);
    EXPECT_EQ(entries[QStringLiteral("folder")].kind, DirectoryScan::Kind::Folder);
    for (const QString &link : {QStringLiteral("folder-link"), QStringLiteral("file-link"), QStringLiteral("dangling")}) {
        EXPECT_EQ(entries[link].kind, DirectoryScan::Kind::Link) << link.toStdString();
        EXPECT_FALSE(entries[link].timeKnown) << link.toStdString();
    }
    EXPECT_EQ(entries[QStringLiteral("pipe")].kind, DirectoryScan::Kind::Special);
    const DirectoryScan::Entry &file = entries[QStringLiteral("file.txt")];
    EXPECT_EQ(file.kind, DirectoryScan::Kind::File);
    EXPECT_TRUE(file.timeKnown);
    EXPECT_EQ(FileTimeText(file.modifiedMs), QStringLiteral("2022-06-01 10:20:30:456"));

    DirectoryScan::Reader missing(root + QStringLiteral("/nothing"));
    EXPECT_FALSE(missing.ok());
    EXPECT_FALSE(missing.error().isEmpty());
    EXPECT_FALSE(missing.Next(e));
}

TEST(SourceFilterTest, ExtensionFilters)
{
    TOptions options;
    TSourceSettings s;
    s.Extensions = QStringLiteral("txt;doc");
    const struct {
        TFilterType type;
        const char *name;
        bool skipped;
    } cases[] = {
        {ftNoFilters, "a.exe", false},     {ftIncludeOnly, "a.txt", false}, {ftIncludeOnly, "a.TXT", false},
        {ftIncludeOnly, "a.exe", true},    {ftIncludeOnly, "txt", true},    {ftIncludeOnly, "a.tar.doc", false},
        {ftExclude, "a.doc", true},        {ftExclude, "a.Doc", true},      {ftExclude, "a.docx", false},
        {ftExclude, "noextension", false},
    };
    for (const auto &c : cases) {
        s.FilterType = c.type;
        EXPECT_EQ(SourceFilter(s, options).SkipsFile(QString::fromLatin1(c.name)), c.skipped) << c.name << " " << c.type;
    }
}

TEST(SourceFilterTest, SystemNamesInAnyCaseAreNeverCopied)
{
    const SourceFilter f(TSourceSettings{}, TOptions{});
    for (const char *name : {"pagefile.sys", "PAGEFILE.SYS", "hiberfil.sys", "swapfile.sys", "NTUSER.DAT",
                             "ntuser.dat.LOG1", "ntuser.dat.log2", "DumpStack.log.tmp"})
        EXPECT_TRUE(f.SkipsFile(QString::fromLatin1(name))) << name;
    for (const char *name : {"pagefile.sys.bak", "ntuser.dat.log3", "my-ntuser.dat"})
        EXPECT_FALSE(f.SkipsFile(QString::fromLatin1(name))) << name;
}

TEST(SourceFilterTest, ExcludedFoldersHiddenEntriesAndTheTempRoot)
{
    TOptions o;
    o.ExcludedDirs = {QStringLiteral("/home/u/data/cache/"), QStringLiteral("%anypath%/node_modules")};
    o.General.PathForTempFiles = QStringLiteral("/var/tmp/QuorvaneTmp");
    const SourceFilter f(TSourceSettings{}, o);
    EXPECT_TRUE(f.ExcludesFolder(QStringLiteral("/home/u/data/cache"), QStringLiteral("cache")));
    EXPECT_TRUE(f.ExcludesFolder(QStringLiteral("/home/u/Data/Cache"), QStringLiteral("Cache"))); // lower case compare
    EXPECT_FALSE(f.ExcludesFolder(QStringLiteral("/home/u/other/cache"), QStringLiteral("cache")));
    EXPECT_TRUE(f.ExcludesFolder(QStringLiteral("/a/b/node_modules"), QStringLiteral("node_modules")));
    EXPECT_TRUE(f.ExcludesFolder(QStringLiteral("/x/Node_Modules"), QStringLiteral("Node_Modules")));
    EXPECT_TRUE(f.ExcludesFolder(QStringLiteral("/var/tmp/QuorvaneTmp"), QStringLiteral("QuorvaneTmp")));
    EXPECT_FALSE(f.SkipsHidden(QStringLiteral(".git"))); // the option is off
    o.Processing.SkipHiddenSystemFiles = true;
    const SourceFilter hidden(TSourceSettings{}, o);
    EXPECT_TRUE(hidden.SkipsHidden(QStringLiteral(".git")));
    EXPECT_FALSE(hidden.SkipsHidden(QStringLiteral("git.")));
}

TEST(SourceScanItems, FolderItems)
{
    EXPECT_EQ(SourceScan::FolderOfItem(QStringLiteral("/home/u/Data/*")), QStringLiteral("/home/u/Data"));
    EXPECT_EQ(SourceScan::FolderOfItem(QStringLiteral("/*")), QStringLiteral("/"));
    EXPECT_EQ(SourceScan::FolderOfItem(QStringLiteral("/home/u/Data//*")), QStringLiteral("/home/u/Data"));
    EXPECT_TRUE(SourceScan::FolderOfItem(QStringLiteral("/home/u/a.txt")).isEmpty());
}

TEST(PathIndexTest, LooksUpExactTextAndGrows)
{
    QStringList list{QStringLiteral("Data/a.txt"), QStringLiteral("Data/A.txt"), QStringLiteral("Data/a.txt")};
    PathIndex index(&list);
    EXPECT_EQ(index.IndexOf(u"Data/a.txt"), 0); // the first of equal entries
    EXPECT_EQ(index.IndexOf(u"Data/A.txt"), 1); // letter case matters
    EXPECT_EQ(index.IndexOf(u"data/a.txt"), -1);
    for (int i = 0; i < 5000; ++i) {
        list.append(QStringLiteral("f/%1").arg(i));
        index.IndexLast();
    }
    for (int i = 0; i < 5000; i += 97)
        EXPECT_EQ(index.IndexOf(QStringLiteral("f/%1").arg(i)), 3 + i);
    EXPECT_EQ(index.IndexOf(u"f/5000"), -1);
    EXPECT_EQ(index.IndexOf(u"Data/a.txt"), 0);

    PathSet set;
    EXPECT_TRUE(set.Insert(QStringLiteral("a")));
    EXPECT_FALSE(set.Insert(QStringLiteral("a")));
    EXPECT_TRUE(set.Contains(u"a"));
    EXPECT_FALSE(set.Contains(u"A"));
    set.Clear();
    EXPECT_FALSE(set.Contains(u"a"));
}

TEST(OutputGuardTest, RefusesEscapesAndLinkedFolders)
{
    QTemporaryDir dir;
    const QString out = dir.filePath(QStringLiteral("out"));
    QDir().mkpath(out + QStringLiteral("/real/sub"));
    QDir().mkpath(dir.filePath(QStringLiteral("elsewhere")));
    ASSERT_TRUE(QFile::link(dir.filePath(QStringLiteral("elsewhere")), out + QStringLiteral("/link")));
    OutputFolderGuard guard(out);
    EXPECT_TRUE(guard.Allows(QStringLiteral("real/sub/a.txt"), false));
    EXPECT_TRUE(guard.Allows(QStringLiteral("new/folder/a.txt"), false));
    EXPECT_TRUE(guard.Allows(QStringLiteral("link"), false)); // a file named like the link replaces the link
    EXPECT_FALSE(guard.Allows(QStringLiteral("link"), true));
    EXPECT_FALSE(guard.Allows(QStringLiteral("link/a.txt"), false));
    EXPECT_FALSE(guard.Allows(QStringLiteral("../a.txt"), false));
    EXPECT_FALSE(guard.Allows(QStringLiteral("/etc/passwd"), false));
    EXPECT_FALSE(guard.Allows(QStringLiteral("real/../../a.txt"), false));
}

} // namespace
