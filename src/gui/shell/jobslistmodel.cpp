#include "gui/shell/jobslistmodel.h"

#include "gui/shell/jobpresentation.h"
#include "jobs/jobslist.h"

#include <QMetaObject>
#include <QSet>

JobsListModel::JobsListModel(JobsList &jobs, QObject *parent) : QAbstractTableModel(parent), m_jobs(jobs)
{
    Sync();
}

int JobsListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_rows.size());
}

int JobsListModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : colCount;
}

TJob *JobsListModel::JobAt(int row) const
{
    if (row < 0 || row >= m_rows.size())
        return nullptr;
    // A job removed behind the model's back must never be touched.
    TJob *job = m_rows[row];
    if (row >= m_jobs.Count() || m_jobs.At(row) != job) {
        auto *self = const_cast<JobsListModel *>(this);
        QMetaObject::invokeMethod(self, [self] { self->Sync(); }, Qt::QueuedConnection);
        return nullptr;
    }
    return job;
}

int JobsListModel::RowOf(const TJob *job) const
{
    for (int i = 0; i < m_rows.size(); ++i) {
        if (m_rows[i] == job)
            return i;
    }
    return -1;
}

QVariant JobsListModel::data(const QModelIndex &index, int role) const
{
    const TJob *job = JobAt(index.row());
    if (!job || index.column() < 0 || index.column() >= colCount)
        return QVariant();
    switch (role) {
    case Qt::DisplayRole:
        return TableCellFor(*job, index.column()).Text;
    case Qt::ForegroundRole: {
        const QColor c = TableCellFor(*job, index.column()).Color;
        return c.isValid() ? QVariant(c) : QVariant();
    }
    case Qt::ToolTipRole:
        return index.column() == colTitle ? QVariant(job->stJobName) : QVariant();
    default:
        return QVariant();
    }
}

QVariant JobsListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole)
        return ColumnTitle(section);
    return QAbstractTableModel::headerData(section, orientation, role);
}

Qt::ItemFlags JobsListModel::flags(const QModelIndex &index) const
{
    return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
}

bool JobsListModel::Sync()
{
    QVector<TJob *> rows;
    rows.reserve(m_jobs.Count());
    for (const auto &job : m_jobs.Jobs())
        rows.append(job.get());
    if (rows == m_rows)
        return false;
    beginResetModel();
    const QSet<TJob *> known(m_rows.begin(), m_rows.end());
    m_rows = rows;
    QHash<const TJob *, bool> visible;
    for (TJob *job : std::as_const(m_rows)) {
        visible.insert(job, m_visible.value(job, true));
        if (!known.contains(job))
            watch(job);
    }
    m_visible = visible;
    endResetModel();
    return true;
}

void JobsListModel::watch(TJob *job)
{
    // Runs on the reporting thread: only a flag and one queued call.
    connect(job, &TJob::Changed, this, [this] { reportedFromAnyThread(); }, Qt::DirectConnection);
}

void JobsListModel::reportedFromAnyThread()
{
    if (!m_repaintPending.exchange(true))
        QMetaObject::invokeMethod(this, &JobsListModel::serveRepaint, Qt::QueuedConnection);
}

void JobsListModel::serveRepaint()
{
    m_repaintPending.store(false);
    ++m_servedRepaints;
    RefreshAll();
    Q_EMIT JobsRepaintRequested();
}

bool JobsListModel::IsVisible(int row) const
{
    if (row < 0 || row >= m_rows.size())
        return false;
    return m_visible.value(m_rows[row], true);
}

bool JobsListModel::SetVisible(int row, bool visible)
{
    if (row < 0 || row >= m_rows.size())
        return false;
    bool &v = m_visible[m_rows[row]];
    if (v == visible)
        return false;
    v = visible;
    return true;
}

bool JobsListModel::ApplyFilter(const JobFilter &filter)
{
    if (!filter.Decides())
        return false;
    bool changed = false;
    for (int row = 0; row < m_rows.size(); ++row) {
        const TJob *job = JobAt(row);
        if (job)
            changed = SetVisible(row, filter.Shows(*job)) || changed;
    }
    if (changed)
        Q_EMIT VisibilityChanged();
    return changed;
}

bool JobsListModel::AnyVisible() const
{
    for (int row = 0; row < m_rows.size(); ++row) {
        if (IsVisible(row))
            return true;
    }
    return false;
}

void JobsListModel::RefreshAll()
{
    if (m_rows.isEmpty())
        return;
    Q_EMIT dataChanged(index(0, 0), index(static_cast<int>(m_rows.size()) - 1, colCount - 1));
}
