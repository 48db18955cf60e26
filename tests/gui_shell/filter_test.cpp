// The filter tree and the search box choose the visible jobs; the header
// and the empty-state panel follow.
#include "shelltestfixture.h"

#include "gui/shell/jobfilter.h"
#include "gui/shell/jobslistmodel.h"

#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <QTreeWidget>

namespace {
class FilterTest : public ShellTest {};

QTreeWidgetItem *nodeItem(TfrmMainQuorvane &w, const QString &text)
{
    const QList<QTreeWidgetItem *> items = w.tvFilters->findItems(text, Qt::MatchExactly | Qt::MatchRecursive);
    return items.isEmpty() ? nullptr : items.first();
}
} // namespace

TEST_F(FilterTest, SearchShowsMatchingNamesAndANodeClickEndsIt)
{
    AddJob(QStringLiteral("Daily Backup"));
    AddJob(QStringLiteral("backup2"));
    AddJob(QStringLiteral("Docs"));
    TfrmMainQuorvane &w = Window();
    w.show();

    // Typed into the box and confirmed with Enter.
    w.edSearch->setFocus();
    QTest::keyClicks(w.edSearch, QStringLiteral("back"));
    QTest::keyClick(w.edSearch, Qt::Key_Return);
    EXPECT_EQ(VisibleNames(), (QStringList{QStringLiteral("Daily Backup"), QStringLiteral("backup2")}));
    EXPECT_EQ(w.Filter().SearchedString, QStringLiteral("back"));
    EXPECT_EQ(w.tvFilters->currentItem(), nullptr);
    EXPECT_EQ(w.lbListHeader->text(), QStringLiteral("Search results"));

    // The tick keeps the search.
    core->tick();
    EXPECT_EQ(VisibleNames(), (QStringList{QStringLiteral("Daily Backup"), QStringLiteral("backup2")}));

    // Nothing matches: the panel says so.
    w.Search(QStringLiteral("zzz"));
    EXPECT_TRUE(VisibleNames().isEmpty());
    EXPECT_TRUE(w.JobsView()->EmptyPanel()->isVisible());
    EXPECT_EQ(w.JobsView()->EmptyPanel()->text(), QStringLiteral("No items match your search"));

    // Clicking a node ends the search.
    QTreeWidgetItem *jobs = nodeItem(w, QStringLiteral("Jobs"));
    ASSERT_TRUE(jobs);
    const QRect rect = w.tvFilters->visualItemRect(jobs);
    QTest::mouseClick(w.tvFilters->viewport(), Qt::LeftButton, {}, rect.center());
    EXPECT_TRUE(w.Filter().SearchedString.isEmpty());
    EXPECT_EQ(VisibleNames().size(), 3);
    EXPECT_EQ(w.lbListHeader->text(), QStringLiteral("Jobs"));
    EXPECT_FALSE(w.JobsView()->EmptyPanel()->isVisible());
}

