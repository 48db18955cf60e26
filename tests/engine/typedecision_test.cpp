// The copy type of a run (both thresholds and their lines) and the
// retention rule.
#include "engine/files/typedecision.h"

#include <gtest/gtest.h>

#include <ostream>

inline void PrintTo(const QString &s, std::ostream *os)
{
    *os << '"' << s.toStdString() << '"';
}

namespace {

QString Same(const QString &s)
{
    return s;
}

TBackupSetState SetWith(QStringList main, qint64 full = 0, qint64 sum = 0)
{
    TBackupSetState s;
    s.MainBackupList = std::move(main);
    s.SizeOfLastFullBackup = full;
    s.SizeOfAllIncrementsOrLastDifferentialCopy = sum;
    return s;
}

QStringList Chain(const QString &marker, const QStringList &types)
{
    QStringList main{marker};
    int hour = 0;
    for (const QString &t : types)
        main.append(QStringLiteral("2024-05-01 %1;00;00 (%2").arg(hour++, 2, 10, QLatin1Char('0')).arg(t));
    return main;
}

TEST(TypeDecision, CountSinceFull)
{
    EXPECT_EQ(CountSinceFull({}), -1);
    EXPECT_EQ(CountSinceFull({QStringLiteral("Full)")}), -1); // the marker is not a run
    EXPECT_EQ(CountSinceFull(Chain("Incremental)", {"Full)"})), 0);
    EXPECT_EQ(CountSinceFull(Chain("Incremental)", {"Full)", "Incremental)", "Incremental)"})), 2);
    EXPECT_EQ(CountSinceFull(Chain("Incremental)", {"Incremental)", "Incremental)"})), -1);
    EXPECT_EQ(CountSinceFull(Chain("Incremental)", {"Full)", "Incremental)", "ZIP, Full)", "Incremental)"})), 1);
}

TEST(TypeDecision, EveryCopiesRule)
{
    TBackupSettings b;
    b.BackupType = btIncremental;
    b.PerformFullBackup_EveryCopies = 5;
    // full, then five incremental copies, then full again
    QStringList types{"Full)"};
    for (int run = 2; run <= 6; ++run) {
        const RunTypeDecision d = DecideRunType(b, SetWith(Chain("Incremental)", types)), Same);
        EXPECT_EQ(d.runType, btIncremental) << run;
        EXPECT_TRUE(d.reason.isEmpty());
        types.append("Incremental)");
    }
    const RunTypeDecision d = DecideRunType(b, SetWith(Chain("Incremental)", types)), Same);
    EXPECT_EQ(d.runType, btFull);
    EXPECT_EQ(d.reason, QStringLiteral("The number of incremental copies (5) has reached the specified value (5). We "
                                       "need to perform a full backup."));

    b.BackupType = btDifferential;
    const RunTypeDecision dd = DecideRunType(b, SetWith(Chain("Differential)", types)), Same);
    EXPECT_EQ(dd.runType, btFull);
    EXPECT_EQ(dd.reason, QStringLiteral("The number of differential copies (5) has reached the specified value (5). We "
                                        "need to perform a full backup."));
}

TEST(TypeDecision, SizeRule)
{
    TBackupSettings b;
    b.BackupType = btIncremental;
    b.PerformFullBackup_Condition = bcSumExceedsPercentOfFullBackup;
    b.PerformFullBackup_SumExceedsPercentOfFullBackup = 50;
    const QStringList main = Chain("Incremental)", {"Full)", "Incremental)"});
    EXPECT_EQ(DecideRunType(b, SetWith(main, 1000, 300), Same).runType, btIncremental);
    const RunTypeDecision d = DecideRunType(b, SetWith(main, 1000, 500), Same);
    EXPECT_EQ(d.runType, btFull);
    EXPECT_EQ(d.reason, QStringLiteral("The total size of all increments (0.49 KB) exceeds 50% of the size of the full "
                                       "backup (0.98 KB). We need to perform a full backup."));
    // A full copy of 0 bytes never forces a full copy by size.
    EXPECT_EQ(DecideRunType(b, SetWith(main, 0, 500), Same).runType, btIncremental);
    // A product beyond 64 bits exceeds any percentage.
    EXPECT_EQ(DecideRunType(b, SetWith(main, 1, Q_INT64_C(0x7000000000000000)), Same).runType, btFull);

    b.BackupType = btDifferential;
    const RunTypeDecision dd = DecideRunType(b, SetWith(Chain("Differential)", {"Full)", "Differential)"}), 1000, 600), Same);
    EXPECT_EQ(dd.runType, btFull);
    EXPECT_EQ(dd.reason, QStringLiteral("The size of differential copy (0.59 KB) exceeds 50% of the size of the full "
                                        "backup (0.98 KB). We need to perform a full backup."));
}

TEST(TypeDecision, FixedTypesAndNewSets)
{
    TBackupSettings b;
    for (TBackupType t : {btFull, btSynchronization}) {
        b.BackupType = t;
        EXPECT_EQ(DecideRunType(b, SetWith(Chain("Full)", {"Full)", "Full)"})), Same).runType, t);
    }
    for (TBackupType t : {btIncremental, btDifferential}) {
        b.BackupType = t;
        const RunTypeDecision d = DecideRunType(b, SetWith({}), Same);
        EXPECT_EQ(d.runType, btFull);
        EXPECT_TRUE(d.reason.isEmpty()); // a new set is full without a reason line
    }
}

TEST(Retention, KeepsTheNewestFullCopiesWithTheirDependents)
{
    QStringList main = Chain("Incremental)", {"Full)", "Incremental)", "Full)", "Incremental)", "Full)"});
    const QStringList before = main;
    const QStringList removed = SelectBackupsToRemove(main, 2);
    EXPECT_EQ(removed, (QStringList{before[2], before[1]})); // newest first
    EXPECT_EQ(main, (QStringList{before[0], before[3], before[4], before[5]}));

    QStringList keepAll = before;
    EXPECT_TRUE(SelectBackupsToRemove(keepAll, 3).isEmpty());
    QStringList one = before;
    EXPECT_EQ(SelectBackupsToRemove(one, 1).size(), 4);
    EXPECT_EQ(one, (QStringList{before[0], before[5]}));
}

} // namespace
