#include "base/events.h"
#include "platform/autostart.h"
#include "platform/folders.h"
#include "support/testenv.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {
// Each test gets a configuration folder of its own.
class AutostartTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_config.isValid());
        m_saved = qgetenv("XDG_CONFIG_HOME");
        qputenv("XDG_CONFIG_HOME", m_config.path().toUtf8());
        PendingEvents::TakeAll();
    }
    void TearDown() override { qputenv("XDG_CONFIG_HOME", m_saved); }

    QString autostartDir() const { return m_config.path() + QStringLiteral("/autostart"); }
    static QStringList events()
    {
        QStringList texts;
        for (const QString &line : PendingEvents::TakeAll())
            texts << line.mid(line.indexOf(QStringLiteral(": ")) + 2);
        return texts;
    }

    QTemporaryDir m_config;
    QByteArray m_saved;
};

const QString kError = QStringLiteral("Error writing to Registry. Make sure you have the rights.");

TEST_F(AutostartTest, EntryPathFollowsXdgConfigHome)
{
    EXPECT_EQ(Autostart::EntryPath(), autostartDir() + QStringLiteral("/Quorvane.desktop"));
    EXPECT_EQ(Folders::ConfigHome(), QDir::cleanPath(m_config.path()));
}

TEST_F(AutostartTest, SetWritesEntryAndOffRemovesIt)
{
    EXPECT_FALSE(Autostart::IsSet());
    ASSERT_TRUE(SetRunAtLogon(true, QStringLiteral("/opt/Quorvane Suite/bin/quorvane")));
    EXPECT_TRUE(Autostart::IsSet());
    const QString text = QString::fromUtf8(TestEnv::ReadFile(Autostart::EntryPath()));
    EXPECT_TRUE(text.startsWith(QStringLiteral("[Desktop Entry]\n"))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("\nType=Application\n")));
    EXPECT_TRUE(text.contains(QStringLiteral("\nName=Quorvane\n")));
    EXPECT_TRUE(text.contains(QStringLiteral("\nExec=\"/opt/Quorvane Suite/bin/quorvane\" --hide\n"))) << text.toStdString();

    // Writing again replaces the entry.
    ASSERT_TRUE(SetRunAtLogon(true, QStringLiteral("/usr/bin/quorvane")));
    EXPECT_TRUE(QString::fromUtf8(TestEnv::ReadFile(Autostart::EntryPath())).contains(QStringLiteral("Exec=\"/usr/bin/quorvane\" --hide")));

    EXPECT_TRUE(SetRunAtLogon(false));
    EXPECT_FALSE(QFile::exists(Autostart::EntryPath()));
    // Switching off an entry that is not there is no failure.
    EXPECT_TRUE(SetRunAtLogon(false));
    EXPECT_TRUE(events().isEmpty());
}

TEST_F(AutostartTest, ExecLineEscapesSpecialCharacters)
{
    struct Case {
        QString program;
        QString exec;
    };
    const Case cases[] = {
        {"/a/b", "Exec=\"/a/b\" --hide"},
        {"/a/say \"hi\"", "Exec=\"/a/say \\\\\"hi\\\\\"\" --hide"},
        {"/a/$HOME/`x`", "Exec=\"/a/\\\\$HOME/\\\\`x\\\\`\" --hide"},
        {"/a/back\\slash", "Exec=\"/a/back\\\\\\\\slash\" --hide"},
        {"/a/100%", "Exec=\"/a/100%%\" --hide"},
    };
    for (const Case &c : cases) {
        const QString text = QString::fromUtf8(Autostart::DesktopEntry(c.program));
        EXPECT_TRUE(text.contains(QLatin1Char('\n') + c.exec + QLatin1Char('\n'))) << text.toStdString() << "\nexpected " << c.exec.toStdString();
    }
}

TEST_F(AutostartTest, ProgramPathIsAnExistingFile)
{
    EXPECT_TRUE(QFileInfo(Autostart::ProgramPath()).isFile()) << Autostart::ProgramPath().toStdString();
}

TEST_F(AutostartTest, FileInPlaceOfTheFolderFails)
{
    TestEnv::WriteFile(autostartDir(), "not a folder");
    EXPECT_FALSE(SetRunAtLogon(true, QStringLiteral("/usr/bin/quorvane")));
    EXPECT_EQ(events(), QStringList{kError});
}

TEST_F(AutostartTest, FolderInPlaceOfTheEntryFails)
{
    ASSERT_TRUE(QDir().mkpath(Autostart::EntryPath()));
    EXPECT_FALSE(SetRunAtLogon(true, QStringLiteral("/usr/bin/quorvane")));
    EXPECT_EQ(events(), QStringList{kError});
    EXPECT_FALSE(SetRunAtLogon(false));
    EXPECT_EQ(events(), QStringList{kError});
    EXPECT_TRUE(QFileInfo(Autostart::EntryPath()).isDir());
}
} // namespace
