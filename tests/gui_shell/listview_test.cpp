// The jobs list view: keys, mouse, card links, the two looks and the
// coalesced repaints of job reports.
#include "shelltestfixture.h"

#include "gui/common/messagedialog.h"
#include "gui/common/modalscript.h"
#include "gui/shell/jobpresentation.h"
#include "gui/shell/jobslistmodel.h"

#include <QAction>
#include <QHeaderView>
#include <QSignalSpy>
#include <QTest>
#include <thread>

namespace {
class ListViewTest : public ShellTest {
protected:
    JobsListView &View() { return *Window().JobsView(); }
    QPoint Center(int row, JobsListView::Link link) { return View().LinkRect(row, link).center(); }
    // A move without buttons, as the window system delivers it.
    void Move(const QPoint &pos)
    {
        QMouseEvent move(QEvent::MouseMove, pos, View().viewport()->mapToGlobal(pos), Qt::NoButton, Qt::NoButton,
                         Qt::NoModifier);
        QApplication::sendEvent(View().viewport(), &move);
    }
    void Click(const QPoint &pos)
    {
        Move(pos);
        QTest::mouseClick(View().viewport(), Qt::LeftButton, {}, pos);
    }
};
} // namespace

TEST_F(ListViewTest, UpAndDownSkipHiddenItemsAndOtherKeysDoNothing)
{
    for (const char *name : {"Alpha", "Beta", "Gamma", "Delta", "Epsilon"})
        AddJob(QString::fromLatin1(name));
    TfrmMainQuorvane &w = Window();
    w.show();
    w.Search(QStringLiteral("ta")); // Beta and Delta; Alpha, Gamma and Epsilon hidden
    ASSERT_EQ(VisibleNames(), (QStringList{QStringLiteral("Beta"), QStringLiteral("Delta")}));
    View().setFocus();
    w.SelectRow(1);
    QTest::keyClick(&View(), Qt::Key_Down);
    EXPECT_EQ(w.SelectedRow(), 3); // over the hidden Gamma
    QTest::keyClick(&View(), Qt::Key_Down);
    EXPECT_EQ(w.SelectedRow(), 3); // nothing visible below
    QTest::keyClick(&View(), Qt::Key_Up);
    EXPECT_EQ(w.SelectedRow(), 1);
    QTest::keyClick(&View(), Qt::Key_Up);
    EXPECT_EQ(w.SelectedRow(), 1);
    for (Qt::Key key : {Qt::Key_End, Qt::Key_Home, Qt::Key_PageDown, Qt::Key_A, Qt::Key_Delete, Qt::Key_Return}) {
        QTest::keyClick(&View(), key);
        EXPECT_EQ(w.SelectedRow(), 1) << key;
    }
    // From a selection that became hidden, the next visible item below.
    w.Search(QStringLiteral("a"));
    w.SelectRow(0);
    w.Search(QStringLiteral("ta"));
    QTest::keyClick(&View(), Qt::Key_Down);
    EXPECT_EQ(w.SelectedRow(), 1);
}

TEST_F(ListViewTest, ALeftPressSelectsTheItemUnderTheMouse)
{
    AddJob(QStringLiteral("A"));
    AddJob(QStringLiteral("B"));
    TfrmMainQuorvane &w = Window();
    w.show();
    const QRect second = View().visualRect(w.JobsModel()->index(1, 0));
    QTest::mousePress(View().viewport(), Qt::LeftButton, {}, QPoint(20, second.center().y()));
    QTest::mouseRelease(View().viewport(), Qt::LeftButton, {}, QPoint(20, second.center().y()));
    EXPECT_EQ(w.SelectedRow(), 1);
    EXPECT_EQ(second.height(), CardItemHeight(View().DpiScale()));
}

TEST_F(ListViewTest, LinkClicksRunTheirActions)
{
    TJob &a = AddJob(QStringLiteral("A"));
    TJob &b = AddJob(QStringLiteral("B"));
    TfrmMainQuorvane &w = Window();
    w.resize(900, 600);
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));

    // A press selects the card under the mouse, so a click on a link of
    // another card selects that job and runs the link: idle, Backup.
    w.SelectRow(0);
    Click(Center(1, JobsListView::Link1));
    EXPECT_EQ(w.SelectedRow(), 1);
    EXPECT_EQ(b.JobStatus.load(), jsWaiting);
    // Waiting: Cancel.
    Click(Center(1, JobsListView::Link2));
    EXPECT_EQ(b.JobStatus.load(), jsNone);

    // Released over a link of a job that is not the selected one: nothing.
    const QPoint onA(20, View().visualRect(w.JobsModel()->index(0, 0)).center().y());
    QTest::mousePress(View().viewport(), Qt::LeftButton, {}, onA);
    Move(Center(1, JobsListView::Link1));
    QTest::mouseRelease(View().viewport(), Qt::LeftButton, {}, Center(1, JobsListView::Link1));
    EXPECT_EQ(w.SelectedRow(), 0);
    EXPECT_EQ(b.JobStatus.load(), jsNone);
    EXPECT_EQ(a.JobStatus.load(), jsNone);

    // Running: Pause; paused: Resume; then Cancel.
    w.SelectRow(0);
    a.JobStatus = jsRunning;
    w.RefreshFromCore();
    Click(Center(0, JobsListView::Link1));
    EXPECT_EQ(a.JobStatus.load(), jsPaused);
    Click(Center(0, JobsListView::Link1));
    EXPECT_EQ(a.JobStatus.load(), jsRunning);
    Click(Center(0, JobsListView::Link2));
    EXPECT_EQ(a.JobStatus.load(), jsCancelling);
    // Cancelling: no links.
    Click(Center(0, JobsListView::Link1));
    Click(Center(0, JobsListView::Link2));
    EXPECT_EQ(a.JobStatus.load(), jsCancelling);

    // The count link opens the log, only when the last run left errors or warnings.
    a.JobStatus = jsNone;
    SetLastRun(a, false, 1, 0);
    a.LogList = {QStringLiteral("2024-05-14 22;05;30")};
    w.RefreshFromCore();
    {
        ModalScript script;
        script.Answer(mrOk);
        Click(Center(0, JobsListView::CountLink));
        ASSERT_EQ(script.Messages().size(), 1);
        EXPECT_TRUE(script.Messages()[0].startsWith(QStringLiteral("Log file does not exist:")));
    }
    SetLastRun(a, false, 0, 0);
    w.RefreshFromCore();
    {
        ModalScript script;
        Click(Center(0, JobsListView::CountLink));
        EXPECT_TRUE(script.Seen().isEmpty());
    }

    // Idle: Restore (its window is not part of this version).
    {
        ModalScript script;
        script.Answer(mrOk);
        Click(Center(0, JobsListView::Link2));
        ASSERT_EQ(script.Messages().size(), 1);
        EXPECT_TRUE(script.Messages()[0].contains(QStringLiteral("Restore")));
    }
}

