#include "options/excludeddirs.h"
#include "options/options.h"
#include "base/events.h"
#include "base/textfile.h"
#include "platform/autostart.h"
#include "platform/folders.h"
#include "platform/systemlanguage.h"
#include "support/testenv.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

namespace {
// Sets an environment variable for the lifetime of the object.
class ScopedEnv {
public:
    ScopedEnv(const char *name, const QByteArray &value) : m_name(name), m_had(qEnvironmentVariableIsSet(name)), m_old(qgetenv(name))
    {
        if (value.isNull())
            qunsetenv(name);
        else
            qputenv(name, value);
    }
    ~ScopedEnv()
    {
        if (m_had)
            qputenv(m_name, m_old);
        else
            qunsetenv(m_name);
    }

private:
    const char *m_name;
    bool m_had;
    QByteArray m_old;
};

TEST(ExcludedDirs, ExpansionTable)
{
    ScopedEnv home("QV_TEST_HOME", "/Home/Bob");
    ScopedEnv empty("QV_TEST_EMPTY", "");
    ScopedEnv unset("QV_TEST_UNSET", QByteArray());
    struct Case {
        QString line, expanded;
    };
    const Case cases[] = {
        // A defined variable: replaced and the whole line lower-cased.
        {"%QV_TEST_HOME%/.Cache", "/home/bob/.cache"},
        // The name is matched without regard to letter case in the line, but
        // the variable itself is looked up by the name as written.
        {"%QV_TEST_HOME%/A/%qv_test_home%", "/home/bob/a/%qv_test_home%"},
        // Undefined or empty variables leave the line exactly as it is.
        {"%QV_TEST_UNSET%/Some/Dir", "%QV_TEST_UNSET%/Some/Dir"},
        {"%QV_TEST_EMPTY%/Some/Dir", "%QV_TEST_EMPTY%/Some/Dir"},
        {"%anypath%/Lost+Found", "%anypath%/Lost+Found"},
        // Only lines that begin with a variable are expanded.
        {"/Data/%QV_TEST_HOME%", "/Data/%QV_TEST_HOME%"},
        {"%QV_TEST_HOME", "%QV_TEST_HOME"},
        {"%%/x", "%%/x"},
        {"/Proc", "/Proc"},
    };
    for (const Case &c : cases)
        EXPECT_EQ(ExpandExcludedDirLine(c.line), c.expanded) << c.line.toStdString();
}

TEST(ExcludedDirs, LoadFileSkipsBlankLinesAndExpands)
{
    ScopedEnv home("QV_TEST_HOME", "/Home/Bob");
    const QString path = TestEnv::Root() + QStringLiteral("/excluded.txt");
    TestEnv::WriteFile(path, QByteArray("\xEF\xBB\xBF%QV_TEST_HOME%/Trash\r\n\r\n   \r\n/Proc\r\n%NOPE_NOT_SET%/X"));
    EXPECT_EQ(LoadExcludedDirs(path), (QStringList{"/home/bob/trash", "/Proc", "%NOPE_NOT_SET%/X"}));
    EXPECT_TRUE(LoadExcludedDirs(TestEnv::Root() + QStringLiteral("/no-such.txt")).isEmpty());
}

TEST(ExcludedDirs, ShippedFileIsFound)
{
    ScopedEnv bin("QV_BIN_DIR", TestEnv::BinDir().toUtf8());
    const QStringList dirs = DefaultExcludedDirs();
    EXPECT_TRUE(dirs.contains(QStringLiteral("/proc")));
    EXPECT_TRUE(dirs.contains(QDir::homePath().toLower() + QStringLiteral("/.cache"))) << dirs.join(QLatin1Char('|')).toStdString();
}

TEST(DefaultOptions, EveryFieldGetsItsDefault)
{
    ScopedEnv bin("QV_BIN_DIR", TestEnv::BinDir().toUtf8());
    QFile::remove(Autostart::EntryPath());
    PendingEvents::TakeAll();

    TOptions o;
    o.General.ProcessPriority = 3;
    o.General.strProtectConfiguration_Password = QStringLiteral("x");
    o.Logging.MaxNumberOfLogsForEachJob = 1;
    o.Processing.IfDestinationNotAvailable_Then = 1;
    o.Email.SMTPHost = QStringLiteral("host");
    o.Proxy.Enabled = true;
    o.Language.iLanguage = 2;
    o.FTPAccounts = {{4, QStringLiteral("acc"), QStringLiteral("h"), 21, QString(), QString(), true, false}};
    o.LastFTPAccountID = 4;
    SetDefaultOptions(o);

    EXPECT_EQ(o.Language.LanguageOfInterface, SystemLanguageCode());
    EXPECT_EQ(o.Language.iLanguage, 0);
    EXPECT_TRUE(o.General.RunProgramAtLogon);
    EXPECT_TRUE(Autostart::IsSet());
    EXPECT_EQ(o.General.PathForTempFiles, QDir::cleanPath(QDir::tempPath()) + QStringLiteral("/QuorvaneTmp"));
    EXPECT_EQ(o.General.PathForTempFiles, qEnvironmentVariable("TMPDIR") + QStringLiteral("/QuorvaneTmp"));
    EXPECT_EQ(o.Logging.PathForLogFiles, Folders::DocumentsFolder() + QStringLiteral("/Quorvane"));
    EXPECT_TRUE(o.General.BlockSleepModeifJobIsScheduled);
    EXPECT_FALSE(o.General.ProtectConfigurationbyPassword);
    EXPECT_TRUE(o.General.strProtectConfiguration_Password.isEmpty());
    EXPECT_EQ(o.General.ProcessPriority, 1);
    EXPECT_EQ(o.Logging.MaxNumberOfLogsForEachJob, 20);
    EXPECT_EQ(o.Logging.MaxNumberOfLinesInHistory, 500);
    EXPECT_EQ(o.Logging.MaxNumberOfLinesInEventsLog, 50);
    EXPECT_EQ(o.Processing, TProcessingOptions());
    EXPECT_EQ(o.Processing.IfDestinationNotAvailable_Retry_Times, 5);
    EXPECT_EQ(o.Processing.IfDestinationNotAvailable_Wait_Sec, 60);
    EXPECT_TRUE(o.Processing.RemovePreviousBackupIfCancelled);
    EXPECT_EQ(o.Email, TEmailOptions());
    EXPECT_EQ(o.Proxy, TProxyOptions());
    EXPECT_TRUE(o.ExcludedDirs.contains(QStringLiteral("/proc")));
    // The FTP accounts and the last ID given out survive.
    ASSERT_EQ(o.FTPAccounts.size(), 1);
    EXPECT_EQ(o.LastFTPAccountID, 4);
    EXPECT_TRUE(PendingEvents::TakeAll().isEmpty());
}

TEST(DefaultOptions, RunAtLogonIsFalseWhenTheEntryCannotBeWritten)
{
    const QString dir = QFileInfo(Autostart::EntryPath()).absolutePath();
    QDir(dir).removeRecursively();
    TestEnv::WriteFile(dir, "blocks the folder");
    PendingEvents::TakeAll();
    TOptions o;
    SetDefaultOptions(o);
    EXPECT_FALSE(o.General.RunProgramAtLogon);
    const QStringList events = PendingEvents::TakeAll();
    ASSERT_EQ(events.size(), 1);
    EXPECT_TRUE(events[0].endsWith(QStringLiteral(": Error writing to Registry. Make sure you have the rights.")));
    QFile::remove(dir);
}

TEST(DefaultOptions, LanguageIsSelectedInALoadedTable)
{
    TOptions o;
    const QString code = SystemLanguageCode();
    o.Language.Translations = {{"English", "en", "Cancel"}, {"Other", code == QLatin1String("en") ? "xx" : code, "Abbrechen"}};
    o.Language.RebuildIndex();
    SetDefaultOptions(o);
    EXPECT_EQ(o.Language.iLanguage, code == QLatin1String("en") ? 0 : 1);
    EXPECT_EQ(o.Language.Translations.size(), 2);
}

TEST(FTPAccounts, IdsAreNeverReused)
{
    TOptions o;
    EXPECT_EQ(AddFTPAccount(o, {}), 0);
    EXPECT_EQ(AddFTPAccount(o, {}), 1);
    EXPECT_EQ(AddFTPAccount(o, {}), 2);
    EXPECT_EQ(o.FTPAccounts[2].ID, 3);
    o.FTPAccounts.removeAt(2);
    TFTPAccount fresh;
    fresh.AccName = QStringLiteral("new");
    const int i = AddFTPAccount(o, fresh);
    EXPECT_EQ(o.FTPAccounts[i].ID, 4);
    EXPECT_EQ(o.FTPAccounts[i].AccName, QStringLiteral("new"));
    EXPECT_EQ(o.LastFTPAccountID, 4);
}

TEST(FTPAccounts, LookupFindsTheLastAccountWithTheId)
{
    QVector<TFTPAccount> accounts(4);
    accounts[0].ID = 1;
    accounts[1].ID = 2;
    accounts[2].ID = 1;
    accounts[3].ID = 3;
    EXPECT_EQ(FindFTPAccountIndex(accounts, 1), 2);
    EXPECT_EQ(FindFTPAccountIndex(accounts, 2), 1);
    EXPECT_EQ(FindFTPAccountIndex(accounts, 3), 3);
    EXPECT_EQ(FindFTPAccountIndex(accounts, 4), -1);
    EXPECT_EQ(FindFTPAccountIndex(accounts, -1), -1);
    EXPECT_EQ(FindFTPAccountIndex(QVector<TFTPAccount>(), 1), -1);
}
} // namespace
