#pragma once
// The jobs of the application core as a table model: one row per job in
// list order, five columns for the table view (the card view paints the
// whole row from the job), and each row's visibility under the current
// filter. Job workers report changes from their own threads; the model
// turns any number of them into one queued repaint, so a worker never waits
// for the window.
#include "gui/shell/jobfilter.h"

#include <QAbstractTableModel>
#include <QHash>
#include <QVector>
#include <atomic>

class JobsList;
class TJob;

class JobsListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit JobsListModel(JobsList &jobs, QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

    // The job of a row, or nullptr when the row is out of range or the jobs
    // list changed under the model (then a Sync is already on its way).
    TJob *JobAt(int row) const;
    int RowOf(const TJob *job) const;

    // Takes over the jobs list's rows when they differ (a job was added,
    // removed or moved). True when the rows changed.
    bool Sync();

    // Visibility of a row's item: true for a new job.
    bool IsVisible(int row) const;
    // True when the visibility changed.
    bool SetVisible(int row, bool visible);
    // Applies the filter to every row (when it decides at all). True when
    // some row's visibility changed.
    bool ApplyFilter(const JobFilter &filter);
    bool AnyVisible() const;

    // Every row's data changed (the once-a-second refresh, a language switch).
    void RefreshAll();

    // How many coalesced repaints the workers' reports turned into.
    int ServedRepaints() const { return m_servedRepaints; }

Q_SIGNALS:
    // Some job reported a change; emitted on the main thread, at most once
    // per pass of the event loop however many reports arrived.
    void JobsRepaintRequested();
    void VisibilityChanged();

private:
    void watch(TJob *job);
    void reportedFromAnyThread();
    void serveRepaint();

    JobsList &m_jobs;
    QVector<TJob *> m_rows;
    QHash<const TJob *, bool> m_visible;
    std::atomic<bool> m_repaintPending{false};
    int m_servedRepaints = 0;
};
