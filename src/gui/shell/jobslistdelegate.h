#pragma once
// Paints the jobs list: a whole card per row in the card view, or the five
// cells of a row in the table view, from the job's live fields.
#include <QStyledItemDelegate>

class JobsListView;
class TJob;
class QPainter;

class JobsListDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    explicit JobsListDelegate(JobsListView *view);

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override;

private:
    void paintCard(QPainter *p, const QStyleOptionViewItem &option, int row, const TJob &job) const;
    void paintCell(QPainter *p, const QStyleOptionViewItem &option, const QModelIndex &index) const;
    void paintBackground(QPainter *p, const QRect &rect, bool selected, const QPalette &palette, int column) const;

    JobsListView *m_view;
};

// Shortens a path to `width` pixels by putting three dots and a separator in
// place of its leading folders; the file name is kept (and elided at its
// end only when even ".../name" does not fit).
QString ShortenPathToWidth(const QString &path, const QFontMetrics &metrics, int width);
