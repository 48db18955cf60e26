// Damaged and hostile job files: a clear error, no crash, no hang.
#include "jobtestutil.h"

#include "base/errors.h"

#include <QtEndian>
#include <functional>

using namespace JobTestUtil;

namespace {

class DamagedJobFiles : public JobTest {};

struct KindCase {
    const char *name;
    std::function<std::unique_ptr<TJob>()> make;         // an empty job of the kind
    std::function<QByteArray()> localContent;            // a full local file
    std::function<void(TJob &, const QByteArray &)> parseRemote;
    std::function<QByteArray()> remoteContent;
};

std::vector<KindCase> Kinds()
{
    return {
        {"files and folders", [] { return std::make_unique<TJob_FilesAndFolders>(QStringLiteral("J")); },
         [] {
             TJob_FilesAndFolders j(QStringLiteral("J"));
             FillFilesAndFolders(j);
             return j.EncodeLocalContent();
         },
         [](TJob &j, const QByteArray &b) {
             TBackupSetState s;
             static_cast<TJob_FilesAndFolders &>(j).ParseRemoteContent(b, true, s);
         },
         [] {
             TJob_FilesAndFolders j(QStringLiteral("J"));
             FillFilesAndFolders(j);
             return j.EncodeRemoteContent(SampleState());
         }},
        {"drive image", [] { return std::make_unique<TJob_DriveImage>(QStringLiteral("J")); },
         [] {
             TJob_DriveImage j(QStringLiteral("J"));
             FillDriveImage(j);
             return j.EncodeLocalContent();
         },
         [](TJob &j, const QByteArray &b) { static_cast<TJob_DriveImage &>(j).ParseRemoteContent(b, true); },
         [] {
             TJob_DriveImage j(QStringLiteral("J"));
             FillDriveImage(j);
             return j.EncodeRemoteContent();
         }},
        {"application data", [] { return std::make_unique<TJob_AppsData>(QStringLiteral("J")); },
         [] {
             TJob_AppsData j(QStringLiteral("J"));
             FillAppsData(j);
             return j.EncodeLocalContent();
         },
         [](TJob &j, const QByteArray &b) { static_cast<TJob_AppsData &>(j).ParseRemoteContent(b, true); },
         [] {
             TJob_AppsData j(QStringLiteral("J"));
             FillAppsData(j);
             return j.EncodeRemoteContent({App(QStringLiteral("Alpha")), App(QStringLiteral("Beta"))});
         }},
    };
}

TEST_F(DamagedJobFiles, TruncatedLocalFileAtEveryOffsetReportsCodeOne)
{
    const QString path = DataDir() + QStringLiteral("/J.qvd");
    const QString codeOne = QStringLiteral("Error loading job \"J\". Code: 1");
    for (const KindCase &k : Kinds()) {
        SCOPED_TRACE(k.name);
        const QByteArray full = k.localContent();
        for (qsizetype n = 0; n < full.size(); ++n) {
            WritePlain(path, full.left(n));
            auto job = k.make();
            ASSERT_FALSE(job->LoadLocalJobFile(path)) << "cut at " << n;
            ASSERT_EQ(EventTexts(), QStringList{codeOne}) << "cut at " << n;
        }
        WritePlain(path, full);
        EXPECT_TRUE(k.make()->LoadLocalJobFile(path));
        EXPECT_TRUE(EventTexts().isEmpty());
    }
}

TEST_F(DamagedJobFiles, TruncatedRemoteContentThrows)
{
    for (const KindCase &k : Kinds()) {
        SCOPED_TRACE(k.name);
        const QByteArray full = k.remoteContent();
        for (qsizetype n = 0; n < full.size(); ++n) {
            auto job = k.make();
            job->DestinationSettings.DestinationType = dtFTP;
            EXPECT_THROW(k.parseRemote(*job, full.left(n)), DecodeError) << "cut at " << n;
        }
        auto job = k.make();
        EXPECT_NO_THROW(k.parseRemote(*job, full));
    }
}

// Overwrites the int32 at `at`.
QByteArray WithInt32(QByteArray data, qsizetype at, qint32 value)
{
    qToLittleEndian<qint32>(value, data.data() + at);
    return data;
}

TEST_F(DamagedJobFiles, HostileCountsAndOddStrings)
{
    TJob_FilesAndFolders sample(QStringLiteral("J"));
    const QByteArray plain = sample.EncodeLocalContent();
    const qsizetype logListAt = 8 + 25;      // count of LogList
    const qsizetype sourcesAt = 8 + 33;      // count of Sources.List
    const qsizetype extensionsAt = sourcesAt + 4 + 1;
    struct Case {
        const char *what;
        QByteArray plain;
    };
    BinaryWriter odd;
    odd.writeInt32(5);
    odd.writeInt32(1);
    odd.writeDouble(0);
    odd.writeDouble(0);
    odd.writeBool(false);
    odd.writeInt32(0);
    odd.writeInt32(0);
    odd.writeInt32(1);                      // one log entry ...
    odd.writeInt32(1);                      // ... of one code unit ...
    const QByteArray oddTail = odd.data() + QByteArray(1, 'x'); // ... but one byte left
    const Case cases[] = {
        {"huge list count", WithInt32(plain, logListAt, 0x7FFFFFFF)},
        {"negative list count", WithInt32(plain, logListAt, -1)},
        {"huge source count", WithInt32(plain, sourcesAt, 0x40000000)},
        {"huge string length", WithInt32(plain, extensionsAt, 0x7FFFFFFF)},
        {"negative string length", WithInt32(plain, extensionsAt, -5)},
        {"odd UTF-16 byte count", oddTail},
        {"huge version and no content", WithInt32(QByteArray(4, '\0'), 0, 0x7FFFFFFF)},
    };
    const QString path = DataDir() + QStringLiteral("/J.qvd");
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        WritePlain(path, c.plain);
        TJob_FilesAndFolders job(QStringLiteral("J"));
        EXPECT_FALSE(job.LoadLocalJobFile(path));
        EXPECT_EQ(EventTexts(), QStringList{QStringLiteral("Error loading job \"J\". Code: 1")});
    }
}

