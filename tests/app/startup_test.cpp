// The start-up order of the core: data folder, legacy list, options, cloud
// credentials, translations, temporary and log folders, priority, jobs.
#include "apptestfixture.h"

#include "base/binarycodec.h"
#include "base/cloudcredentials.h"
#include "base/scrambledfile.h"
#include "base/textfile.h"
#include "platform/autostart.h"
#include "platform/folders.h"
#include "support/testenv.h"

#include <QDir>
#include <QFileInfo>
#include <QSignalSpy>

namespace {
bool anyEventIs(const QStringList &events, const QString &text)
{
    for (const QString &e : events) {
        if (e.endsWith(QStringLiteral(": ") + text))
            return true;
    }
    return false;
}

class StartUp : public CoreTest {
protected:
    void SetUp() override
    {
        CoreTest::SetUp();
        // Files "beside the program" come from a private folder of this test.
        m_shipped = PrivateFolder() + QStringLiteral("/shipped");
        QDir().mkpath(m_shipped);
        m_oldBin = qgetenv("QV_BIN_DIR");
        qputenv("QV_BIN_DIR", QFile::encodeName(m_shipped));
        QFile::copy(QFile::decodeName(m_oldBin) + QStringLiteral("/transl.dt"), m_shipped + QStringLiteral("/transl.dt"));
        // A configuration folder that does not exist yet (a fresh account).
        m_config = PrivateFolder() + QStringLiteral("/fresh-config");
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_config));
    }
    void TearDown() override
    {
        qputenv("QV_BIN_DIR", m_oldBin);
        SetCloudCredentials(TCloudCredentials());
        CoreTest::TearDown();
    }
    QString m_shipped;
    QString m_config;
    QByteArray m_oldBin;
};
} // namespace

TEST_F(StartUp, FreshAccountGetsItsFoldersWithEvents)
{
    const QString data = Folders::DataFolder();
    ASSERT_FALSE(QFileInfo::exists(data));
    ASSERT_TRUE(core->Initialise());
    EXPECT_TRUE(QFileInfo(data).isDir()) << "created with its missing parent";
    EXPECT_FALSE(core->OptionsWereLoaded());
    const QStringList events = core->Events();
    EXPECT_TRUE(anyEventIs(events, QStringLiteral("Application directory is created: ") + data));
    EXPECT_TRUE(QFileInfo(Options().General.PathForTempFiles).isDir());
    EXPECT_TRUE(QFileInfo(Options().Logging.PathForLogFiles).isDir());
    EXPECT_TRUE(anyEventIs(events, QStringLiteral("Temporary directory is created: ") + Options().General.PathForTempFiles));
    EXPECT_TRUE(anyEventIs(events, QStringLiteral("Log directory is created: ") + Options().Logging.PathForLogFiles));
    EXPECT_FALSE(anyEventIs(events, QStringLiteral("Backup jobs are loaded."))) << "there is no jobs list yet";
    EXPECT_FALSE(AppState::ApplicationClosing.load());

    // A second start finds everything in place and says nothing about it.
    ApplicationCore again(rec.Services());
    ASSERT_TRUE(again.Initialise());
    for (const QString &e : again.Events())
        EXPECT_FALSE(e.contains(QStringLiteral("is created"))) << e.toStdString();
}

TEST_F(StartUp, DataFolderThatCannotBeCreatedEndsTheStart)
{
    // A regular file where the configuration folder should be: no one, root
    // included, can create a folder below it.
    TestEnv::WriteFile(m_config, "not a folder");
    QSignalSpy dialog(core.get(), &ApplicationCore::ErrorMessage);
    EXPECT_FALSE(core->Initialise());
    EXPECT_TRUE(AppState::ApplicationClosing.load());
    const QString data = Folders::DataFolder();
    EXPECT_TRUE(anyEventIs(core->Events(), QStringLiteral("ERROR: Unable to create application directory: ") + data));
    ASSERT_EQ(dialog.count(), 1);
    EXPECT_EQ(dialog[0][0].toString(),
              QStringLiteral("ERROR: Unable to create application directory:") + data +
                  QStringLiteral("\n\nPlease make sure the directory is accessible, and restart the program."));
}

