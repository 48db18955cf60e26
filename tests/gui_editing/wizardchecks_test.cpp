// The wizard's checks without a window: extension lists, source names that
// would collide at the destination, the ordered timetable, and the
// check-box tree's items.
#include "editingtestutil.h"

#include "gui/editing/sourcetree.h"
#include "gui/editing/wizardchecks.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace {

TEST(WizardChecks, ExtensionListsAreNormalisedOrRefused)
{
    const struct {
        const char *typed;
        const char *stored;
        bool ok;
    } cases[] = {
        {" TXT; Doc ;", "txt;doc", true},
        {";exe;", "exe", true},
        {"  ", "", false},
        {";", "", false},
        {"*.txt", "*.txt", false},
        {"txt,doc", "txt,doc", false},
        {"a/b", "a/b", false},
        {"a\\b", "a\\b", false},
    };
    for (const auto &c : cases) {
        QString text = QString::fromUtf8(c.typed);
        const QString problem = ValidateExtensionList(text);
        EXPECT_EQ(problem.isEmpty(), c.ok) << c.typed;
        EXPECT_EQ(text, QString::fromUtf8(c.stored)) << c.typed;
    }
    QString bad = QStringLiteral("*.doc");
    EXPECT_EQ(ValidateExtensionList(bad), QStringLiteral("Characters * . , \\ / are not allowed."));
}

TEST(WizardChecks, SourcesWithTheSameNameAreFound)
{
    const struct {
        QStringList items;
        const char *pair;
    } cases[] = {
        {{"/mnt/a/Data/*", "/mnt/b/Data/*"}, "/mnt/b/Data\r\n/mnt/a/Data"},
        {{"/mnt/a/Data/*", "/mnt/b/Data"}, ""},                 // a folder and a file
        {{"/x/Report.txt", "/y/report.TXT"}, "/y/report.TXT\r\n/x/Report.txt"},
        {{"/*", "/home/*", "/srv/*"}, ""},                       // the root has no name
        {{"/a/One/*", "/b/Two/*", "/c/one/*"}, "/c/one\r\n/a/One"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(GetDuplicatedNamesOfFoldersOrFiles(c.items), QString::fromUtf8(c.pair)) << c.items.join(' ').toStdString();
}

TEST(WizardChecks, TimesStayInOrderAndAreNotRepeated)
{
    QStringList times = {"08:00:00", "18:00:00"};
    EXPECT_TRUE(InsertTimeSorted(times, "12:00:00"));
    EXPECT_EQ(times, QStringList({"08:00:00", "12:00:00", "18:00:00"}));
    EXPECT_FALSE(InsertTimeSorted(times, "08:00:00"));
    EXPECT_TRUE(InsertTimeSorted(times, "23:59:59"));
    EXPECT_TRUE(InsertTimeSorted(times, "00:00:00"));
    EXPECT_EQ(times.first(), "00:00:00");
    EXPECT_EQ(times.last(), "23:59:59");
}

class SourceTreeTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        for (const char *f : {"Data/a.txt", "Data/b.txt", "Data/sub/c.txt", "Other/d.txt"}) {
            const QString path = root() + "/" + f;
            QDir().mkpath(QFileInfo(path).absolutePath());
            QFile file(path);
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
            file.write("x");
        }
    }
    QString root() const { return dir.path(); }
    QTemporaryDir dir;
};

TEST_F(SourceTreeTest, CheckedFoldersAndFilesBecomeItems)
{
    TCheckableFileSystemModel model;
    model.SetChecked(root() + "/Data", true);
    model.SetChecked(root() + "/Other/d.txt", true);
    EXPECT_EQ(model.Items(), QStringList({root() + "/Data/*", root() + "/Other/d.txt"}));
    EXPECT_EQ(model.CheckStateOf(root() + "/Data/sub/c.txt"), Qt::Checked);
    EXPECT_EQ(model.CheckStateOf(root() + "/Other"), Qt::PartiallyChecked);
    EXPECT_EQ(model.CheckStateOf(root()), Qt::PartiallyChecked);

    // Checking the parent folder takes in what was checked inside it.
    model.SetChecked(root() + "/Other", true);
    EXPECT_EQ(model.Items(), QStringList({root() + "/Data/*", root() + "/Other/*"}));
}

TEST_F(SourceTreeTest, UncheckingInsideACheckedFolderKeepsItsOtherEntries)
{
    TCheckableFileSystemModel model;
    model.SetChecked(root() + "/Data", true);
    model.SetChecked(root() + "/Data/sub/c.txt", false);
    QStringList items = model.Items();
    items.sort();
    EXPECT_EQ(items, QStringList({root() + "/Data/a.txt", root() + "/Data/b.txt"}));
    EXPECT_EQ(model.CheckStateOf(root() + "/Data/sub/c.txt"), Qt::Unchecked);
    EXPECT_EQ(model.CheckStateOf(root() + "/Data"), Qt::PartiallyChecked);

    model.SetChecked(root() + "/Data", false);
    EXPECT_TRUE(model.Items().isEmpty());
}

TEST_F(SourceTreeTest, LoadingDropsItemsThatNoLongerExist)
{
    TCheckableFileSystemModel model;
    model.SetItems({root() + "/Data/*", root() + "/Gone/*", root() + "/Other/d.txt", root() + "/Other/gone.txt",
                    root() + "/Other/d.txt/*"});
    EXPECT_EQ(model.Items(), QStringList({root() + "/Data/*", root() + "/Other/d.txt"}));
}

} // namespace
