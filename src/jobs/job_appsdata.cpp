// The application-data job: its defaults and its two job-file layouts. The
// remote file carries the catalogue entries of the chosen applications, so
// that a restore on another computer does not depend on its catalogue.
#include "jobs/jobfilecodec.h"
#include "jobs/jobfileio.h"
#include "jobs/jobicons.h"
#include "jobs/jobkinds.h"

#include "base/errors.h"

using namespace JobFileCodec;

namespace {
// Written as a constant in front of the entries and skipped on reading.
constexpr qint32 kCatalogueMarker = 1;

void writeAppData(BinaryWriter &w, const TAppData &app)
{
    w.writeString(app.AppName);
    w.writeString(app.Category);
    w.writeStringList(app.Folders);
    w.writeStringList(app.RegistryPaths);
}

TAppData readAppData(BinaryReader &r)
{
    TAppData app;
    app.AppName = r.readString();
    app.Category = r.readString();
    app.Folders = r.readStringList();
    app.RegistryPaths = r.readStringList();
    return app;
}
} // namespace

TJob_AppsData::TJob_AppsData(const QString &JobName, QObject *parent) : TJob(JobName, parent)
{
    SetDerivedFields();
}

void TJob_AppsData::SetDerivedFields()
{
    NewSubfolderIsCreatedForEachBackup = false;
    bmpIcon = JobIcons::AppsData;
}

QByteArray TJob_AppsData::EncodeLocalContent() const
{
    BinaryWriter w;
    WriteHeader(w, kVersionAppsData, jkAppsData);
    WriteResultBlock(w, LastJobResult, LogList, BackupHistory);
    w.writeStringList(AppNames);
    WriteDestinationBlock(w, DestinationSettings);
    WriteSchedulingBlock(w, SchedulingSettings);
    return w.data();
}

void TJob_AppsData::ParseLocalContent(const QByteArray &plain)
{
    BinaryReader r(plain);
    const Header h = ReadHeaderOfKind(r, jkAppsData);
    ReadResultBlock(r, h.version, LastJobResult, LogList, BackupHistory);
    AppNames = r.readStringList();
    ReadDestinationBlock(r, DestinationSettings);
    ReadSchedulingBlock(r, SchedulingSettings);
}

QByteArray TJob_AppsData::EncodeRemoteContent(const QList<TAppData> &catalogue) const
{
    QList<const TAppData *> selected;
    for (const TAppData &app : catalogue) {
        if (AppNames.contains(app.AppName))
            selected.append(&app);
    }
    BinaryWriter w;
    WriteHeader(w, kVersionAppsData, jkAppsData);
    w.writeInt32(kCatalogueMarker);
    w.writeInt32(static_cast<qint32>(selected.size()));
    for (const TAppData *app : selected)
        writeAppData(w, *app);
    w.writeStringList(AppNames);
    WriteRemoteDestinationBlock(w, DestinationSettings);
    WriteSchedulingBlock(w, SchedulingSettings);
    return w.data();
}

void TJob_AppsData::ParseRemoteContent(const QByteArray &plain, bool LoadJobSettings, bool *destinationChanged)
{
    if (destinationChanged)
        *destinationChanged = false;
    BinaryReader r(plain);
    ReadHeaderOfKind(r, jkAppsData);
    if (!LoadJobSettings)
        return;
    r.readInt32(); // the constant marker
    const qint32 n = r.readInt32();
    // Each entry takes at least its four counts.
    if (n < 0 || qint64(n) * 16 > r.remaining())
        throw DecodeError(QStringLiteral("Invalid number of applications %1").arg(n));
    QList<TAppData> apps;
    apps.reserve(n);
    for (qint32 i = 0; i < n; ++i)
        apps.append(readAppData(r));
    RemoteAppsData = apps;
    AppNames = r.readStringList();
    const bool changed = ReadDestinationBlockKeepingActual(r, DestinationSettings);
    if (destinationChanged)
        *destinationChanged = changed;
    ReadSchedulingBlock(r, SchedulingSettings, /*disable=*/true);
    SetDerivedFields();
}

bool TJob_AppsData::SaveLocalJobFile(const QString &path)
{
    return SaveLocalJobFileContent(*this, path, EncodeLocalContent());
}

bool TJob_AppsData::LoadLocalJobFile(const QString &path)
{
    const bool ok = LoadLocalJobFileContent(*this, path, [this](const QByteArray &plain) { ParseLocalContent(plain); });
    SetDerivedFields();
    return ok;
}

bool TJob_AppsData::SaveRemoteJobFile(const QString &path, const QList<TAppData> &catalogue)
{
    return WriteRemoteJobFileContent(path, EncodeRemoteContent(catalogue));
}

bool TJob_AppsData::LoadRemoteJobFile(const QString &path, bool LoadJobSettings, bool *destinationChanged)
{
    if (destinationChanged)
        *destinationChanged = false;
    ReadRemoteJobFileContent(
        path, [&](const QByteArray &plain) { ParseRemoteContent(plain, LoadJobSettings, destinationChanged); });
    return true;
}
