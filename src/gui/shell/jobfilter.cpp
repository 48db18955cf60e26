#include "gui/shell/jobfilter.h"

#include "options/options.h"
#include "base/datetime.h"
#include "jobs/job.h"
#include "jobs/jobtext.h"

QString FilterNodeEnglish(FilterNode node)
{
    switch (node) {
    case FilterNode::Jobs:
        return QStringLiteral("Jobs");
    case FilterNode::Running:
        return QStringLiteral("Running");
    case FilterNode::Cancelled:
        return QStringLiteral("Cancelled");
    case FilterNode::Warnings:
        return QStringLiteral("Warnings");
    case FilterNode::Errors:
        return QStringLiteral("Errors");
    case FilterNode::Scheduled:
        return QStringLiteral("Scheduled");
    case FilterNode::Today:
        return QStringLiteral("Today");
    case FilterNode::ThisWeek:
        return QStringLiteral("This week");
    case FilterNode::NextTenDays:
        return QStringLiteral("Next 10 days");
    }
    return QString();
}

FilterNode FilterNodeParent(FilterNode node)
{
    switch (node) {
    case FilterNode::Today:
    case FilterNode::ThisWeek:
    case FilterNode::NextTenDays:
        return FilterNode::Scheduled;
    default:
        return FilterNode::Jobs;
    }
}

QString FilterNodePathText(FilterNode node)
{
    QStringList names;
    FilterNode n = node;
    while (true) {
        names.prepend(Translate(FilterNodeEnglish(n)));
        if (n == FilterNode::Jobs)
            break;
        n = FilterNodeParent(n);
    }
    return names.join(QStringLiteral(" > "));
}

bool JobPassesFilter(FilterNode node, const TJob &job)
{
    switch (node) {
    case FilterNode::Jobs:
        return true;
    case FilterNode::Running:
        return IsActiveStatus(job.JobStatus.load());
    case FilterNode::Cancelled:
        // An active job's outcome belongs to its worker until the run ends
        // (a new run starts with it cleared).
        return !IsActiveStatus(job.JobStatus.load()) && job.LastJobResult.Cancelled;
    case FilterNode::Warnings:
    case FilterNode::Errors: {
        qint32 errors = 0, warnings = 0;
        job.RunLogCounts(errors, warnings);
        return node == FilterNode::Errors ? errors > 0 : warnings > 0;
    }
    case FilterNode::Scheduled:
        return job.SchedulingSettings.SchedulingType != stDisabled;
    case FilterNode::Today:
        return job.IsScheduledXDaysFromNow(0);
    case FilterNode::ThisWeek:
        // Monday = 1 ... Sunday = 7: the rest of the week after today.
        return job.IsScheduledXDaysFromNow(7 - Clock::Now().date().dayOfWeek());
    case FilterNode::NextTenDays:
        return job.IsScheduledXDaysFromNow(10);
    }
    return true;
}

bool JobMatchesSearch(const QString &search, const TJob &job)
{
    return job.stJobName.contains(search, Qt::CaseInsensitive);
}

bool JobFilter::Shows(const TJob &job) const
{
    if (Searching())
        return JobMatchesSearch(SearchedString, job);
    return !HasNode || JobPassesFilter(Node, job);
}

QString JobFilter::HeaderText() const
{
    if (Searching())
        return Translate(QStringLiteral("Search results"));
    return HasNode ? FilterNodePathText(Node) : QString();
}

QString JobFilter::NothingFoundText() const
{
    if (Searching())
        return Translate(QStringLiteral("No items match your search"));
    return FillPercentS(Translate(QStringLiteral("No items found in category \"%s\"")), {HeaderText()});
}
