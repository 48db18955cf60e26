// Which job class a job file holds, and creating a job of a kind.
#include "base/binarycodec.h"
#include "base/errors.h"
#include "base/events.h"
#include "base/scrambledfile.h"
#include "jobs/jobfilecodec.h"
#include "jobs/jobkinds.h"
#include "jobs/jobtext.h"

#include "options/options.h"

TJobKind ParseJobKind(const QByteArray &plain)
{
    BinaryReader r(plain);
    const JobFileCodec::Header h = JobFileCodec::ReadHeader(r);
    switch (h.kind) {
    case jkFilesAndFolders:
    case jkDriveImage:
    case jkAppsData:
        return h.kind;
    default:
        throw DecodeError(QStringLiteral("Unknown job kind %1").arg(qint32(h.kind)));
    }
}

TJobKind ReadJobKind(const QString &path)
{
    auto report = [&path](int code) {
        AddEvent(FillPercentS(Translate(code == 2 ? QStringLiteral("Error loading job \"%s\". Code: 2")
                                                  : QStringLiteral("Error loading job \"%s\". Code: 1")),
                              {path}));
    };
    QByteArray plain;
    switch (ScrambledFile::Read(path, plain)) {
    case ScrambledFile::ReadStatus::Missing:
        return jkUnknown;
    case ScrambledFile::ReadStatus::OpenFailed:
        report(2);
        return jkUnknown;
    case ScrambledFile::ReadStatus::ReadFailed:
        report(1);
        return jkUnknown;
    case ScrambledFile::ReadStatus::Ok:
        break;
    }
    try {
        return ParseJobKind(plain);
    } catch (const QvError &) {
        report(1);
        return jkUnknown;
    }
}

std::unique_ptr<TJob> CreateJobOfKind(TJobKind kind, const QString &name)
{
    switch (kind) {
    case jkFilesAndFolders:
        return std::make_unique<TJob_FilesAndFolders>(name);
    case jkDriveImage:
        return std::make_unique<TJob_DriveImage>(name);
    case jkAppsData:
        return std::make_unique<TJob_AppsData>(name);
    default:
        return nullptr;
    }
}
