// The log viewer on real run logs: the counts of error and warning lines,
// stepping through them with wrap-around, the two modes, font and Save As.
#include "editingtestutil.h"
#include "enginetestutil.h"

#include "base/textfile.h"
#include "gui/common/messagedialog.h"
#include "gui/common/modalscript.h"
#include "gui/editing/logscan.h"
#include "gui/editing/logviewer.h"
#include "support/testenv.h"

#include <QFileDialog>
#include <QFontDialog>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>

using namespace EngineTest;

namespace {

const LogMarkers kEnglish{QStringLiteral("ERROR:"), QStringLiteral("WARNING:")};

TEST(LogScan, ClassifiesAndStepsWithWrapAround)
{
    const QStringList lines = {
        "10:00:00: Start",                 // 0
        "10:00:01: ERROR: one",            // 1
        "10:00:02: WARNING: w1",           // 2
        "10:00:03: ERROR: WARNING: both",  // 3 an error only
        "10:00:04: error: lower case",     // 4 not an error
        "10:00:05: WARNING: w2",           // 5
        "10:00:06: End",                   // 6
    };
    const LogLineCounts counts = CountLogLines(lines, kEnglish);
    EXPECT_EQ(counts.errors, 2);
    EXPECT_EQ(counts.warnings, 2);

    const struct {
        int current;
        LogLineKind kind;
        bool forward;
        int expected;
    } cases[] = {
        {0, LogLineKind::Error, true, 1},   {1, LogLineKind::Error, true, 3},
        {3, LogLineKind::Error, true, 1},   // wraps to the first
        {6, LogLineKind::Error, true, 1},   {0, LogLineKind::Warning, true, 2},
        {5, LogLineKind::Warning, true, 2}, {3, LogLineKind::Error, false, 1},
        {1, LogLineKind::Error, false, 3},  // wraps to the last
        {0, LogLineKind::Warning, false, 5}, {6, LogLineKind::Warning, false, 5},
    };
    for (const auto &c : cases) {
        const int found = c.forward ? FindNextLogLine(lines, c.current, c.kind, kEnglish)
                                    : FindPreviousLogLine(lines, c.current, c.kind, kEnglish);
        EXPECT_EQ(found, c.expected) << "from " << c.current << (c.forward ? " forward" : " backward");
    }
    // A single error line is found again from itself.
    const QStringList single = {"a", "10:00:00: ERROR: x", "b"};
    EXPECT_EQ(FindNextLogLine(single, 1, LogLineKind::Error, kEnglish), 1);
    EXPECT_EQ(FindPreviousLogLine(single, 1, LogLineKind::Error, kEnglish), 1);
    EXPECT_EQ(FindNextLogLine(single, 0, LogLineKind::Warning, kEnglish), -1);
    EXPECT_EQ(FindNextLogLine({}, 0, LogLineKind::Error, kEnglish), -1);
}

class LogViewerTest : public ::testing::Test, public EngineFixture {
public:
    LogViewerTest() : EngineFixture(Destination::Local) {}

protected:
    void SetUp() override { SetUpEngine(); }
    void TearDown() override { TearDownEngine(); }

