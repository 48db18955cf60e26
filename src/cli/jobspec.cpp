#include "cli/jobspec.h"

#include "options/options.h"
#include "base/datetime.h"
#include "base/paths.h"
#include "jobs/destinationinsource.h"
#include "jobs/jobtext.h"
#include "platform/mountpoints.h"
#include "storage/uncpath.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <algorithm>
#include <optional>

namespace {
const QString kDefaultNoCompression =
    QStringLiteral("zip;rar;7z;cab;mp3;jpg;gif;ace;jar;gz;tar;chm;png;sit;sitx;rpm");

struct CreateOptions {
    QString name;
    bool nameGiven = false;
    QStringList sources;
    std::optional<QString> to, toSmb, user, password, type, fullEvery, fullPercent, keep, includeExt, excludeExt, zip,
        zipPassword, zipEncryption, zipLevel, noCompressExt, weekdays, monthdays;
    QStringList times;
    bool removeOldFirst = false;
    bool catchUp = false;
};

[[noreturn]] void usage(const QString &message)
{
    throw UsageError(message);
}

CreateOptions readOptions(const QStringList &args)
{
    CreateOptions o;
    ArgReader r(args);
    while (!r.AtEnd()) {
        if (!r.NextIsOption()) {
            const QString positional = r.TakePositional();
            if (o.nameGiven)
                usage(QStringLiteral("Unexpected argument \"%1\": give the job name once (in quotes when it has "
                                     "blanks).").arg(positional));
            o.name = positional;
            o.nameGiven = true;
            continue;
        }
        const QString opt = r.TakeOption();
        const auto once = [&](std::optional<QString> &slot) {
            if (slot)
                usage(QStringLiteral("The option --%1 is given twice.").arg(opt));
            slot = r.TakeValue(opt);
        };
        if (opt == QLatin1String("source"))
            o.sources.append(r.TakeValue(opt));
        else if (opt == QLatin1String("to"))
            once(o.to);
        else if (opt == QLatin1String("to-smb"))
            once(o.toSmb);
        else if (opt == QLatin1String("user"))
            once(o.user);
        else if (opt == QLatin1String("password"))
            once(o.password);
        else if (opt == QLatin1String("type"))
            once(o.type);
        else if (opt == QLatin1String("full-every"))
            once(o.fullEvery);
        else if (opt == QLatin1String("full-when-percent"))
            once(o.fullPercent);
        else if (opt == QLatin1String("keep"))
            once(o.keep);
        else if (opt == QLatin1String("include-ext"))
            once(o.includeExt);
        else if (opt == QLatin1String("exclude-ext"))
            once(o.excludeExt);
        else if (opt == QLatin1String("zip"))
            once(o.zip);
        else if (opt == QLatin1String("zip-password"))
            once(o.zipPassword);
        else if (opt == QLatin1String("zip-encryption"))
            once(o.zipEncryption);
        else if (opt == QLatin1String("zip-level"))
            once(o.zipLevel);
        else if (opt == QLatin1String("no-compress-ext"))
            once(o.noCompressExt);
        else if (opt == QLatin1String("weekdays"))
            once(o.weekdays);
        else if (opt == QLatin1String("monthdays"))
            once(o.monthdays);
        else if (opt == QLatin1String("at"))
            o.times.append(r.TakeValue(opt));
        else if (opt == QLatin1String("remove-old-first")) {
            r.RefuseInlineValue(opt);
            o.removeOldFirst = true;
        } else if (opt == QLatin1String("catch-up")) {
            r.RefuseInlineValue(opt);
            o.catchUp = true;
        } else {
            usage(QStringLiteral("Unknown option --%1 for \"create\" (see quorvane-cli --help).").arg(opt));
        }
    }
    return o;
}

// One of `choices` (their index), UsageError otherwise.
int choice(const QString &option, const QString &value, const QStringList &choices)
{
    const qsizetype i = choices.indexOf(value.trimmed().toLower());
    if (i < 0)
        usage(QStringLiteral("The option --%1 takes one of: %2 (not \"%3\").")
                  .arg(option, choices.join(QStringLiteral(", ")), value));
    return int(i);
}

void exclusive(const std::optional<QString> &a, const char *aName, const std::optional<QString> &b, const char *bName)
{
    if (a && b)
        usage(QStringLiteral("The options --%1 and --%2 cannot be used together.")
                  .arg(QLatin1String(aName), QLatin1String(bName)));
}

QString sourceItem(const QString &given)
{
    const QString path = QDir::cleanPath(QFileInfo(given).absoluteFilePath());
    const QFileInfo info(path);
    if (!info.exists())
        usage(QStringLiteral("The source does not exist: %1").arg(path));
    if (info.isDir())
        return path == QLatin1String("/") ? QStringLiteral("/*") : path + QStringLiteral("/*");
    return path;
}

// Two sources of one name would overwrite each other at the destination.
void refuseDuplicateNames(const QStringList &items)
{
    QStringList folderNames, folderPaths, fileNames, filePaths;
    for (const QString &item : items) {
        const bool folder = item.endsWith(QLatin1String("/*"));
        const QString path = folder ? item.chopped(2) : item;
        const QString name = path.mid(path.lastIndexOf(QLatin1Char('/')) + 1).toLower();
        if (name.isEmpty())
            continue; // the root folder
        QStringList &names = folder ? folderNames : fileNames;
        QStringList &paths = folder ? folderPaths : filePaths;
        const qsizetype earlier = names.indexOf(name);
        if (earlier >= 0) {
            usage(Translate(QStringLiteral("Among the items there are files or folders having the same name, therefore "
                                           "they could be overwritten by each other and you could have incorrect "
                                           "backups.")) +
                  QStringLiteral("\n\n") + Translate(QStringLiteral("Example:")) + QLatin1Char('\n') + path +
                  QLatin1Char('\n') + paths[earlier]);
        }
        names.append(name);
        paths.append(path);
    }
}

// "1,3,5" with every number in [1, max].
QList<int> dayList(const QString &option, const QString &value, int max)
{
    QList<int> days;
    for (const QString &part : value.split(QLatin1Char(','))) {
        if (part.trimmed().isEmpty())
            usage(Translate(QStringLiteral("Please specify at least one day.")) +
                  QStringLiteral(" (--%1 1,3,5)").arg(option));
        days.append(ParseNumber(option, part, 1, max));
    }
    return days;
}

// "HH:MM:SS", each part two digits and in range.
QString timeEntry(const QString &value)
{
    static const QRegularExpression re(QStringLiteral("^(\\d\\d):(\\d\\d):(\\d\\d)$"));
    const QRegularExpressionMatch m = re.match(value.trimmed());
    if (!m.hasMatch() || m.captured(1).toInt() > 23 || m.captured(2).toInt() > 59 || m.captured(3).toInt() > 59)
        usage(QStringLiteral("The option --at needs a time of day as HH:MM:SS (24-hour clock), not \"%1\".").arg(value));
    return m.captured(0);
}
} // namespace

