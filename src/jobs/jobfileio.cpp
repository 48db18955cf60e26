#include "jobs/jobfileio.h"

#include "base/errors.h"
#include "base/events.h"
#include "base/scrambledfile.h"
#include "jobs/job.h"
#include "jobs/jobtext.h"

namespace {
void reportLoadError(const TJob &job, int code)
{
    const QString format = job.TranslateForEvent(code == 2 ? QStringLiteral("Error loading job \"%s\". Code: 2")
                                                           : QStringLiteral("Error loading job \"%s\". Code: 1"));
    AddEvent(FillPercentS(format, {job.stJobName}));
}
} // namespace

bool LoadLocalJobFileContent(const TJob &job, const QString &path,
                             const std::function<void(const QByteArray &)> &parse)
{
    QByteArray plain;
    switch (ScrambledFile::Read(path, plain)) {
    case ScrambledFile::ReadStatus::Missing:
        return false;
    case ScrambledFile::ReadStatus::OpenFailed:
        reportLoadError(job, 2);
        return false;
    case ScrambledFile::ReadStatus::ReadFailed:
        reportLoadError(job, 1);
        return false;
    case ScrambledFile::ReadStatus::Ok:
        break;
    }
    try {
        parse(plain);
    } catch (const QvError &) {
        reportLoadError(job, 1);
        return false;
    }
    return true;
}

bool SaveLocalJobFileContent(const TJob &job, const QString &path, const QByteArray &plain)
{
    if (ScrambledFile::Write(path, plain))
        return true;
    AddEvent(job.TranslateForEvent(
                 QStringLiteral("Unable to save the settings. Please check the possibility to write to the file:")) +
             QLatin1Char(' ') + path);
    return false;
}

namespace {
// Turns the outcome of reading a remote job file into the loaders' contract.
bool RemoteReadResult(ScrambledFile::ReadStatus status, const QString &path, const QString &error)
{
    switch (status) {
    case ScrambledFile::ReadStatus::Missing:
        return false;
    case ScrambledFile::ReadStatus::OpenFailed:
        throw QvError(QStringLiteral("Cannot open the file \"%1\": %2").arg(path, error));
    case ScrambledFile::ReadStatus::ReadFailed:
        throw QvError(QStringLiteral("Cannot read the file \"%1\": %2").arg(path, error));
    case ScrambledFile::ReadStatus::Ok:
        break;
    }
    return true;
}
} // namespace

bool ReadRemoteJobFileContent(const QString &path, QByteArray &plain)
{
    QString error;
    const ScrambledFile::ReadStatus status = ScrambledFile::Read(path, plain, &error);
    return RemoteReadResult(status, path, error);
}

bool ReadRemoteJobFileDecoded(const QString &path, const std::function<void(BinaryReader &)> &parse)
{
    QString error;
    const ScrambledFile::ReadStatus status = ScrambledFile::ReadDecoded(path, parse, &error);
    return RemoteReadResult(status, path, error);
}

bool WriteRemoteJobFileContent(const QString &path, const QByteArray &plain)
{
    return ScrambledFile::Write(path, plain);
}