    // A run log written with the job's own log helpers, saved as a run saves it.
    QString WriteRunLog(const QStringList &plain, const QStringList &errors, const QStringList &warnings)
    {
        TJob_FilesAndFolders &job = Job();
        job.OptionsToJobOptions();
        EXPECT_TRUE(job.EnsureLogFolder());
        job.ClearRunLog();
        for (const QString &t : plain)
            job.AddToLog(t);
        for (const QString &t : errors)
            job.AddErrorToLog(t);
        for (const QString &t : warnings)
            job.AddWarningToLog(t);
        const QString stamp = TJob::RunStamp(Stamp());
        job.SaveRunLog(stamp);
        return job.LogFilePath(stamp);
    }
};

TEST_F(LogViewerTest, ARealBackupLogShowsItsWarningsAndStepsThroughThem)
{
    Write("Data/a.txt", "alpha");
    Job().Settings.Sources.List = {Folder("Data"), Folder("Nothing"), File("nothing.txt")};
    RunBackup();
    ASSERT_FALSE(Job().LogList.isEmpty());
    const QString path = Job().LogFilePath(Job().LogList.last());
    ASSERT_TRUE(QFileInfo(path).isFile()) << path.toStdString();

    TfrmLog viewer;
    QString error;
    ASSERT_TRUE(viewer.LoadReport(path, true, &error)) << error.toStdString();
    EXPECT_EQ(viewer.Counts().errors, Errors());
    EXPECT_EQ(viewer.Counts().warnings, Warnings());
    ASSERT_GE(Warnings(), 2);
    EXPECT_EQ(Child<QLabel>(viewer, "lbWarnings")->text(), QStringLiteral("Warnings: %1").arg(Warnings()));
    EXPECT_EQ(Child<QLabel>(viewer, "lbErrors")->text(), QStringLiteral("Errors: 0"));
    EXPECT_FALSE(Child<QPushButton>(viewer, "btNextError")->isEnabled());
    ASSERT_TRUE(Child<QPushButton>(viewer, "btNextWarning")->isEnabled());

    // The caption is the run's time with colons.
    const QString stamp = Job().LogList.last();
    EXPECT_EQ(viewer.windowTitle(), QStringLiteral(" Log: ") + QString(stamp).replace(';', ':'));
    EXPECT_EQ(viewer.CurrentLine(), 0);
    EXPECT_TRUE(viewer.SelectedText().isEmpty());

    // Stepping visits every warning line of the file, in order, then wraps.
    const QStringList lines = ReadTextLines(path);
    QStringList warningLines;
    for (const QString &l : lines)
        if (l.contains(QStringLiteral("WARNING:")))
            warningLines.append(l);
    for (const QString &expected : warningLines) {
        Child<QPushButton>(viewer, "btNextWarning")->click();
        EXPECT_EQ(viewer.SelectedText(), expected);
    }
    Child<QPushButton>(viewer, "btNextWarning")->click();
    EXPECT_EQ(viewer.SelectedText(), warningLines.first());
    Child<QPushButton>(viewer, "btPreviousWarning")->click();
    EXPECT_EQ(viewer.SelectedText(), warningLines.last());
}

TEST_F(LogViewerTest, ErrorLinesAreCountedAndSelectedWholeAndAnEmptyLogDisablesBoth)
{
    const QString path = WriteRunLog({"Starting."}, {"first failure", "second failure"}, {"a warning"});
    TfrmLog viewer;
    ASSERT_TRUE(viewer.LoadReport(path, true, nullptr));
    EXPECT_EQ(viewer.Counts().errors, 2);
    EXPECT_EQ(viewer.Counts().warnings, 1);
    viewer.NextError();
    EXPECT_TRUE(viewer.SelectedText().endsWith(QStringLiteral(": ERROR: first failure"))) << viewer.SelectedText().toStdString();
    viewer.NextError();
    EXPECT_TRUE(viewer.SelectedText().endsWith(QStringLiteral(": ERROR: second failure")));
    viewer.NextError();
    EXPECT_TRUE(viewer.SelectedText().endsWith(QStringLiteral(": ERROR: first failure")));
    viewer.NextWarning();
    EXPECT_TRUE(viewer.SelectedText().endsWith(QStringLiteral(": WARNING: a warning")));

    NextStamp();
    const QString quiet = WriteRunLog({"Starting.", "Done."}, {}, {});
    ASSERT_TRUE(viewer.LoadReport(quiet, true, nullptr));
    EXPECT_EQ(Child<QLabel>(viewer, "lbErrors")->text(), QStringLiteral("Errors: 0"));
    EXPECT_EQ(Child<QLabel>(viewer, "lbWarnings")->text(), QStringLiteral("Warnings: 0"));
    EXPECT_FALSE(Child<QPushButton>(viewer, "btNextError")->isEnabled());
    EXPECT_FALSE(Child<QPushButton>(viewer, "btNextWarning")->isEnabled());
    viewer.NextError(); // nothing to find: the caret stays
    EXPECT_EQ(viewer.CurrentLine(), 0);
}

TEST_F(LogViewerTest, AHistoryHasItsCaptionAndNoPanel)
{
    const QString path = Root() + QStringLiteral("/history - Job.txt");
    ASSERT_TRUE(WriteTextLines(path, {"01.05.2024 14:30:00: ERROR: something", "01.05.2024 15:30:00: Backup done."}));
    TfrmLog viewer;
    ModalScript script;
    script.Then([](QDialog &d) {
        EXPECT_EQ(d.windowTitle(), QStringLiteral(" History"));
        EXPECT_FALSE(Child<QWidget>(d, "pnErrorsWarnings")->isVisible());
        EXPECT_EQ(Child<QPlainTextEdit>(d, "memLog")->toPlainText(),
                  QStringLiteral("01.05.2024 14:30:00: ERROR: something\n01.05.2024 15:30:00: Backup done."));
        return int(QDialog::Accepted);
    });
    viewer.OpenReport(path, false);
    EXPECT_EQ(script.Pending(), 0);
    EXPECT_EQ(viewer.LogFileName(), QStringLiteral("history - Job.txt"));
}

// File names with control characters: a log of this version holds them as
// escapes, and one that still holds them raw is shown with the same escapes,
// one file line per line of the window.
TEST_F(LogViewerTest, ControlCharactersOfFileNamesAreShownAsEscapes)
{
    const QString written = WriteRunLog({QStringLiteral("Copying the file: /src/line\nfeed\x1B[31m.txt")}, {}, {});
    const QString raw = Root() + QStringLiteral("/raw.txt");
    TestEnv::WriteFile(raw, QByteArray("\xEF\xBB\xBF" "10:00:00: Copying the file: /src/red\x1B[31m\rbell\x07.txt\r\n"
                                       "10:00:01: WARNING: The file does not exist: /src/caf\xE9.txt\r\n"));
    const struct {
        QString path;
        QString shown;
    } cases[] = {
        {written, TimeToStr(Stamp()) + QStringLiteral(": Copying the file: /src/line\\nfeed\\x1B[31m.txt")},
        {raw, QStringLiteral("10:00:00: Copying the file: /src/red\\x1B[31m\\rbell\\x07.txt\n"
                             "10:00:01: WARNING: The file does not exist: /src/caf\\xE9.txt")},
    };
    for (const auto &c : cases) {
        TfrmLog viewer;
        ASSERT_TRUE(viewer.LoadReport(c.path, true, nullptr));
        EXPECT_EQ(Child<QPlainTextEdit>(viewer, "memLog")->toPlainText(), c.shown);
    }
}

TEST_F(LogViewerTest, AFileThatCannotBeReadIsReported)
{
    TfrmLog viewer;
    ModalScript script;
    script.Answer(mrOk);
    viewer.OpenReport(Root() + QStringLiteral("/missing.txt"), true);
    ASSERT_EQ(script.Seen().size(), 1);
    EXPECT_EQ(script.Seen()[0].Caption.trimmed(), QStringLiteral("Error"));
    EXPECT_TRUE(script.Seen()[0].Text.contains(QStringLiteral("missing.txt"))) << script.Seen()[0].Text.toStdString();
}

TEST_F(LogViewerTest, OnlyTheWordsOfTheSelectedLanguageCount)
{
    // Lines written in English, then in German.
    const QString english = WriteRunLog({}, {"english error"}, {"english warning"});
    QString german;
    {
        ScopedLanguage de(QStringLiteral("de"));
        Job().OptionsToJobOptions();
        NextStamp();
        german = WriteRunLog({}, {"deutscher Fehler"}, {});
    }
    const QStringList mixed = ReadTextLines(english) + ReadTextLines(german);
    const QString path = Root() + QStringLiteral("/mixed.txt");
    ASSERT_TRUE(WriteTextLines(path, mixed));

    TfrmLog viewer;
    ASSERT_TRUE(viewer.LoadReport(path, true, nullptr));
    EXPECT_EQ(viewer.Counts().errors, 1);
    EXPECT_EQ(viewer.Counts().warnings, 1);
    ScopedLanguage de(QStringLiteral("de"));
    ASSERT_NE(Translate(QStringLiteral("ERROR:")), QStringLiteral("ERROR:"));
    ASSERT_TRUE(viewer.LoadReport(path, true, nullptr));
    EXPECT_EQ(viewer.Counts().errors, 1);
    viewer.NextError();
    EXPECT_TRUE(viewer.SelectedText().endsWith(QStringLiteral("deutscher Fehler")));
}

TEST_F(LogViewerTest, SaveAsWritesACopyAndFontChangesTheTextArea)
{
    const QString path = WriteRunLog({"Starting."}, {"bad"}, {});
    TfrmLog viewer;
    ASSERT_TRUE(viewer.LoadReport(path, true, nullptr));

    const QString copy = Root() + QStringLiteral("/copy.txt");
    QString proposed;
    {
        ModalScript script;
        script.Then([&](QDialog &d) {
            auto *fd = qobject_cast<QFileDialog *>(&d);
            EXPECT_NE(fd, nullptr);
            if (fd)
                proposed = fd->selectedFiles().value(0);
            return AnswerFileDialog(d, copy);
        });
        Child<QPushButton>(viewer, "btSaveAs")->click();
        EXPECT_EQ(script.Pending(), 0);
    }
    EXPECT_EQ(QFileInfo(proposed).fileName(), viewer.LogFileName());
    EXPECT_EQ(ReadTextLines(copy), ReadTextLines(path));

    QFont chosen = viewer.memLog()->font();
    chosen.setPointSize(chosen.pointSize() + 7);
    {
        ModalScript script;
        script.Then([&](QDialog &d) {
            auto *fd = qobject_cast<QFontDialog *>(&d);
            EXPECT_NE(fd, nullptr);
            if (fd) {
                fd->setCurrentFont(chosen);
                static_cast<QDialog *>(fd)->accept();
            }
            return int(QDialog::Accepted);
        });
        Child<QPushButton>(viewer, "btFont")->click();
    }
    EXPECT_EQ(viewer.memLog()->font().pointSize(), chosen.pointSize());

    // Cancelling the font dialog keeps the font.
    {
        ModalScript script;
        script.Cancel();
        Child<QPushButton>(viewer, "btFont")->click();
    }
    EXPECT_EQ(viewer.memLog()->font().pointSize(), chosen.pointSize());
}

} // namespace
