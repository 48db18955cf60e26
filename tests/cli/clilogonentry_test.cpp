// The console program never writes or removes the windowed program's
// log-on entry, also when it finds no options file and sets the defaults.
#include "clitestfixture.h"

#include <QFileInfo>

namespace {
struct LogonCase {
    const char *name;
    QByteArray entry; // empty: there is none
};

class ConsoleLogonEntry : public CliTest, public ::testing::WithParamInterface<LogonCase> {
protected:
    QString AutostartPath() const { return m_home + QStringLiteral("/config/autostart/Quorvane.desktop"); }
};

TEST_P(ConsoleLogonEntry, IsNeitherWrittenNorRemoved)
{
    const LogonCase &c = GetParam();
    if (!c.entry.isEmpty())
        Write(AutostartPath(), c.entry);
    const QString src = Dir(QStringLiteral("src"));
    Write(src + QStringLiteral("/a.txt"), "first");
    const QString dest = Dir(QStringLiteral("dest"));
    ASSERT_FALSE(QFileInfo::exists(DataFolder() + QStringLiteral("/options.qvo"))) << "the defaults are set";
    const QList<QStringList> commands = {
        {QStringLiteral("list")},
        {QStringLiteral("create"), QStringLiteral("Docs"), QStringLiteral("--source"), src, QStringLiteral("--to"), dest},
        {QStringLiteral("backup"), QStringLiteral("Docs")},
    };
    for (const QStringList &args : commands) {
        const std::string command = args.join(QLatin1Char(' ')).toStdString();
        const CliResult r = Cli(args);
        ASSERT_EQ(r.exitCode, 0) << command << r;
        if (c.entry.isEmpty())
            EXPECT_FALSE(QFileInfo::exists(AutostartPath())) << command;
        else
            EXPECT_EQ(TestEnv::ReadFile(AutostartPath()), c.entry) << command;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ConsoleLogonEntry,
    ::testing::Values(LogonCase{"NoEntry", QByteArray()},
                      LogonCase{"TheUsersOwnEntry", QByteArray("[Desktop Entry]\nType=Application\nName=Quorvane\n"
                                                               "Exec=/opt/quorvane/quorvane --hide\n")}),
    [](const ::testing::TestParamInfo<LogonCase> &info) { return std::string(info.param.name); });
} // namespace
