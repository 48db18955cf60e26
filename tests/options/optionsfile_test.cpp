#include "options/options.h"
#include "options/optionscodec.h"
#include "base/binarycodec.h"
#include "base/events.h"
#include "base/scrambledfile.h"
#include "support/testenv.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>

namespace {
// Options with a non-default value in every stored field.
TOptions sampleOptions()
{
    TOptions o;
    o.Language.LanguageOfInterface = QStringLiteral("de");
    o.General.RunProgramAtLogon = true;
    o.General.BlockSleepModeifJobIsScheduled = false;
    o.General.ProtectConfigurationbyPassword = true;
    o.General.strProtectConfiguration_Password = QStringLiteral("pässwörd");
    o.General.ProcessPriority = 2;
    o.General.PathForTempFiles = QStringLiteral("/var/tmp/QuorvaneTmp");
    o.Logging.MaxNumberOfLogsForEachJob = 7;
    o.Logging.MaxNumberOfLinesInHistory = 123;
    o.Logging.MaxNumberOfLinesInEventsLog = 9;
    o.Logging.DontLogCopyingInternalFiles = true;
    o.Logging.PathForLogFiles = QStringLiteral("/home/u/Logs");
    o.Processing.RunOnlyOneJobAtATime = true;
    o.Processing.IfDestinationNotAvailable_Retry_Times = 3;
    o.Processing.IfDestinationNotAvailable_Wait_Sec = 15;
    o.Processing.IfDestinationNotAvailable_Then = 1;
    o.Processing.PreventOtherAppsFromWritingDuringZipping = true;
    o.Processing.RemovePreviousBackupIfCancelled = false;
    o.Processing.DontUseBufferingForCopyOperations = true;
    o.Processing.SkipHiddenSystemFiles = true;
    o.Processing.SkipLockedFiles = true;
    o.ExcludedDirs = {QStringLiteral("/proc"), QString(), QStringLiteral("%anypath%/lost+found")};
    o.Email.SendEmailNotificationWhenFinishedBackup = true;
    o.Email.SendOnlyIfJobIscancelledDueToErrors = true;
    o.Email.RecipientEmail = QStringLiteral("me@example.org");
    o.Email.SMTPHost = QStringLiteral("smtp.example.org");
    o.Email.SMTPPort = QStringLiteral("587");
    o.Email.Username = QString();
    o.Email.Password = QStringLiteral("smtp-secret");
    o.Email.Security = 2;
    o.Proxy.Enabled = true;
    o.Proxy.PrType = 2;
    o.Proxy.Host = QStringLiteral("127.0.0.1");
    o.Proxy.Port = QStringLiteral("1080");
    o.Proxy.Username = QStringLiteral("proxy-user");
    o.Proxy.Password = QString();
    o.LastFTPAccountID = 5;
    o.FTPAccounts = {
        {2, QStringLiteral("Home NAS"), QStringLiteral("nas.local"), 2121, QStringLiteral("bob"), QStringLiteral("s3cret"), false, true},
        {5, QString(), QString(), 21, QString(), QString(), true, false},
    };
    return o;
}

void expectSameStoredFields(const TOptions &a, const TOptions &b)
{
    EXPECT_EQ(a.Language.LanguageOfInterface, b.Language.LanguageOfInterface);
    EXPECT_EQ(a.General, b.General);
    EXPECT_EQ(a.Logging, b.Logging);
    EXPECT_EQ(a.Processing, b.Processing);
    EXPECT_EQ(a.ExcludedDirs, b.ExcludedDirs);
    EXPECT_EQ(a.Email, b.Email);
    EXPECT_EQ(a.Proxy, b.Proxy);
    EXPECT_EQ(a.LastFTPAccountID, b.LastFTPAccountID);
    EXPECT_EQ(a.FTPAccounts, b.FTPAccounts);
}

// Writes the plain content the way a program of the given format version did.
// `storedPrType` is written as it stands (older versions stored 0 for no proxy
// and otherwise the type plus one).
QByteArray legacyContent(qint32 version, const TOptions &o, qint32 storedPrType)
{
    BinaryWriter w;
    w.writeInt32(version);
    w.writeString(o.Language.LanguageOfInterface);
    w.writeBool(o.General.RunProgramAtLogon);
    w.writeBool(o.General.ProtectConfigurationbyPassword);
    if (version >= 8)
        w.writeBool(o.General.BlockSleepModeifJobIsScheduled);
    w.writeString(o.General.strProtectConfiguration_Password);
    w.writeInt32(o.General.ProcessPriority);
    w.writeString(o.General.PathForTempFiles);
    w.writeInt32(o.Logging.MaxNumberOfLogsForEachJob);
    w.writeInt32(o.Logging.MaxNumberOfLinesInHistory);
    w.writeInt32(o.Logging.MaxNumberOfLinesInEventsLog);
    w.writeBool(o.Logging.DontLogCopyingInternalFiles);
    w.writeString(o.Logging.PathForLogFiles);
    w.writeBool(o.Processing.RunOnlyOneJobAtATime);
    w.writeInt32(o.Processing.IfDestinationNotAvailable_Retry_Times);
    w.writeInt32(o.Processing.IfDestinationNotAvailable_Wait_Sec);
    if (version >= 6)
        w.writeInt32(o.Processing.IfDestinationNotAvailable_Then);
    if (version >= 7)
        w.writeBool(o.Processing.RemovePreviousBackupIfCancelled);
    w.writeBool(o.Processing.PreventOtherAppsFromWritingDuringZipping);
    w.writeBool(o.Processing.DontUseBufferingForCopyOperations);
    w.writeBool(o.Processing.SkipHiddenSystemFiles);
    if (version >= 3)
        w.writeBool(o.Processing.SkipLockedFiles);
    if (version >= 5)
        w.writeStringList(o.ExcludedDirs);
    w.writeBool(o.Email.SendEmailNotificationWhenFinishedBackup);
    w.writeBool(o.Email.SendOnlyIfJobIscancelledDueToErrors);
    for (const QString &s : {o.Email.RecipientEmail, o.Email.SMTPHost, o.Email.SMTPPort, o.Email.Username, o.Email.Password})
        w.writeString(s);
    w.writeInt32(o.Email.Security);
    w.writeInt32(storedPrType);
    if (version >= 4)
        w.writeBool(o.Proxy.Enabled);
    for (const QString &s : {o.Proxy.Host, o.Proxy.Port, o.Proxy.Username, o.Proxy.Password})
        w.writeString(s);
    w.writeInt32(o.LastFTPAccountID);
    w.writeInt32(static_cast<qint32>(o.FTPAccounts.size()));
    for (const TFTPAccount &a : o.FTPAccounts) {
        w.writeString(a.AccName);
        w.writeInt32(a.ID);
        w.writeString(a.Host);
        w.writeString(a.Username);
        w.writeString(a.Password);
        w.writeInt32(a.Port);
        w.writeBool(a.PassiveMode);
        w.writeBool(a.FTPS);
    }
    return w.data();
}

class OptionsFileTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_dir = TestEnv::Root() + QStringLiteral("/options-") +
                QString::fromLatin1(::testing::UnitTest::GetInstance()->current_test_info()->name());
        QDir(m_dir).removeRecursively();
        ASSERT_TRUE(QDir().mkpath(m_dir));
        m_path = m_dir + QStringLiteral("/options.qvo");
        PendingEvents::TakeAll();
    }

    // Event texts without their time stamps.
    static QStringList events()
    {
        QStringList texts;
        for (const QString &line : PendingEvents::TakeAll())
            texts << line.mid(line.indexOf(QStringLiteral(": ")) + 2);
        return texts;
    }

    QString m_dir;
    QString m_path;
};