TEST_F(ListViewTest, HoverOverALinkShowsTheHand)
{
    AddJob(QStringLiteral("A"));
    TfrmMainQuorvane &w = Window();
    w.resize(900, 600);
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    Move(Center(0, JobsListView::Link2));
    EXPECT_TRUE(View().Hover().ControlLink2CursorOver);
    EXPECT_EQ(View().Hover().ListIndexUnderTheCursor, 0);
    EXPECT_EQ(View().viewport()->cursor().shape(), Qt::PointingHandCursor);
    Move(QPoint(5, 5));
    EXPECT_FALSE(View().Hover().CursorOverSomeLink());
    EXPECT_NE(View().viewport()->cursor().shape(), Qt::PointingHandCursor);
}

TEST_F(ListViewTest, LinkGeometryFollowsTheListWidth)
{
    AddJob(QStringLiteral("A"));
    TfrmMainQuorvane &w = Window();
    w.resize(900, 600);
    w.show();
    const CardLayout &l = View().Layout();
    const int margin = 20; // no scroll bar with one job
    const int linksWidth = l.Link1.width() + l.Link2.width();
    EXPECT_EQ(l.Link1.left(), View().width() - linksWidth - margin - 25);
    EXPECT_EQ(l.Link2.left(), l.Link1.right() + 1 + 15);
    EXPECT_EQ(l.Link1.top(), l.ItemHeight / 7);
    EXPECT_EQ(l.CountLink.right() + 1, View().width() - margin);
    const int before = l.Link1.left();
    w.resize(1100, 600);
    QApplication::processEvents();
    EXPECT_EQ(View().Layout().Link1.left(), before + (View().width() - (before + linksWidth + margin + 25)));
}

TEST_F(ListViewTest, TableViewShowsColumnsAndShorterRows)
{
    TJob &job = AddJob(QStringLiteral("Docs"));
    SetLastRun(job, false, 0, 2);
    TfrmMainQuorvane &w = Window();
    w.show();
    w.ActionViewAsTable->trigger();
    EXPECT_FALSE(View().IsCardView());
    EXPECT_FALSE(View().isHeaderHidden());
    EXPECT_EQ(View().visualRect(w.JobsModel()->index(0, 0)).height(), TableItemHeight(View().DpiScale()));
    JobsListModel &m = *w.JobsModel();
    EXPECT_EQ(m.headerData(colLastResult, Qt::Horizontal).toString(), QStringLiteral("Last Result"));
    EXPECT_EQ(m.index(0, colType).data().toString(), QStringLiteral("Files and Folders Backup"));
    EXPECT_EQ(m.index(0, colStorage).data().toString(), QStringLiteral("Drive"));
    EXPECT_EQ(m.index(0, colStatus).data().toString(), QStringLiteral("Ready"));
    EXPECT_TRUE(m.index(0, colLastResult).data().toString().startsWith(QStringLiteral("Finished with warnings on ")));
    EXPECT_EQ(m.index(0, colLastResult).data(Qt::ForegroundRole).value<QColor>(), ListColors::Orange());
    w.ActionViewAsCards->trigger();
    EXPECT_TRUE(View().isHeaderHidden());
    EXPECT_EQ(View().visualRect(w.JobsModel()->index(0, 0)).height(), CardItemHeight(View().DpiScale()));
}

TEST_F(ListViewTest, ReportsFromWorkersAreCoalescedIntoQueuedRepaints)
{
    TJob &job = AddJob(QStringLiteral("Docs"));
    TfrmMainQuorvane &w = Window();
    QSignalSpy repaints(w.JobsModel(), &JobsListModel::JobsRepaintRequested);
    // A worker reports many times and never waits for the window. A
    // std::thread like the job workers: its join orders the worker's last
    // report before the window's teardown in a way ThreadSanitizer sees
    // (QThread::wait synchronises inside the uninstrumented Qt library).
    std::thread worker([&job] {
        for (int i = 0; i < 1000; ++i) {
            job.CurrentFileOperationProgress = i / 10;
            job.NotifyChanged();
        }
    });
    worker.join();
    EXPECT_EQ(repaints.count(), 0); // nothing ran on the worker's thread
    QApplication::processEvents();
    EXPECT_GE(repaints.count(), 1);
    EXPECT_LT(repaints.count(), 1000);
    const int served = repaints.count();
    QApplication::processEvents();
    EXPECT_EQ(repaints.count(), served);
}