QString NormaliseExtensionList(const QString &option, const QString &text)
{
    QString list = text;
    list.remove(QLatin1Char(' '));
    list = list.toLower();
    if (list.startsWith(QLatin1Char(';')))
        list.remove(0, 1);
    if (list.endsWith(QLatin1Char(';')))
        list.chop(1);
    const QString hint = Translate(QStringLiteral("Please specify extensions separated by ;")) + QLatin1Char('\n') +
                         Translate(QStringLiteral("Example:")) + QLatin1Char(' ') + QStringLiteral("txt;doc;exe");
    if (list.isEmpty())
        usage(QStringLiteral("--%1: ").arg(option) + hint);
    for (QChar c : {QLatin1Char('*'), QLatin1Char('.'), QLatin1Char(','), QLatin1Char('\\'), QLatin1Char('/')}) {
        if (list.contains(c))
            usage(QStringLiteral("--%1: ").arg(option) + Translate(QStringLiteral("Characters * . , \\ / are not allowed.")) +
                  QStringLiteral("\n\n") + hint);
    }
    return list;
}

QString JobNameError(const QString &name)
{
    for (QChar c : kForbiddenNameCharacters) {
        if (name.contains(c))
            return Translate(QStringLiteral("The following symbols are not allowed in the title:")) +
                   QStringLiteral("\n\n") + kForbiddenNameCharacters;
    }
    for (QChar c : name) {
        if (c.unicode() < 0x20 || c.unicode() == 0x7f)
            return QStringLiteral("A job name cannot hold control characters such as tabs or line breaks.");
    }
    if (!IsUsableEntryName(name))
        return QStringLiteral("\"%1\" cannot be used as a job name.").arg(name);
    return QString();
}

void SetLocalDestination(TDestinationSettings &d, const QString &folder)
{
    const QString path = QDir::cleanPath(QFileInfo(folder).absoluteFilePath());
    QString disk = MountPoints::Of(path);
    // The folder as given when the mount point is not one of its own prefixes
    // (it was reached through a link): the subfolder is then the whole path.
    QString sub;
    if (disk == QLatin1String("/"))
        sub = path;
    else if (path == disk || path.startsWith(disk + QLatin1Char('/')))
        sub = path.mid(disk.size());
    else {
        disk = QStringLiteral("/");
        sub = path;
    }
    if (sub.isEmpty())
        sub = QStringLiteral("/");
    d.DestinationType = dtLocalOrExternalDrive;
    d.LocalOrExternalDrive.Disk = disk;
    d.LocalOrExternalDrive.Subfolder = sub;
}