TEST_F(StartUp, UserChosenFoldersAreCreatedOneLevelOnly)
{
    QDir().mkpath(Folders::DataFolder());
    TOptions options;
    SetDefaultOptions(options);
    const QString blocked = PrivateFolder() + QStringLiteral("/blocked-file");
    TestEnv::WriteFile(blocked, "x");
    options.General.PathForTempFiles = PrivateFolder() + QStringLiteral("/missing-parent/tmp");
    options.Logging.PathForLogFiles = blocked + QStringLiteral("/logs");
    ASSERT_TRUE(SaveOptions(options, OptionsFilePath()));

    QSignalSpy dialog(core.get(), &ApplicationCore::ErrorMessage);
    ASSERT_TRUE(core->Initialise()) << "the program goes on";
    EXPECT_TRUE(core->OptionsWereLoaded());
    EXPECT_FALSE(QFileInfo::exists(options.General.PathForTempFiles));
    EXPECT_TRUE(anyEventIs(core->Events(), QStringLiteral("ERROR: Unable to create temporary directory: ") +
                                               options.General.PathForTempFiles));
    EXPECT_TRUE(anyEventIs(core->Events(),
                           QStringLiteral("ERROR: Unable to create log directory: ") + options.Logging.PathForLogFiles));
    EXPECT_EQ(dialog.count(), 2);
}

TEST_F(StartUp, JobsAreLoadedInListOrder)
{
    QDir().mkpath(Folders::DataFolder());
    for (const char *name : {"Second", "First"}) {
        TJob_FilesAndFolders job{QLatin1String(name)};
        ASSERT_TRUE(job.SaveLocalJobFile(job.LocalJobFilePath()));
    }
    ASSERT_TRUE(WriteTextLines(Folders::DataFolder() + QStringLiteral("/jobslist.qvl"),
                               {QStringLiteral("Second"), QStringLiteral("Gone"), QStringLiteral("First")}));
    ASSERT_TRUE(core->Initialise());
    EXPECT_EQ(core->Jobs().Names(), (QStringList{QStringLiteral("Second"), QStringLiteral("First")}));
    EXPECT_TRUE(anyEventIs(core->Events(), QStringLiteral("Backup jobs are loaded.")));
    EXPECT_EQ(AppState::JobFileExtension(), QStringLiteral(".qvj"));
}

TEST_F(StartUp, DamagedJobsListIsAnEventWithWhatToDoAndTheProgramGoesOn)
{
    QDir().mkpath(Folders::DataFolder());
    TJob_FilesAndFolders job{QStringLiteral("Docs")};
    ASSERT_TRUE(job.SaveLocalJobFile(job.LocalJobFilePath()));
    const QString list = Folders::DataFolder() + QStringLiteral("/jobslist.qvl");
    TestEnv::WriteFile(list, QByteArray("Docs\r\n\xFF\xFE\r\n"));
    ASSERT_TRUE(core->Initialise());
    EXPECT_EQ(core->Jobs().Count(), 0);
    const QString damage = core->Jobs().ListDamage();
    EXPECT_TRUE(damage.startsWith(QStringLiteral("Error: unable to read the jobs list: ") + list +
                                  QStringLiteral(" (line 2 is not UTF-8 text). Restore it from a copy")))
        << damage.toStdString();
    EXPECT_TRUE(anyEventIs(core->Events(), damage));
    EXPECT_FALSE(anyEventIs(core->Events(), QStringLiteral("Backup jobs are loaded.")));
}

TEST_F(StartUp, CoreAloneLeavesTheLogonEntryAsItIs)
{
    // What the console program starts: no options file, so the defaults.
    ASSERT_TRUE(core->Initialise());
    EXPECT_FALSE(core->OptionsWereLoaded());
    EXPECT_FALSE(QFileInfo::exists(Autostart::EntryPath())) << "not written";
    EXPECT_FALSE(Options().General.RunProgramAtLogon);

    const QByteArray own("[Desktop Entry]\nType=Application\nExec=/opt/quorvane --hide\n");
    TestEnv::WriteFile(Autostart::EntryPath(), own);
    ApplicationCore again(rec.Services());
    ASSERT_TRUE(again.Initialise());
    EXPECT_EQ(TestEnv::ReadFile(Autostart::EntryPath()), own) << "neither replaced nor removed";
    EXPECT_TRUE(Options().General.RunProgramAtLogon) << "the option tells what is there";
}

