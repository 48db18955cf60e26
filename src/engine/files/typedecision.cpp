#include "engine/files/typedecision.h"

#include "base/bytesize.h"
#include "engine/files/backupsetlayout.h"
#include "engine/files/enginetext.h"

int CountSinceFull(const QStringList &mainBackupList)
{
    for (qsizetype i = mainBackupList.size() - 1; i >= 1; --i) {
        if (BackupSet::NameIsOfType(mainBackupList.at(i), btFull))
            return int(mainBackupList.size() - 1 - i);
    }
    return -1;
}

namespace {
// (sum * 100) / full >= percent, with the product exact in 64 bits (a
// product beyond that range exceeds any percentage).
bool SizeExceeds(qint64 sum, qint64 full, qint32 percent)
{
    if (full <= 0)
        return false;
    qint64 product = 0;
    if (__builtin_mul_overflow(sum, qint64(100), &product))
        return true;
    return double(product) / double(full) >= double(percent);
}
} // namespace

RunTypeDecision DecideRunType(const TBackupSettings &backup, const TBackupSetState &state,
                              const std::function<QString(const QString &)> &translate)
{
    RunTypeDecision d;
    switch (backup.BackupType) {
    case btFull:
        d.runType = btFull;
        return d;
    case btSynchronization:
        d.runType = btSynchronization;
        return d;
    case btIncremental:
    case btDifferential:
        break;
    }
    const bool incremental = backup.BackupType == btIncremental;
    const int count = CountSinceFull(state.MainBackupList);
    if (count == -1) {
        d.runType = btFull;
        return d;
    }
    if (backup.PerformFullBackup_Condition == bcEveryCopies && count >= backup.PerformFullBackup_EveryCopies) {
        d.runType = btFull;
        d.reason = FillPercentS(
            translate(incremental ? QStringLiteral("The number of incremental copies (%s) has reached the specified "
                                                   "value (%s). We need to perform a full backup.")
                                  : QStringLiteral("The number of differential copies (%s) has reached the specified "
                                                   "value (%s). We need to perform a full backup.")),
            {QString::number(count), QString::number(backup.PerformFullBackup_EveryCopies)});
        return d;
    }
    if (backup.PerformFullBackup_Condition == bcSumExceedsPercentOfFullBackup
        && SizeExceeds(state.SizeOfAllIncrementsOrLastDifferentialCopy, state.SizeOfLastFullBackup,
                       backup.PerformFullBackup_SumExceedsPercentOfFullBackup)) {
        d.runType = btFull;
        d.reason = FillPercentS(
            translate(incremental ? QStringLiteral("The total size of all increments (%s) exceeds %s%% of the size of "
                                                   "the full backup (%s). We need to perform a full backup.")
                                  : QStringLiteral("The size of differential copy (%s) exceeds %s%% of the size of the "
                                                   "full backup (%s). We need to perform a full backup.")),
            {FormatByteSize(state.SizeOfAllIncrementsOrLastDifferentialCopy),
             QString::number(backup.PerformFullBackup_SumExceedsPercentOfFullBackup),
             FormatByteSize(state.SizeOfLastFullBackup)});
        return d;
    }
    d.runType = backup.BackupType;
    return d;
}

QStringList SelectBackupsToRemove(QStringList &mainBackupList, int keep)
{
    QStringList removed;
    int fullSeen = 0;
    for (qsizetype i = mainBackupList.size() - 1; i >= 1; --i) {
        if (fullSeen == keep) {
            removed.append(mainBackupList.takeAt(i));
        } else if (BackupSet::NameIsOfType(mainBackupList.at(i), btFull)) {
            ++fullSeen;
        }
    }
    return removed;
}