const QString kCode1 = QStringLiteral("Error loading options. Code: 1");
const QString kCode2 = QStringLiteral("Error loading options. Code: 2");

TEST_F(OptionsFileTest, SaveLoadSaveIsByteExact)
{
    const TOptions in = sampleOptions();
    QString error;
    ASSERT_TRUE(SaveOptions(in, m_path, &error)) << error.toStdString();
    const QByteArray first = TestEnv::ReadFile(m_path);

    TOptions loaded;
    ASSERT_TRUE(LoadOptions(loaded, m_path));
    expectSameStoredFields(loaded, in);

    const QString second = m_dir + QStringLiteral("/again.qvo");
    ASSERT_TRUE(SaveOptions(loaded, second));
    EXPECT_EQ(TestEnv::ReadFile(second), first);
    EXPECT_TRUE(events().isEmpty());
}

TEST_F(OptionsFileTest, WritesVersion8InTheDocumentedOrder)
{
    const TOptions in = sampleOptions();
    ASSERT_TRUE(SaveOptions(in, m_path));
    const QByteArray plain = ScrambledFile::Unscramble(TestEnv::ReadFile(m_path));
    EXPECT_EQ(plain, legacyContent(8, in, in.Proxy.PrType));
}

TEST_F(OptionsFileTest, DefaultRecordAndEmptyStringsRoundTrip)
{
    TOptions empty;
    ASSERT_TRUE(SaveOptions(empty, m_path));
    TOptions loaded = sampleOptions();
    ASSERT_TRUE(LoadOptions(loaded, m_path));
    expectSameStoredFields(loaded, empty);
    EXPECT_TRUE(loaded.FTPAccounts.isEmpty());
}