TEST_F(DamagedJobFiles, HugeCatalogueCountInAppsDataRemoteFile)
{
    BinaryWriter w;
    w.writeInt32(4);
    w.writeInt32(3);
    w.writeInt32(1);
    w.writeInt32(0x7FFFFFFF);
    w.writeString(QStringLiteral("only one"));
    TJob_AppsData job(QStringLiteral("J"));
    EXPECT_THROW(job.ParseRemoteContent(w.data(), true), DecodeError);
    EXPECT_TRUE(job.RemoteAppsData.isEmpty());
}

TEST_F(DamagedJobFiles, UnopenableFileReportsCodeTwo)
{
    const QString path = DataDir() + QStringLiteral("/J.qvd");
    QDir().mkpath(path + QStringLiteral("/inside")); // a folder where the file should be
    for (const KindCase &k : Kinds()) {
        SCOPED_TRACE(k.name);
        EXPECT_FALSE(k.make()->LoadLocalJobFile(path));
        EXPECT_EQ(EventTexts(), QStringList{QStringLiteral("Error loading job \"J\". Code: 2")});
    }
    // A missing file: false, the job as constructed, nothing reported.
    TJob_FilesAndFolders job(QStringLiteral("J"));
    EXPECT_FALSE(job.LoadLocalJobFile(DataDir() + QStringLiteral("/none.qvd")));
    EXPECT_TRUE(EventTexts().isEmpty());
    EXPECT_EQ(job.Settings, TSpecificSettings{});

    // The remote reader reports an unreadable file by throwing.
    TBackupSetState state;
    EXPECT_THROW(job.LoadRemoteJobFile(path, false, state), QvError);
    // A missing remote file is no error.
    EXPECT_TRUE(job.LoadRemoteJobFile(DataDir() + QStringLiteral("/none.qvj"), true, state));
}

TEST_F(DamagedJobFiles, FieldsReadBeforeTheErrorKeepTheirValues)
{
    TJob_FilesAndFolders sample(QStringLiteral("J"));
    FillFilesAndFolders(sample);
    const QByteArray full = sample.EncodeLocalContent();
    // Cut inside the scheduling block: the settings before it are in place.
    const QString path = DataDir() + QStringLiteral("/J.qvd");
    WritePlain(path, full.left(full.size() - 3));
    TJob_FilesAndFolders job(QStringLiteral("J"));
    EXPECT_FALSE(job.LoadLocalJobFile(path));
    EXPECT_EQ(job.Settings, sample.Settings);
    EXPECT_EQ(job.DestinationSettings, sample.DestinationSettings);
    EXPECT_EQ(job.LogList, sample.LogList);
    // The derived fields follow what was read.
    EXPECT_TRUE(job.NewSubfolderIsCreatedForEachBackup);
}

} // namespace

