// Wrong command lines: a clear message on standard error and exit code 64,
// and nothing changed in the data folder.
#include "clitestfixture.h"
#include "support/testnames.h"

#include <QFileInfo>

struct BadArgs {
    const char *what;
    QStringList args; // "SRC", "SRC2", "DEST" and "FILE" are replaced by real paths
    const char *message;
};

void PrintTo(const BadArgs &c, std::ostream *os)
{
    *os << c.what << ": " << TestNames::Quoted(c.args) << " -> " << TestNames::Quoted(c.message);
}

class BadArguments : public CliTest, public ::testing::WithParamInterface<BadArgs> {};

TEST_P(BadArguments, AreRefusedWithExitCode64)
{
    const QString src = Dir(QStringLiteral("a/Data"));
    const QString src2 = Dir(QStringLiteral("b/Data"));
    const QString dest = Dir(QStringLiteral("dest"));
    const QString file = m_home + QStringLiteral("/work/file.txt");
    Write(file, "x");
    QStringList args;
    for (QString a : GetParam().args) {
        a.replace(QStringLiteral("SRC2"), src2).replace(QStringLiteral("SRC"), src);
        a.replace(QStringLiteral("DEST"), dest).replace(QStringLiteral("FILE"), file);
        args.append(a);
    }
    const CliResult r = Cli(args);
    EXPECT_EQ(r.exitCode, 64) << GetParam().what << "\n" << r;
    EXPECT_TRUE(r.err.contains(QLatin1String(GetParam().message))) << GetParam().what << "\n" << r;
    EXPECT_TRUE(r.out.isEmpty()) << r;
    EXPECT_FALSE(QFileInfo::exists(DataFolder() + QStringLiteral("/jobslist.qvl"))) << GetParam().what;
}

