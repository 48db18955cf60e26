// The files-and-folders job: its defaults and its two job-file layouts.
#include "base/scrambledfile.h"
#include "jobs/jobfilecodec.h"
#include "jobs/jobfileio.h"
#include "jobs/jobicons.h"
#include "jobs/jobkinds.h"

using namespace JobFileCodec;

namespace {
// Settings run A: the sources.
void writeSources(BinaryWriter &w, const TSourceSettings &s)
{
    w.writeStringList(s.List);
    w.writeByte(s.FilterType); // one byte, unlike the other enumerations
    w.writeString(s.Extensions);
}

void readSources(BinaryReader &r, qint32 version, TSourceSettings &s)
{
    s.List = r.readStringList();
    if (version < 2)
        UpgradeLegacySourceItems(s.List);
    if (version < 3)
        s.FilterType = r.readBool() ? ftIncludeOnly : ftNoFilters;
    else
        s.FilterType = static_cast<TFilterType>(r.readByte());
    s.Extensions = r.readString();
    if (version < 2) {
        // Three fields no longer used: a string list, a byte and a string.
        r.readStringList();
        r.readByte();
        r.readString();
    }
}

// Settings run B: backup and compression. A remote job file lies beside
// the archives its password opens: there the password is written as an
// empty string (`withPassword` false).
void writeBackupAndCompression(BinaryWriter &w, const TSpecificSettings &s, bool withPassword = true)
{
    w.writeEnum(s.Backup.BackupType);
    w.writeEnum(s.Backup.PerformFullBackup_Condition);
    w.writeInt32(s.Backup.PerformFullBackup_EveryCopies);
    w.writeInt32(s.Backup.PerformFullBackup_SumExceedsPercentOfFullBackup);
    w.writeInt32(s.Backup.NumberFullCopiesToKeep);
    w.writeBool(s.Backup.RemoveOldBackupsBeforeStartingNewBackup);
    w.writeBool(s.Compression.Enabled);
    w.writeBool(s.Compression.ProtectWithPassword);
    w.writeString(withPassword ? s.Compression.Password : QString());
    w.writeEnum(s.Compression.EncryptionMethod);
    w.writeEnum(s.Compression.CompressionLevel);
    w.writeString(s.Compression.NoCompressionExtensions);
    w.writeBool(s.Compression.CreateIndividualZipForEachItem);
}

void readBackupAndCompression(BinaryReader &r, qint32 version, TSpecificSettings &s)
{
    s.Backup.BackupType = r.readEnum<TBackupType>();
    s.Backup.PerformFullBackup_Condition = r.readEnum<TPerformFullBackupCondition>();
    s.Backup.PerformFullBackup_EveryCopies = r.readInt32();
    s.Backup.PerformFullBackup_SumExceedsPercentOfFullBackup = r.readInt32();
    s.Backup.NumberFullCopiesToKeep = r.readInt32();
    s.Backup.RemoveOldBackupsBeforeStartingNewBackup = version >= 5 ? r.readBool() : false;
    s.Compression.Enabled = r.readBool();
    s.Compression.ProtectWithPassword = r.readBool();
    s.Compression.Password = r.readString();
    s.Compression.EncryptionMethod = r.readEnum<quint8>();
    s.Compression.CompressionLevel = r.readEnum<quint8>();
    s.Compression.NoCompressionExtensions = r.readString();
    s.Compression.CreateIndividualZipForEachItem = r.readBool();
}

// The reference lists hold relative paths as the engine carries them (see
// filenamecodec.h), stored as the UTF-16 code units of the format: a line
// break is a code unit like any other, and a byte of a name that is not
// UTF-8 is the lone surrogate U+DC80..U+DCFF standing for it (the way a
// Windows name may hold lone surrogates), so every name is read back as
// written and every ordinary name is stored exactly as before.
void writeState(BinaryWriter &w, const TBackupSetState &state)
{
    w.writeStringList(state.MainBackupList);
    w.writeStringList(state.PreviousLocalFilesList);
    w.writeStringList(state.PreviousLocalFilesTimeList);
    w.writeStringList(state.PreviousLocalDirsList);
    w.writeInt64(state.SizeOfLastFullBackup);
    w.writeInt64(state.SizeOfAllIncrementsOrLastDifferentialCopy);
}

void readState(BinaryReader &r, TBackupSetState &state, bool referenceLists = true)
{
    r.readStringListInto(state.MainBackupList);
    if (!referenceLists) {
        r.skipStringList();
        r.skipStringList();
        r.skipStringList();
    } else {
        r.readStringListInto(state.PreviousLocalFilesList);
        r.readStringListInto(state.PreviousLocalFilesTimeList);
        r.readStringListInto(state.PreviousLocalDirsList);
    }
    state.SizeOfLastFullBackup = r.readInt64();
    state.SizeOfAllIncrementsOrLastDifferentialCopy = r.readInt64();
}
} // namespace

