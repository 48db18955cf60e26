// Names and markers of a backup set, and the byte layout of its state files.
#include "base/textfile.h"
#include "engine/files/backupsetlayout.h"
#include "engine/files/enginetext.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace BackupSet;

namespace {

TCompression Zip(bool enabled, bool perFile, bool password)
{
    TCompression c;
    c.Enabled = enabled;
    c.CreateIndividualZipForEachItem = perFile;
    c.ProtectWithPassword = password;
    return c;
}

TEST(BackupSetLayout, RunFolderNamesCarryStampZipMarkerAndType)
{
    const QDateTime stamp(QDate(2024, 5, 1), QTime(14, 30, 0));
    const struct {
        TCompression compression;
        TBackupType type;
        const char *name;
    } cases[] = {
        {Zip(false, false, false), btFull, "2024-05-01 14;30;00 (Full)"},
        {Zip(false, true, true), btIncremental, "2024-05-01 14;30;00 (Incremental)"}, // not enabled: no marker
        {Zip(true, false, false), btDifferential, "2024-05-01 14;30;00 (ZIP, Differential)"},
        {Zip(true, false, true), btIncremental, "2024-05-01 14;30;00 (ZIP , Incremental)"},
        {Zip(true, true, false), btFull, "2024-05-01 14;30;00 (ZIPs, Full)"},
        {Zip(true, true, true), btFull, "2024-05-01 14;30;00 (ZIPs , Full)"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(RunFolderName(stamp, c.compression, c.type).toStdString(), c.name);
    // A time after noon stays on the 24-hour clock.
    EXPECT_EQ(RunFolderName(QDateTime(QDate(2024, 12, 31), QTime(23, 5, 9)), {}, btFull),
              QStringLiteral("2024-12-31 23;05;09 (Full)"));
}

TEST(BackupSetLayout, ModesAndPasswordAreReadBackFromNames)
{
    const struct {
        const char *name;
        ZipMode mode;
        bool password;
    } cases[] = {
        {"2024-05-01 14;30;00 (Full)", ZipMode::Plain, false},
        {"2024-05-01 14;30;00 (ZIP, Full)", ZipMode::OneArchive, false},
        {"2024-05-01 14;30;00 (ZIP , Incremental)", ZipMode::OneArchive, true},
        {"2024-05-01 14;30;00 (ZIPs, Differential)", ZipMode::ZipPerFile, false},
        {"2024-05-01 14;30;00 (ZIPs , Full)", ZipMode::ZipPerFile, true},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(ZipModeOfName(QString::fromLatin1(c.name)), c.mode) << c.name;
        EXPECT_EQ(NameNeedsPassword(QString::fromLatin1(c.name)), c.password) << c.name;
    }
    EXPECT_EQ(DisplayName(QStringLiteral("2024-05-01 14;30;00 (Full)")), QStringLiteral("2024-05-01 14:30:00 (Full)"));
}

TEST(BackupSetLayout, MarkerLinesMatchExactlyAndSynchronisationKeepsItsSpelling)
{
    EXPECT_EQ(MarkerLine(btSynchronization), QStringLiteral("Syncronization)"));
    EXPECT_EQ(TypeOfMarker(QStringLiteral("Syncronization)")), btSynchronization);
    EXPECT_EQ(TypeOfMarker(QStringLiteral("Incremental)")), btIncremental);
    EXPECT_EQ(TypeOfMarker(QStringLiteral("Differential)")), btDifferential);
    EXPECT_EQ(TypeOfMarker(QStringLiteral("Full)")), btFull);
    EXPECT_FALSE(TypeOfMarker(QStringLiteral("Synchronization)")).has_value());
    EXPECT_FALSE(TypeOfMarker(QStringLiteral("2024-05-01 14;30;00 (Full)")).has_value());
    EXPECT_FALSE(TypeOfMarker(QStringLiteral("full)")).has_value());
    EXPECT_TRUE(NameIsOfType(QStringLiteral("2024-05-01 14;30;00 (ZIP, Full)"), btFull));
    EXPECT_FALSE(NameIsOfType(QStringLiteral("2024-05-01 14;30;00 (Full) CANCELED"), btFull));
}

TEST(BackupSetLayout, StateFilesAreUtf8WithMarkAndCrLfAndAnEmptyListIsThreeBytes)
{
    QTemporaryDir dir;
    const QString empty = dir.filePath(QStringLiteral("_rrf.qvl"));
    ASSERT_TRUE(WriteTextLines(empty, {}));
    QFile e(empty);
    ASSERT_TRUE(e.open(QIODevice::ReadOnly));
    EXPECT_EQ(e.readAll(), QByteArray("\xEF\xBB\xBF", 3));
    EXPECT_TRUE(ReadTextLines(empty).isEmpty());

    const QString two = dir.filePath(QStringLiteral("_rf.qvl"));
    ASSERT_TRUE(WriteTextLines(two, {QStringLiteral("Data/a.txt"), QStringLiteral("Data/Ünï.txt")}));
    QFile t(two);
    ASSERT_TRUE(t.open(QIODevice::ReadOnly));
    EXPECT_EQ(t.readAll(), QByteArray("\xEF\xBB\xBF") + "Data/a.txt\r\n" + QStringLiteral("Data/Ünï.txt").toUtf8() + "\r\n");
    EXPECT_EQ(ReadTextLines(two), (QStringList{QStringLiteral("Data/a.txt"), QStringLiteral("Data/Ünï.txt")}));
}

TEST(EngineText, FormatFillsValuesAndPercentSigns)
{
    EXPECT_EQ(FillPercentS(QStringLiteral("a (%s) exceeds %s%% of (%s)."), {"1 KB", "50", "2 KB"}),
              QStringLiteral("a (1 KB) exceeds 50% of (2 KB)."));
    EXPECT_EQ(FillPercentS(QStringLiteral("\"%s\" x"), {"%s%%"}), QStringLiteral("\"%s%%\" x"));
    EXPECT_EQ(FillPercentS(QStringLiteral("%s and %s"), {"one"}), QStringLiteral("one and %s"));
}

TEST(EngineText, SafeRelativePaths)
{
    for (const char *ok : {"a", "a/b", "Data/.hidden", "a..b", "...", "x/ y"})
        EXPECT_TRUE(IsSafeRelativePath(QString::fromLatin1(ok))) << ok;
    for (const char *bad : {"", "/a", "../a", "a/../b", "a/..", "./a", "a//b", "a/", "..", "."})
        EXPECT_FALSE(IsSafeRelativePath(QString::fromLatin1(bad))) << bad;
    EXPECT_FALSE(IsSafeRelativePath(QStringLiteral("a") + QChar(0) + QStringLiteral("b")));
}

} // namespace