TEST_F(OptionsFileTest, NewFileIsPrivateToItsOwner)
{
    ASSERT_TRUE(SaveOptions(sampleOptions(), m_path));
    EXPECT_EQ(QFile::permissions(m_path) & ~(QFile::ReadUser | QFile::WriteUser | QFile::ReadOwner | QFile::WriteOwner),
              QFileDevice::Permissions());
}

TEST_F(OptionsFileTest, OlderVersionsGetTheDefaultsOfMissingFields)
{
    TOptions stored = sampleOptions();
    struct Case {
        qint32 version;
        qint32 storedPrType;
        bool blockSleep;
        qint32 then;
        bool removeIfCancelled;
        bool skipLocked;
        QStringList excluded;
        bool proxyEnabled;
        qint32 prType;
    };
    const QStringList all = stored.ExcludedDirs;
    const Case cases[] = {
        {8, 2, false, 1, false, true, all, true, 2},
        {7, 2, true, 1, false, true, all, true, 2},
        {6, 2, true, 1, true, true, all, true, 2},
        {5, 2, true, 0, true, true, all, true, 2},
        {4, 1, true, 0, true, true, {}, true, 1},
        // Before version 4 the type is stored plus one and 0 means no proxy.
        {3, 2, true, 0, true, true, {}, true, 1},
        {3, 3, true, 0, true, true, {}, true, 2},
        {3, 1, true, 0, true, true, {}, true, 0},
        {3, 0, true, 0, true, true, {}, false, 0},
        {2, 0, true, 0, true, false, {}, false, 0},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(::testing::Message() << "version " << c.version << ", stored type " << c.storedPrType);
        ASSERT_TRUE(ScrambledFile::Write(m_path, legacyContent(c.version, stored, c.storedPrType)));
        TOptions o;
        o.General.BlockSleepModeifJobIsScheduled = !c.blockSleep;
        o.Processing.RemovePreviousBackupIfCancelled = !c.removeIfCancelled;
        o.ExcludedDirs = {QStringLiteral("left over")};
        ASSERT_TRUE(LoadOptions(o, m_path));
        EXPECT_EQ(o.General.BlockSleepModeifJobIsScheduled, c.blockSleep);
        EXPECT_EQ(o.Processing.IfDestinationNotAvailable_Then, c.then);
        EXPECT_EQ(o.Processing.RemovePreviousBackupIfCancelled, c.removeIfCancelled);
        EXPECT_EQ(o.Processing.SkipLockedFiles, c.skipLocked);
        EXPECT_EQ(o.ExcludedDirs, c.excluded);
        EXPECT_EQ(o.Proxy.Enabled, c.proxyEnabled);
        EXPECT_EQ(o.Proxy.PrType, c.prType);
        // Fields present in every version are read as stored.
        EXPECT_EQ(o.General.strProtectConfiguration_Password, stored.General.strProtectConfiguration_Password);
        EXPECT_EQ(o.Email, stored.Email);
        EXPECT_EQ(o.Proxy.Host, stored.Proxy.Host);
        EXPECT_EQ(o.FTPAccounts, stored.FTPAccounts);
        EXPECT_EQ(o.LastFTPAccountID, stored.LastFTPAccountID);

        // Saving writes the current version.
        ASSERT_TRUE(SaveOptions(o, m_path));
        BinaryReader r(ScrambledFile::Unscramble(TestEnv::ReadFile(m_path)));
        EXPECT_EQ(r.readInt32(), 8);
    }
    EXPECT_TRUE(events().isEmpty());
}

TEST_F(OptionsFileTest, MissingFileFailsWithoutEvent)
{
    TOptions o;
    EXPECT_FALSE(LoadOptions(o, m_path));
    EXPECT_TRUE(events().isEmpty());
}

TEST_F(OptionsFileTest, FileThatCannotBeOpenedIsCode2)
{
    ASSERT_TRUE(QDir().mkpath(m_path));
    TOptions o;
    EXPECT_FALSE(LoadOptions(o, m_path));
    EXPECT_EQ(events(), QStringList{kCode2});
}

TEST_F(OptionsFileTest, TruncationAtEveryOffsetIsCode1)
{
    const TOptions stored = sampleOptions();
    const QByteArray plain = OptionsCodec::Encode(stored);
    for (qsizetype len = 0; len < plain.size(); ++len) {
        ASSERT_TRUE(ScrambledFile::Write(m_path, plain.left(len)));
        TOptions o;
        EXPECT_FALSE(LoadOptions(o, m_path)) << "length " << len;
        EXPECT_EQ(events(), QStringList{kCode1}) << "length " << len;
        // Only whole FTP accounts are kept.
        for (const TFTPAccount &a : o.FTPAccounts)
            EXPECT_TRUE(stored.FTPAccounts.contains(a)) << "length " << len;
    }
}

