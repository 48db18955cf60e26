#include "jobs/jobfileio.h"

#include "base/damagedfile.h"
#include "base/errors.h"
#include "base/events.h"
#include "base/scrambledfile.h"
#include "jobs/job.h"
#include "jobs/jobtext.h"

#include <QFileInfo>

namespace {
void reportLoadError(const TJob &job, int code)
{
    const QString format = job.TranslateForEvent(code == 2 ? QStringLiteral("Error loading job \"%s\". Code: 2")
                                                           : QStringLiteral("Error loading job \"%s\". Code: 1"));
    AddEvent(FillPercentS(format, {job.stJobName}));
}
} // namespace

bool LoadLocalJobFileContent(TJob &job, const QString &path, const std::function<void(const QByteArray &)> &parse)
{
    QByteArray plain;
    switch (ScrambledFile::Read(path, plain)) {
    case ScrambledFile::ReadStatus::Missing:
        return false;
    case ScrambledFile::ReadStatus::OpenFailed:
        reportLoadError(job, 2);
        return false;
    case ScrambledFile::ReadStatus::ReadFailed:
        job.LocalJobFileDamaged = true;
        reportLoadError(job, 1);
        return false;
    case ScrambledFile::ReadStatus::Ok:
        break;
    }
    try {
        parse(plain);
    } catch (const QvError &) {
        job.LocalJobFileDamaged = true;
        reportLoadError(job, 1);
        return false;
    }
    job.LocalJobFileDamaged = false;
    return true;
}

namespace {
// The file the job was loaded from holds more than the job could read back:
// it is kept for the user instead of being replaced. True when the path is
// free to be written.
bool keepDamagedLocalJobFile(TJob &job, const QString &path)
{
    QString error;
    const QString aside = KeepDamagedFileAside(path, &error);
    if (!error.isEmpty()) {
        AddEvent(job.TranslateForEvent(QStringLiteral("Unable to keep the damaged file aside:")) + QLatin1Char(' ') +
                 path + QStringLiteral(" (") + error + QLatin1Char(')'));
        return false;
    }
    if (!aside.isEmpty())
        AddEvent(job.TranslateForEvent(QStringLiteral("The damaged file is kept as:")) + QLatin1Char(' ') + aside);
    job.LocalJobFileDamaged = false;
    return true;
}
} // namespace

bool SaveLocalJobFileContent(TJob &job, const QString &path, const QByteArray &plain)
{
    if ((!job.LocalJobFileDamaged.load() || keepDamagedLocalJobFile(job, path)) && ScrambledFile::Write(path, plain))
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

// The content of a remote job file does not parse. The file read is the
// working copy of the one at the destination, which has the same name, or a
// file the user chose: the message gives the name and the path read, and
// what can be done about it.
[[noreturn]] void throwDamagedRemoteJobFile(const QString &path, const DecodeError &e)
{
    throw QvError(QStringLiteral("The job file \"%1\" is damaged: %2 (read from %3). Restore the job file at the "
                                 "destination from a copy, or move the job's backup folder and its job file away so "
                                 "that the next backup starts a new backup set.")
                      .arg(QFileInfo(path).fileName(), e.message(), path));
}
} // namespace

bool ReadRemoteJobFileContent(const QString &path, const std::function<void(const QByteArray &)> &parse)
{
    QString error;
    QByteArray plain;
    const ScrambledFile::ReadStatus status = ScrambledFile::Read(path, plain, &error);
    if (!RemoteReadResult(status, path, error))
        return false;
    try {
        parse(plain);
    } catch (const DecodeError &e) {
        throwDamagedRemoteJobFile(path, e);
    }
    return true;
}

bool ReadRemoteJobFileDecoded(const QString &path, const std::function<void(BinaryReader &)> &parse)
{
    QString error;
    ScrambledFile::ReadStatus status = ScrambledFile::ReadStatus::Missing;
    try {
        status = ScrambledFile::ReadDecoded(path, parse, &error);
    } catch (const DecodeError &e) {
        throwDamagedRemoteJobFile(path, e);
    }
    return RemoteReadResult(status, path, error);
}

bool WriteRemoteJobFileContent(const QString &path, const QByteArray &plain)
{
    return ScrambledFile::Write(path, plain);
}
