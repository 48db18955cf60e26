#pragma once
// The filter tree and the search box of the jobs list: which jobs a node or
// a search text shows, and the path the list header displays.
#include <QString>
#include <QStringList>

class TJob;

// The nine nodes, in tree order: the root "Jobs" with "Running",
// "Cancelled", "Warnings", "Errors" and "Scheduled", the last with "Today",
// "This week" and "Next 10 days".
enum class FilterNode { Jobs, Running, Cancelled, Warnings, Errors, Scheduled, Today, ThisWeek, NextTenDays };
inline constexpr int kFilterNodeCount = 9;

// The node's English text (the translation table's key).
QString FilterNodeEnglish(FilterNode node);
// Its parent (Jobs for the first level, Scheduled for the days); Jobs has none.
FilterNode FilterNodeParent(FilterNode node);
// The translated names from the root to the node: Jobs > Scheduled > Today.
QString FilterNodePathText(FilterNode node);

// Whether the job passes the node's rule, at Clock::Now().
bool JobPassesFilter(FilterNode node, const TJob &job);
// Whether the job's name contains the search text, letter case ignored.
bool JobMatchesSearch(const QString &search, const TJob &job);

// The current choice of the filter panel: a node, a search, or neither
// (after a search was ended without a node being chosen).
struct JobFilter {
    bool HasNode = true;
    FilterNode Node = FilterNode::Jobs;
    QString SearchedString;

    bool Searching() const { return !SearchedString.isEmpty(); }
    // Whether the filter decides the visibility at all: with no node and no
    // search text the items keep the visibility they had.
    bool Decides() const { return Searching() || HasNode; }
    bool Shows(const TJob &job) const;
    // The list header: the node's path, or "Search results" while searching.
    QString HeaderText() const;
    // The empty-state panel's text.
    QString NothingFoundText() const;
};