TEST_F(OptionsFileTest, FieldsReadBeforeAFailureKeepTheirValues)
{
    const TOptions stored = sampleOptions();
    QByteArray plain = OptionsCodec::Encode(stored);
    // Cut inside the last account: everything before it has been read.
    plain.chop(3);
    ASSERT_TRUE(ScrambledFile::Write(m_path, plain));
    TOptions o;
    EXPECT_FALSE(LoadOptionsOrDefaults(o, m_path, LogonEntry::Write));
    EXPECT_EQ(events(), QStringList{kCode1});
    // The defaults replace the settings but keep the FTP accounts.
    EXPECT_EQ(o.LastFTPAccountID, stored.LastFTPAccountID);
    ASSERT_EQ(o.FTPAccounts.size(), 1);
    EXPECT_EQ(o.FTPAccounts[0], stored.FTPAccounts[0]);
    EXPECT_EQ(o.Email, TEmailOptions());
    EXPECT_EQ(o.Processing, TProcessingOptions());
}

TEST_F(OptionsFileTest, DamagedFileIsKeptAsideBeforeTheNextSave)
{
    const QByteArray plain = OptionsCodec::Encode(sampleOptions());
    ASSERT_TRUE(ScrambledFile::Write(m_path, plain.left(plain.size() / 2)));
    const QByteArray damaged = TestEnv::ReadFile(m_path);
    TOptions o;
    ASSERT_FALSE(LoadOptions(o, m_path));
    EXPECT_EQ(events(), QStringList{kCode1});

    const QString aside = m_path + QStringLiteral(".damaged");
    QString error;
    ASSERT_TRUE(SaveOptions(sampleOptions(), m_path, &error)) << error.toStdString();
    EXPECT_EQ(events(), QStringList{QStringLiteral("The damaged file is kept as: ") + aside});
    EXPECT_EQ(TestEnv::ReadFile(aside), damaged) << "the damaged file, byte for byte";
    TOptions loaded;
    ASSERT_TRUE(LoadOptions(loaded, m_path));
    expectSameStoredFields(loaded, sampleOptions());

    // Kept once; an intact file is simply replaced.
    ASSERT_TRUE(SaveOptions(TOptions(), m_path));
    EXPECT_TRUE(events().isEmpty());
    EXPECT_FALSE(QFileInfo::exists(m_path + QStringLiteral(".2.damaged")));
    EXPECT_EQ(TestEnv::ReadFile(aside), damaged);
}

TEST_F(OptionsFileTest, TrailingBytesAreIgnored)
{
    const TOptions stored = sampleOptions();
    ASSERT_TRUE(ScrambledFile::Write(m_path, OptionsCodec::Encode(stored) + QByteArray("\x01\x02\x03garbage", 10)));
    TOptions o;
    ASSERT_TRUE(LoadOptions(o, m_path));
    expectSameStoredFields(o, stored);
    EXPECT_TRUE(events().isEmpty());
}

TEST_F(OptionsFileTest, MalformedContentIsCode1)
{
    const TOptions stored = sampleOptions();
    auto withVersion = [&](qint32 v) {
        QByteArray p = OptionsCodec::Encode(stored);
        BinaryWriter w;
        w.writeInt32(v);
        p.replace(0, 4, w.data());
        return p;
    };
    // An account count far beyond what the content can hold.
    QByteArray hugeCount = legacyContent(8, TOptions(), 0);
    hugeCount.chop(4);
    hugeCount += QByteArray::fromHex("ffffff7f");

    const std::pair<const char *, QByteArray> cases[] = {
        {"version 0", withVersion(0)},
        {"negative version", withVersion(-8)},
        {"unknown newer version", withVersion(9)},
        {"huge account count", hugeCount},
        {"negative account count", hugeCount.left(hugeCount.size() - 4) + QByteArray::fromHex("ffffffff")},
        {"random bytes", QByteArray("\x08\x00\x00\x00\xff\xff\xff\x7f rest", 13)},
    };
    for (const auto &[name, content] : cases) {
        ASSERT_TRUE(ScrambledFile::Write(m_path, content));
        TOptions o;
        EXPECT_FALSE(LoadOptions(o, m_path)) << name;
        EXPECT_EQ(events(), QStringList{kCode1}) << name;
    }
}

TEST_F(OptionsFileTest, SaveIntoMissingFolderFails)
{
    QString error;
    EXPECT_FALSE(SaveOptions(sampleOptions(), m_dir + QStringLiteral("/missing/options.qvo"), &error));
    EXPECT_FALSE(error.isEmpty());
}

TEST(OptionsFilePath, IsInTheDataFolder)
{
    EXPECT_EQ(OptionsFilePath(), qEnvironmentVariable("XDG_CONFIG_HOME") + QStringLiteral("/Quorvane/options.qvo"));
}
} // namespace