TEST_F(StartUp, LegacyJobsListSwitchesTheJobFileExtension)
{
    QDir().mkpath(Folders::DataFolder());
    TJob_FilesAndFolders job{QStringLiteral("Old")};
    ASSERT_TRUE(job.SaveLocalJobFile(job.LocalJobFilePath()));
    ASSERT_TRUE(WriteTextLines(Folders::DataFolder() + QStringLiteral("/jobs.qvl"), {QStringLiteral("Old")}));
    ASSERT_TRUE(core->Initialise());
    EXPECT_EQ(AppState::JobFileExtension(), QStringLiteral(".qvk"));
    EXPECT_EQ(core->Jobs().Names(), QStringList{QStringLiteral("Old")});
}

TEST_F(StartUp, MissingTranslationFileIsAnEventAndEnglishIsUsed)
{
    QFile::remove(m_shipped + QStringLiteral("/transl.dt"));
    ASSERT_TRUE(core->Initialise());
    const QString expected = QStringLiteral("ERROR: Cannot find translation file:") + Folders::ShippedFile(QStringLiteral("transl.dt"));
    EXPECT_TRUE(anyEventIs(core->Events(), expected));
    EXPECT_EQ(Options().Language.iLanguage, 0);
}

// --- the cloud credentials file ---

namespace {
QByteArray credentialStrings(int count)
{
    BinaryWriter w;
    for (int i = 0; i < count; ++i)
        w.writeString(QStringLiteral("value %1").arg(i));
    return w.data();
}
} // namespace

TEST_F(StartUp, CloudCredentialsAreReadWhenPresent)
{
    ASSERT_TRUE(ScrambledFile::Write(m_shipped + QStringLiteral("/mcs.dt"), credentialStrings(8)));
    ASSERT_TRUE(core->Initialise());
    const TCloudCredentials c = CloudCredentials();
    EXPECT_EQ(c.DropboxClientId(), QStringLiteral("value 0"));
    EXPECT_EQ(c.OneDriveClientId(), QStringLiteral("value 4"));
    EXPECT_EQ(c.Strings[7], QStringLiteral("value 7"));
    for (const QString &e : core->Events())
        EXPECT_FALSE(e.contains(QStringLiteral("mcs.dt"))) << e.toStdString();
}

TEST_F(StartUp, MissingCloudCredentialsAreSilent)
{
    ASSERT_TRUE(core->Initialise());
    EXPECT_TRUE(CloudCredentials().DropboxClientId().isEmpty());
    for (const QString &e : core->Events())
        EXPECT_FALSE(e.contains(QStringLiteral("mcs.dt"))) << e.toStdString();
}

TEST_F(StartUp, TruncatedCloudCredentialsKeepWhatWasReadAndReportCodeOne)
{
    QByteArray plain = credentialStrings(3);
    plain.append(char(100)); // a count that the rest cannot hold
    plain.append(3, '\0');
    ASSERT_TRUE(ScrambledFile::Write(m_shipped + QStringLiteral("/mcs.dt"), plain));
    ASSERT_TRUE(core->Initialise());
    EXPECT_TRUE(anyEventIs(core->Events(), QStringLiteral("Error loading mcs.dt. Code: 1")));
    const TCloudCredentials c = CloudCredentials();
    EXPECT_EQ(c.GoogleDriveClientId(), QStringLiteral("value 2"));
    EXPECT_TRUE(c.GoogleDriveClientSecret().isEmpty());
}

TEST_F(StartUp, UnopenableCloudCredentialsReportCodeTwo)
{
    // A folder by that name exists but cannot be opened as a file.
    QDir().mkpath(m_shipped + QStringLiteral("/mcs.dt"));
    ASSERT_TRUE(core->Initialise());
    EXPECT_TRUE(anyEventIs(core->Events(), QStringLiteral("Error loading mcs.dt. Code: 2")));
}