#define S QStringLiteral
INSTANTIATE_TEST_SUITE_P(
    Cases, BadArguments,
    ::testing::Values(
        BadArgs{"no command", {}, "Missing command"},
        BadArgs{"unknown command", {S("frobnicate")}, "Unknown command \"frobnicate\""},
        BadArgs{"create without a name", {S("create"), S("--source"), S("SRC"), S("--to"), S("DEST")}, "needs a name"},
        BadArgs{"create with a blank name", {S("create"), S("  "), S("--source"), S("SRC"), S("--to"), S("DEST")}, "needs a name"},
        BadArgs{"create without a source", {S("create"), S("Docs"), S("--to"), S("DEST")}, "Please add one or more sources to the list"},
        BadArgs{"create without a destination", {S("create"), S("Docs"), S("--source"), S("SRC")}, "needs a destination"},
        BadArgs{"two destinations", {S("create"), S("Docs"), S("--source"), S("SRC"), S("--to"), S("DEST"), S("--to-smb"), S("//h/s")}, "cannot be used together"},
        BadArgs{"missing source", {S("create"), S("Docs"), S("--source"), S("SRC/none"), S("--to"), S("DEST")}, "The source does not exist"},
        BadArgs{"two sources of one name", {S("create"), S("Docs"), S("--source"), S("SRC"), S("--source"), S("SRC2"), S("--to"), S("DEST")}, "Among the items there are files or folders having the same name"},
        BadArgs{"a name with a slash", {S("create"), S("a/b"), S("--source"), S("SRC"), S("--to"), S("DEST")}, "The following symbols are not allowed in the title:\n\n<>:\"/\\|?*"},
        BadArgs{"a name with a line break", {S("create"), S("a\nb"), S("--source"), S("SRC"), S("--to"), S("DEST")}, "control characters"},
        BadArgs{"unknown backup type", {S("create"), S("Docs"), S("--source"), S("SRC"), S("--to"), S("DEST"), S("--type"), S("weekly")}, "--type takes one of"},
        BadArgs{"compressed mirror", {S("create"), S("Docs"), S("--source"), S("SRC"), S("--to"), S("DEST"), S("--type"), S("sync"), S("--zip"), S("single")}, "Compression is not supported for Mirror type."},
        BadArgs{"copies to keep of a mirror", {S("create"), S("Docs"), S("--source"), S("SRC"), S("--to"), S("DEST"), S("--type"), S("sync"), S("--keep"), S("3")}, "do not apply to a mirror"},
        BadArgs{"full condition of a full job", {S("create"), S("Docs"), S("--source"), S("SRC"), S("--to"), S("DEST"), S("--type"), S("full"), S("--full-every"), S("3")}, "belong to incremental and differential"},
        BadArgs{"bad extension list", {S("create"), S("Docs"), S("--source"), S("SRC"), S("--to"), S("DEST"), S("--include-ext"), S("*.txt")}, "Characters * . , \\ / are not allowed."},
        BadArgs{"empty extension list", {S("create"), S("Docs"), S("--source"), S("SRC"), S("--to"), S("DEST"), S("--exclude-ext"), S(" ; ")}, "Please specify extensions separated by ;"},
        BadArgs{"zip option without zip", {S("create"), S("Docs"), S("--source"), S("SRC"), S("--to"), S("DEST"), S("--zip-password"), S("p")}, "need --zip"},
        BadArgs{"weekday out of range", {S("create"), S("Docs"), S("--source"), S("SRC"), S("--to"), S("DEST"), S("--weekdays"), S("1,8"), S("--at"), S("10:00:00")}, "whole number from 1 to 7"},
        BadArgs{"days without times", {S("create"), S("Docs"), S("--source"), S("SRC"), S("--to"), S("DEST"), S("--monthdays"), S("1,15")}, "Please add at least one record to the timetable."},
        BadArgs{"times without days", {S("create"), S("Docs"), S("--source"), S("SRC"), S("--to"), S("DEST"), S("--at"), S("10:00:00")}, "--at needs --weekdays or --monthdays"},
        BadArgs{"bad time", {S("create"), S("Docs"), S("--source"), S("SRC"), S("--to"), S("DEST"), S("--weekdays"), S("1"), S("--at"), S("25:00:00")}, "HH:MM:SS"},
        BadArgs{"same time twice", {S("create"), S("Docs"), S("--source"), S("SRC"), S("--to"), S("DEST"), S("--weekdays"), S("1"), S("--at"), S("10:00:00"), S("--at"), S("10:00:00")}, "Record already exists"},
        BadArgs{"unknown option", {S("create"), S("Docs"), S("--source"), S("SRC"), S("--to"), S("DEST"), S("--frob")}, "Unknown option --frob"},
        BadArgs{"option without its value", {S("create"), S("Docs"), S("--source"), S("SRC"), S("--to")}, "--to needs a value"},
        BadArgs{"backup without a name", {S("backup")}, "needs the name of a job"},
        BadArgs{"backup of an unknown job", {S("backup"), S("Nope")}, "There is no job named \"Nope\""},
        BadArgs{"points of an unknown job", {S("points"), S("Nope")}, "There is no job named \"Nope\""},
        BadArgs{"restore without a point", {S("restore"), S("Docs"), S("--to"), S("DEST")}, "exactly one of --point N and --latest"},
        BadArgs{"restore with both points", {S("restore"), S("Docs"), S("--latest"), S("--point"), S("1"), S("--to"), S("DEST")}, "exactly one of --point N and --latest"},
        BadArgs{"restore without a folder", {S("restore"), S("Docs"), S("--latest")}, "--to DIR"},
        BadArgs{"restore point zero", {S("restore"), S("Docs"), S("--point"), S("0"), S("--to"), S("DEST")}, "--point needs a whole number"},
        BadArgs{"two job names", {S("points"), S("A"), S("B")}, "Unexpected argument \"B\""},
        BadArgs{"a flag with a value", {S("log"), S("Docs"), S("--history=yes")}, "--history takes no value"},
        BadArgs{"remove without a name", {S("remove")}, "needs the name of a job"},
        BadArgs{"list with an argument", {S("list"), S("extra")}, "Unexpected argument"},
        BadArgs{"run with an argument", {S("run"), S("--now")}, "Unknown option --now"}),
    [](const auto &i) { return TestNames::Words(i.param.what); });
#undef S

TEST_F(CliTest, HelpNamesEveryCommandAndThePasswordVariables)
{
    const CliResult r = Cli({QStringLiteral("--help")});
    ASSERT_EQ(r.exitCode, 0) << r;
    for (const char *word : {"list", "create NAME", "backup NAME", "points NAME", "restore NAME", "remove NAME",
                             "log NAME", "run", "QV_SMB_PASSWORD", "QV_ZIP_PASSWORD", "64"})
        EXPECT_TRUE(r.out.contains(QLatin1String(word))) << word;
}