TEST_F(DamagedJobFiles, DamagedLocalFileIsKeptAsideBeforeTheNextSave)
{
    const QString path = DataDir() + QStringLiteral("/J.qvd");
    const QString aside = path + QStringLiteral(".damaged");
    const QString secondAside = path + QStringLiteral(".2.damaged");
    for (const KindCase &k : Kinds()) {
        SCOPED_TRACE(k.name);
        QFile::remove(aside);
        QFile::remove(secondAside);
        const QByteArray full = k.localContent();
        WritePlain(path, full.left(full.size() / 2));
        const QByteArray damaged = TestEnv::ReadFile(path);

        auto job = k.make();
        ASSERT_FALSE(job->LoadLocalJobFile(path));
        EventTexts();
        ASSERT_TRUE(job->SaveLocalJobFile(path));
        EXPECT_EQ(EventTexts(), QStringList{QStringLiteral("The damaged file is kept as: ") + aside});
        EXPECT_EQ(TestEnv::ReadFile(aside), damaged) << "the damaged file, byte for byte";
        EXPECT_TRUE(k.make()->LoadLocalJobFile(path)) << "a whole new file in its place";

        // Kept once: later saves simply write.
        ASSERT_TRUE(job->SaveLocalJobFile(path));
        EXPECT_TRUE(EventTexts().isEmpty());
        EXPECT_FALSE(QFileInfo::exists(secondAside));

        // Damaged again: an earlier damaged copy is never replaced.
        WritePlain(path, full.left(3));
        auto again = k.make();
        ASSERT_FALSE(again->LoadLocalJobFile(path));
        EventTexts();
        ASSERT_TRUE(again->SaveLocalJobFile(path));
        EXPECT_EQ(EventTexts(), QStringList{QStringLiteral("The damaged file is kept as: ") + secondAside});
        EXPECT_EQ(TestEnv::ReadFile(aside), damaged);
    }
}

TEST_F(DamagedJobFiles, IntactOrUnopenableFilesAreNotKeptAside)
{
    const QString path = DataDir() + QStringLiteral("/J.qvd");
    TJob_FilesAndFolders sample(QStringLiteral("J"));
    FillFilesAndFolders(sample);
    ASSERT_TRUE(sample.SaveLocalJobFile(path));
    TJob_FilesAndFolders job(QStringLiteral("J"));
    ASSERT_TRUE(job.LoadLocalJobFile(path));
    ASSERT_TRUE(job.SaveLocalJobFile(path));
    EXPECT_TRUE(EventTexts().isEmpty());
    EXPECT_FALSE(QFileInfo::exists(path + QStringLiteral(".damaged")));

    // A file that cannot be opened is not known to be damaged.
    const QString blocked = DataDir() + QStringLiteral("/K.qvd");
    QDir().mkpath(blocked + QStringLiteral("/inside"));
    TJob_FilesAndFolders unopened(QStringLiteral("K"));
    EXPECT_FALSE(unopened.LoadLocalJobFile(blocked));
    EXPECT_FALSE(unopened.LocalJobFileDamaged.load());
}

TEST_F(DamagedJobFiles, DamagedRemoteFileNamesItselfAndWhatToDo)
{
    for (const KindCase &k : Kinds()) {
        SCOPED_TRACE(k.name);
        const QString path = TempRoot() + QStringLiteral("/J.qvj");
        const QByteArray full = k.remoteContent();
        WritePlain(path, full.left(full.size() - 2));
        auto job = k.make();
        QString message;
        try {
            if (auto *files = qobject_cast<TJob_FilesAndFolders *>(job.get())) {
                TBackupSetState state;
                files->LoadRemoteJobFile(path, true, state);
            } else if (auto *image = qobject_cast<TJob_DriveImage *>(job.get())) {
                image->LoadRemoteJobFile(path, true);
            } else {
                static_cast<TJob_AppsData &>(*job).LoadRemoteJobFile(path, true);
            }
        } catch (const QvError &e) {
            message = e.message();
        }
        EXPECT_TRUE(message.startsWith(QStringLiteral("The job file \"J.qvj\" is damaged: "))) << message.toStdString();
        EXPECT_TRUE(message.contains(QStringLiteral("(read from ") + path + QLatin1Char(')'))) << message.toStdString();
        EXPECT_TRUE(message.contains(QStringLiteral("Restore the job file at the destination from a copy")))
            << message.toStdString();
    }
}