TJob_FilesAndFolders::TJob_FilesAndFolders(const QString &JobName, QObject *parent) : TJob(JobName, parent)
{
    SetDerivedFields();
}

void TJob_FilesAndFolders::SetDerivedFields()
{
    NewSubfolderIsCreatedForEachBackup = Settings.Backup.BackupType != btSynchronization;
    bmpIcon = JobIcons::ForBackupType(Settings.Backup.BackupType);
}

QByteArray TJob_FilesAndFolders::EncodeLocalContent() const
{
    BinaryWriter w;
    WriteHeader(w, kVersionFilesAndFolders, jkFilesAndFolders);
    WriteResultBlock(w, LastJobResult, LogList, BackupHistory);
    writeSources(w, Settings.Sources);
    WriteDestinationBlock(w, DestinationSettings);
    writeBackupAndCompression(w, Settings);
    WriteSchedulingBlock(w, SchedulingSettings);
    return w.data();
}

void TJob_FilesAndFolders::ParseLocalContent(const QByteArray &plain)
{
    BinaryReader r(plain);
    const Header h = ReadHeaderOfKind(r, jkFilesAndFolders);
    ReadResultBlock(r, h.version, LastJobResult, LogList, BackupHistory);
    readSources(r, h.version, Settings.Sources);
    ReadDestinationBlock(r, DestinationSettings);
    readBackupAndCompression(r, h.version, Settings);
    ReadSchedulingBlock(r, SchedulingSettings);
}

void TJob_FilesAndFolders::WriteRemoteContent(BinaryWriter &w, const TBackupSetState &state) const
{
    WriteHeader(w, kVersionFilesAndFolders, jkFilesAndFolders);
    writeState(w, state);
    writeSources(w, Settings.Sources);
    WriteRemoteDestinationBlock(w, DestinationSettings);
    writeBackupAndCompression(w, Settings, /*withPassword=*/false);
    WriteSchedulingBlock(w, SchedulingSettings);
}

QByteArray TJob_FilesAndFolders::EncodeRemoteContent(const TBackupSetState &state) const
{
    BinaryWriter w;
    WriteRemoteContent(w, state);
    return w.data();
}

void TJob_FilesAndFolders::ParseRemoteContent(const QByteArray &plain, bool LoadJobSettings, TBackupSetState &state,
                                              bool *destinationChanged)
{
    BinaryReader r(plain);
    ParseRemoteContent(r, LoadJobSettings, state, destinationChanged);
}

void TJob_FilesAndFolders::ParseRemoteContent(BinaryReader &r, bool LoadJobSettings, TBackupSetState &state,
                                              bool *destinationChanged)
{
    if (destinationChanged)
        *destinationChanged = false;
    const Header h = ReadHeaderOfKind(r, jkFilesAndFolders);
    readState(r, state);
    if (!LoadJobSettings)
        return;
    readSources(r, h.version, Settings.Sources);
    const bool changed = ReadDestinationBlockKeepingActual(r, DestinationSettings);
    if (destinationChanged)
        *destinationChanged = changed;
    readBackupAndCompression(r, h.version, Settings);
    ReadSchedulingBlock(r, SchedulingSettings, /*disable=*/true);
    SetDerivedFields();
}

bool TJob_FilesAndFolders::SaveLocalJobFile(const QString &path)
{
    return SaveLocalJobFileContent(*this, path, EncodeLocalContent());
}

bool TJob_FilesAndFolders::LoadLocalJobFile(const QString &path)
{
    const bool ok = LoadLocalJobFileContent(*this, path, [this](const QByteArray &plain) { ParseLocalContent(plain); });
    SetDerivedFields();
    return ok;
}

bool TJob_FilesAndFolders::SaveRemoteJobFile(const QString &path, const TBackupSetState &state)
{
    // Streamed: the state lists hold a line per source file.
    return ScrambledFile::WriteEncoded(path, [&](BinaryWriter &w) { WriteRemoteContent(w, state); });
}

bool TJob_FilesAndFolders::LoadRemoteJobFile(const QString &path, bool LoadJobSettings, TBackupSetState &state,
                                             bool *destinationChanged)
{
    if (destinationChanged)
        *destinationChanged = false;
    // Read as it is parsed: the state lists hold a line per source file.
    ReadRemoteJobFileDecoded(
        path, [&](BinaryReader &r) { ParseRemoteContent(r, LoadJobSettings, state, destinationChanged); });
    return true;
}

bool TJob_FilesAndFolders::LoadRemoteBackupList(const QString &path, TBackupSetState &state)
{
    ReadRemoteJobFileDecoded(path, [&](BinaryReader &r) {
        ReadHeaderOfKind(r, jkFilesAndFolders);
        readState(r, state, /*referenceLists=*/false);
    });
    return true;
}