TEST_F(FilterTest, EachNodeShowsItsJobs)
{
    // Wednesday 2024-05-15, 09:00.
    At(QStringLiteral("2024-05-15 09:00:00"));
    AddJob(QStringLiteral("Idle"));
    TJob &running = AddJob(QStringLiteral("Running job"));
    TJob &cancelled = AddJob(QStringLiteral("Cancelled job"));
    TJob &warnings = AddJob(QStringLiteral("Warnings job"));
    TJob &errors = AddJob(QStringLiteral("Errors job"));
    AddScheduledJob(QStringLiteral("Later today"), {QStringLiteral("20:00:00")});
    TJob &saturday = AddScheduledJob(QStringLiteral("Saturday"), {QStringLiteral("08:00:00")});
    saturday.SchedulingSettings.DaysOfWeek.fill(false);
    saturday.SchedulingSettings.DaysOfWeek[6] = true;
    TJob &monthly = AddScheduledJob(QStringLiteral("Monthly 20th"), {QStringLiteral("08:00:00")});
    monthly.SchedulingSettings.SchedulingType = stDaysOfMonth;
    monthly.SchedulingSettings.DaysOfMonth[20] = true;
    AddJob(QStringLiteral("Disabled"));
    SetStatus(running, jsPaused);
    SetLastRun(cancelled, true, 0, 0);
    SetLastRun(warnings, false, 0, 1);
    SetLastRun(errors, false, 2, 0);

    TfrmMainQuorvane &w = Window();
    const struct {
        FilterNode node;
        QStringList visible;
        const char *header;
    } cases[] = {
        {FilterNode::Jobs, {}, "Jobs"},
        {FilterNode::Running, {QStringLiteral("Running job")}, "Jobs > Running"},
        {FilterNode::Cancelled, {QStringLiteral("Cancelled job")}, "Jobs > Cancelled"},
        {FilterNode::Warnings, {QStringLiteral("Warnings job")}, "Jobs > Warnings"},
        {FilterNode::Errors, {QStringLiteral("Errors job")}, "Jobs > Errors"},
        {FilterNode::Scheduled,
         {QStringLiteral("Later today"), QStringLiteral("Saturday"), QStringLiteral("Monthly 20th")},
         "Jobs > Scheduled"},
        {FilterNode::Today, {QStringLiteral("Later today")}, "Jobs > Scheduled > Today"},
        {FilterNode::ThisWeek, {QStringLiteral("Later today"), QStringLiteral("Saturday")},
         "Jobs > Scheduled > This week"},
        {FilterNode::NextTenDays,
         {QStringLiteral("Later today"), QStringLiteral("Saturday"), QStringLiteral("Monthly 20th")},
         "Jobs > Scheduled > Next 10 days"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.header);
        w.SelectFilterNode(c.node);
        core->tick();
        const QStringList expected = c.node == FilterNode::Jobs ? core->Jobs().Names() : c.visible;
        EXPECT_EQ(VisibleNames(), expected);
        EXPECT_EQ(w.lbListHeader->text(), QLatin1String(c.header));
        EXPECT_EQ(w.JobsView()->EmptyPanel()->isVisibleTo(w.JobsView()), false);
    }
}

TEST_F(FilterTest, ThisWeekOnSundayCoversOnlyTheRestOfTheDay)
{
    At(QStringLiteral("2024-05-19 12:00:00")); // a Sunday
    AddScheduledJob(QStringLiteral("Evening"), {QStringLiteral("18:00:00")});
    AddScheduledJob(QStringLiteral("Morning"), {QStringLiteral("08:00:00")});
    TfrmMainQuorvane &w = Window();
    w.SelectFilterNode(FilterNode::ThisWeek);
    EXPECT_EQ(VisibleNames(), QStringList{QStringLiteral("Evening")});
}

TEST_F(FilterTest, EmptyCategoryNamesItsPath)
{
    AddJob(QStringLiteral("Docs"));
    TfrmMainQuorvane &w = Window();
    w.show();
    w.SelectFilterNode(FilterNode::Today);
    EXPECT_TRUE(VisibleNames().isEmpty());
    EXPECT_TRUE(w.JobsView()->EmptyPanel()->isVisible());
    EXPECT_EQ(w.JobsView()->EmptyPanel()->text(),
              QStringLiteral("No items found in category \"Jobs > Scheduled > Today\""));
}

TEST_F(FilterTest, AJobThatChangesStateFollowsTheFilterAtTheNextTick)
{
    TJob &job = AddJob(QStringLiteral("Docs"));
    TfrmMainQuorvane &w = Window();
    w.SelectFilterNode(FilterNode::Running);
    EXPECT_TRUE(VisibleNames().isEmpty());
    SetStatus(job, jsRunning);
    core->tick();
    EXPECT_EQ(VisibleNames(), QStringList{QStringLiteral("Docs")});
}