std::unique_ptr<TJob_FilesAndFolders> JobFromCreateArguments(const QStringList &args, QStringList *warnings)
{
    const CreateOptions o = readOptions(args);

    // The name.
    const QString name = o.name.trimmed();
    if (name.isEmpty())
        usage(QStringLiteral("The job needs a name: quorvane-cli create NAME --source PATH --to DIR"));
    const QString nameError = JobNameError(name);
    if (!nameError.isEmpty())
        usage(nameError);
    auto job = std::make_unique<TJob_FilesAndFolders>(name);
    TSpecificSettings &s = job->Settings;

    // What to back up.
    if (o.sources.isEmpty())
        usage(Translate(QStringLiteral("Please add one or more sources to the list")) + QStringLiteral(" (--source PATH)."));
    for (const QString &source : o.sources)
        s.Sources.List.append(sourceItem(source));
    refuseDuplicateNames(s.Sources.List);
    exclusive(o.includeExt, "include-ext", o.excludeExt, "exclude-ext");
    if (o.includeExt) {
        s.Sources.FilterType = ftIncludeOnly;
        s.Sources.Extensions = NormaliseExtensionList(QStringLiteral("include-ext"), *o.includeExt);
    } else if (o.excludeExt) {
        s.Sources.FilterType = ftExclude;
        s.Sources.Extensions = NormaliseExtensionList(QStringLiteral("exclude-ext"), *o.excludeExt);
    }

    // Where to.
    exclusive(o.to, "to", o.toSmb, "to-smb");
    if (!o.to && !o.toSmb)
        usage(QStringLiteral("The job needs a destination: --to DIR or --to-smb UNC."));
    if (!o.toSmb && (o.user || o.password))
        usage(QStringLiteral("The options --user and --password belong to --to-smb."));
    TDestinationSettings &d = job->DestinationSettings;
    if (o.to) {
        if (o.to->trimmed().isEmpty())
            usage(QStringLiteral("The option --to needs a folder."));
        SetLocalDestination(d, *o.to);
        const QString folder = QDir::cleanPath(QFileInfo(*o.to).absoluteFilePath());
        if (!QFileInfo(folder).isDir() && warnings)
            warnings->append(Translate(QStringLiteral("The directory does not exist:")) + QLatin1Char('\n') + folder);
        // The job stays valid: its runs leave their own set out of the scan.
        if (!SourceItemHoldingFolder(s.Sources.List, JoinPath(folder, name)).isEmpty() && warnings)
            warnings->append(Translate(QStringLiteral("The destination is inside the source and is left out of the backup:"))
                             + QLatin1Char('\n') + folder);
    } else {
        if (o.toSmb->trimmed().size() <= 1)
            usage(Translate(QStringLiteral("Please choose correct UNC-path")));
        d.DestinationType = dtNetwork;
        // Credentials written into an smb:// address are the user name and
        // password; the job keeps the address without them, which is what
        // is shown and logged.
        QString address = o.toSmb->trimmed(), user, password;
        const bool inAddress = SplitUncCredentials(address, address, user, password);
        if (inAddress && (o.user || o.password))
            usage(QStringLiteral("Give the user name and password either in the --to-smb address or with --user and "
                                 "--password, not both."));
        d.Network.UNCPath = address;
        if (inAddress) {
            d.Network.Username = user;
            d.Network.Password = password.isEmpty() ? PasswordFrom(QString(), false, "QV_SMB_PASSWORD") : password;
        } else {
            d.Network.Username = o.user.value_or(QString());
            d.Network.Password =
                PasswordFrom(o.password.value_or(QString()), o.password.has_value(), "QV_SMB_PASSWORD");
        }
    }

    // The backup type and its conditions.
    TBackupSettings &b = s.Backup;
    if (o.type) {
        static const TBackupType types[] = {btIncremental, btDifferential, btFull, btSynchronization};
        b.BackupType = types[choice(QStringLiteral("type"), *o.type,
                                    {QStringLiteral("incremental"), QStringLiteral("differential"), QStringLiteral("full"),
                                     QStringLiteral("sync")})];
    }
    const bool chain = b.BackupType == btIncremental || b.BackupType == btDifferential;
    const bool sync = b.BackupType == btSynchronization;
    exclusive(o.fullEvery, "full-every", o.fullPercent, "full-when-percent");
    if ((o.fullEvery || o.fullPercent) && !chain)
        usage(QStringLiteral("--full-every and --full-when-percent belong to incremental and differential jobs."));
    if (o.fullEvery) {
        b.PerformFullBackup_Condition = bcEveryCopies;
        b.PerformFullBackup_EveryCopies = ParseNumber(QStringLiteral("full-every"), *o.fullEvery, 1, 100000);
    } else if (o.fullPercent) {
        b.PerformFullBackup_Condition = bcSumExceedsPercentOfFullBackup;
        b.PerformFullBackup_SumExceedsPercentOfFullBackup =
            ParseNumber(QStringLiteral("full-when-percent"), *o.fullPercent, 1, 100000);
    }
    if ((o.keep || o.removeOldFirst) && sync)
        usage(QStringLiteral("--keep and --remove-old-first do not apply to a mirror (--type sync): it keeps one copy."));
    if (o.keep)
        b.NumberFullCopiesToKeep = ParseNumber(QStringLiteral("keep"), *o.keep, 0, 100000);
    b.RemoveOldBackupsBeforeStartingNewBackup = o.removeOldFirst;

    // Compression.
    TCompression &c = s.Compression;
    if (!o.zip && (o.zipPassword || o.zipEncryption || o.zipLevel || o.noCompressExt))
        usage(QStringLiteral("The options --zip-password, --zip-encryption, --zip-level and --no-compress-ext need --zip."));
    if (o.zip) {
        if (sync)
            usage(Translate(QStringLiteral("Compression is not supported for Mirror type.")));
        c.Enabled = true;
        c.CreateIndividualZipForEachItem =
            choice(QStringLiteral("zip"), *o.zip, {QStringLiteral("single"), QStringLiteral("each")}) == 1;
        c.CompressionLevel = quint8(o.zipLevel ? choice(QStringLiteral("zip-level"), *o.zipLevel,
                                                        {QStringLiteral("none"), QStringLiteral("fastest"),
                                                         QStringLiteral("normal"), QStringLiteral("max")})
                                               : 2);
        c.NoCompressionExtensions =
            o.noCompressExt ? NormaliseExtensionList(QStringLiteral("no-compress-ext"), *o.noCompressExt)
                            : kDefaultNoCompression;
        const QString password =
            PasswordFrom(o.zipPassword.value_or(QString()), o.zipPassword.has_value(), "QV_ZIP_PASSWORD");
        if (o.zipPassword && password.isEmpty())
            usage(QStringLiteral("--zip-password: ") + Translate(QStringLiteral("Password is not set")));
        if (o.zipEncryption && password.isEmpty())
            usage(QStringLiteral("--zip-encryption needs a password (--zip-password or QV_ZIP_PASSWORD)."));
        if (!password.isEmpty()) {
            c.ProtectWithPassword = true;
            c.Password = password;
            c.EncryptionMethod = quint8(o.zipEncryption ? choice(QStringLiteral("zip-encryption"), *o.zipEncryption,
                                                                 {QStringLiteral("pkzip"), QStringLiteral("aes128"),
                                                                  QStringLiteral("aes192"), QStringLiteral("aes256")})
                                                        : 3);
        }
    }

    // The schedule.
    TSchedulingSettings &sch = job->SchedulingSettings;
    exclusive(o.weekdays, "weekdays", o.monthdays, "monthdays");
    if (o.weekdays) {
        sch.SchedulingType = stDaysOfWeek;
        for (int day : dayList(QStringLiteral("weekdays"), *o.weekdays, 7))
            sch.DaysOfWeek[size_t(day)] = true;
    } else if (o.monthdays) {
        sch.SchedulingType = stDaysOfMonth;
        for (int day : dayList(QStringLiteral("monthdays"), *o.monthdays, 31))
            sch.DaysOfMonth[size_t(day)] = true;
    }
    const bool scheduled = sch.SchedulingType != stDisabled;
    if (!scheduled && !o.times.isEmpty())
        usage(QStringLiteral("The option --at needs --weekdays or --monthdays."));
    if (!scheduled && o.catchUp)
        usage(QStringLiteral("The option --catch-up needs a schedule (--weekdays or --monthdays with --at)."));
    if (scheduled && o.times.isEmpty())
        usage(Translate(QStringLiteral("Please add at least one record to the timetable.")) + QStringLiteral(" (--at HH:MM:SS)"));
    for (const QString &t : o.times) {
        const QString entry = timeEntry(t);
        if (sch.TimeTable.contains(entry))
            usage(Translate(QStringLiteral("Record already exists")) + QStringLiteral(": ") + entry);
        sch.TimeTable.append(entry);
    }
    std::sort(sch.TimeTable.begin(), sch.TimeTable.end());
    sch.RunJobAsSoonAsPossibleAfterAScheduledStartIsMissed = o.catchUp;
    sch.LastModificationDateTime = Clock::NowAsDouble();

    job->SetDerivedFields();
    return job;
}
