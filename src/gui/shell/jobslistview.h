#pragma once
// The jobs list `lbJobsList`: cards or a table over the jobs model. Hidden
// items take no room; Up and Down move over them to the next visible item
// and every other key is consumed; a left press selects the item under the
// mouse; on cards the two action links and the errors or warnings count
// react to hover (hand cursor, no underline) and to a click on the
// selected job. When no item is visible a panel in the middle says why.
#include "gui/shell/cardlayout.h"

#include <QTreeView>

class JobsListModel;
class QLabel;

// Hover state of the card links, read by the delegate while painting.
struct CardHover {
    int ListIndexUnderTheCursor = -1;
    bool ControlLink1CursorOver = false;
    bool ControlLink2CursorOver = false;
    bool ErrorsLinkCursorOver = false;
    bool CursorOverSomeLink() const { return ControlLink1CursorOver || ControlLink2CursorOver || ErrorsLinkCursorOver; }
    bool operator==(const CardHover &) const = default;
};

class JobsListView : public QTreeView {
    Q_OBJECT
public:
    enum Link { NoLink = 0, Link1 = 1, Link2 = 2, CountLink = 3 };

    explicit JobsListView(QWidget *parent = nullptr);

    void SetJobsModel(JobsListModel *model);
    JobsListModel *JobsModel() const { return m_model; }

    // Cards (true) or the table.
    void SetCardView(bool cards);
    bool IsCardView() const { return m_cards; }
    int ItemHeight() const;
    qreal DpiScale() const;

    const CardLayout &Layout() const { return m_layout; }
    const CardHover &Hover() const { return m_hover; }
    // Recomputes the link geometry and the column widths (after a resize,
    // a view switch or a language switch).
    void UpdateLayout();

    // Hides the rows of invisible items and shows the others.
    void ApplyVisibility();
    // The selected row (it may be hidden), or -1.
    int SelectedRow() const;
    void SelectRow(int row);
    // The selected row when its item is visible, else -1.
    int SelectedVisibleRow() const;

    // The empty-state panel.
    void SetEmptyPanel(bool show, const QString &text);
    QLabel *EmptyPanel() const { return m_emptyPanel; }

    // Which link of a row a point (in the viewport) is over, looking only at
    // the links the row's job shows.
    Link LinkAt(const QPoint &viewportPos, int *row = nullptr) const;
    // The rectangle of a row's link in viewport coordinates.
    QRect LinkRect(int row, Link link) const;

Q_SIGNALS:
    // A link of the selected job was clicked.
    void LinkClicked(int row, JobsListView::Link link);
    void JobDoubleClicked(int row);
    void SelectedRowChanged();

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void currentChanged(const QModelIndex &current, const QModelIndex &previous) override;

private:
    void setHover(const CardHover &hover);
    void placeEmptyPanel();
    int nextVisibleRow(int from, int step) const;

    JobsListModel *m_model = nullptr;
    bool m_cards = true;
    CardLayout m_layout;
    CardHover m_hover;
    QLabel *m_emptyPanel;
};
