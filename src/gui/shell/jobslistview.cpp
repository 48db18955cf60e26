#include "gui/shell/jobslistview.h"

#include "gui/shell/jobpresentation.h"
#include "gui/shell/jobslistdelegate.h"
#include "gui/shell/jobslistmodel.h"
#include "jobs/job.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QScrollBar>

JobsListView::JobsListView(QWidget *parent) : QTreeView(parent), m_emptyPanel(new QLabel(viewport()))
{
    setObjectName(QStringLiteral("lbJobsList"));
    setRootIsDecorated(false);
    setIndentation(0);
    setItemsExpandable(false);
    setUniformRowHeights(true);
    setAllColumnsShowFocus(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setMouseTracking(true);
    setContextMenuPolicy(Qt::CustomContextMenu);
    setItemDelegate(new JobsListDelegate(this));
    header()->setStretchLastSection(true);
    header()->setSectionsMovable(false);

    m_emptyPanel->setObjectName(QStringLiteral("pnNoItems"));
    m_emptyPanel->setAlignment(Qt::AlignCenter);
    m_emptyPanel->setWordWrap(true);
    m_emptyPanel->setFrameShape(QFrame::StyledPanel);
    m_emptyPanel->setMargin(16);
    m_emptyPanel->setAttribute(Qt::WA_TransparentForMouseEvents);
    m_emptyPanel->hide();
}

void JobsListView::SetJobsModel(JobsListModel *model)
{
    m_model = model;
    setModel(model);
    connect(model, &QAbstractItemModel::modelReset, this, [this] {
        ApplyVisibility();
        UpdateLayout();
    });
    SetCardView(m_cards);
}

qreal JobsListView::DpiScale() const
{
    return logicalDpiY() / 96.0;
}

int JobsListView::ItemHeight() const
{
    return m_cards ? CardItemHeight(DpiScale()) : TableItemHeight(DpiScale());
}

void JobsListView::SetCardView(bool cards)
{
    m_cards = cards;
    setHeaderHidden(cards);
    if (m_model) {
        for (int c = 1; c < colCount; ++c)
            header()->setSectionHidden(c, cards);
    }
    setHover(CardHover());
    UpdateLayout();
    // The delegate's row height changed: lay the rows out again.
    scheduleDelayedItemsLayout();
    viewport()->update();
}

void JobsListView::UpdateLayout()
{
    m_layout = CardLayout::Compute(font(), width(), verticalScrollBar()->isVisible(), DpiScale());
    if (!m_cards && m_model) {
        const qreal s = DpiScale();
        header()->resizeSection(colTitle, qRound(190 * s));
        header()->resizeSection(colType, qRound(170 * s));
        header()->resizeSection(colStorage, qRound(80 * s));
        header()->resizeSection(colStatus, qRound(90 * s));
    }
    placeEmptyPanel();
    viewport()->update();
}

void JobsListView::ApplyVisibility()
{
    if (!m_model)
        return;
    for (int row = 0; row < m_model->rowCount(); ++row) {
        const bool hidden = !m_model->IsVisible(row);
        if (isRowHidden(row, QModelIndex()) != hidden)
            setRowHidden(row, QModelIndex(), hidden);
    }
}

int JobsListView::SelectedRow() const
{
    const QModelIndex current = currentIndex();
    return current.isValid() ? current.row() : -1;
}

int JobsListView::SelectedVisibleRow() const
{
    const int row = SelectedRow();
    return row >= 0 && m_model && m_model->IsVisible(row) ? row : -1;
}

void JobsListView::SelectRow(int row)
{
    if (!m_model || row < 0 || row >= m_model->rowCount()) {
        setCurrentIndex(QModelIndex());
        return;
    }
    const QModelIndex index = m_model->index(row, 0);
    selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    if (!isRowHidden(row, QModelIndex()))
        scrollTo(index);
}

void JobsListView::currentChanged(const QModelIndex &current, const QModelIndex &previous)
{
    QTreeView::currentChanged(current, previous);
    viewport()->update();
    Q_EMIT SelectedRowChanged();
}

int JobsListView::nextVisibleRow(int from, int step) const
{
    if (!m_model)
        return -1;
    const int count = m_model->rowCount();
    int row = from < 0 ? (step > 0 ? 0 : count - 1) : from + step;
    for (; row >= 0 && row < count; row += step) {
        if (m_model->IsVisible(row))
            return row;
    }
    return -1;
}

void JobsListView::keyPressEvent(QKeyEvent *event)
{
    // The list consumes every key; only Up and Down do something.
    event->accept();
    if (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))
        return;
    int step = 0;
    if (event->key() == Qt::Key_Up)
        step = -1;
    else if (event->key() == Qt::Key_Down)
        step = 1;
    if (step == 0)
        return;
    const int row = nextVisibleRow(SelectedRow(), step);
    if (row >= 0)
        SelectRow(row);
}

void JobsListView::mousePressEvent(QMouseEvent *event)
{
    event->accept();
    setFocus(Qt::MouseFocusReason);
    if (event->button() != Qt::LeftButton && event->button() != Qt::RightButton)
        return;
    const QModelIndex index = indexAt(event->position().toPoint());
    if (index.isValid())
        SelectRow(index.row());
}

void JobsListView::mouseDoubleClickEvent(QMouseEvent *event)
{
    event->accept();
    if (event->button() != Qt::LeftButton)
        return;
    // A double click on a link is two clicks on the link, not Properties.
    if (LinkAt(event->position().toPoint()) != NoLink)
        return;
    const QModelIndex index = indexAt(event->position().toPoint());
    if (index.isValid())
        Q_EMIT JobDoubleClicked(index.row());
}

JobsListView::Link JobsListView::LinkAt(const QPoint &pos, int *rowOut) const
{
    if (rowOut)
        *rowOut = -1;
    if (!m_cards || !m_model)
        return NoLink;
    const QModelIndex index = indexAt(pos);
    if (!index.isValid())
        return NoLink;
    const int row = index.row();
    if (rowOut)
        *rowOut = row;
    const TJob *job = m_model->JobAt(row);
    if (!job)
        return NoLink;
    // The position within the card.
    const QPoint inCard(pos.x(), pos.y() - visualRect(m_model->index(row, 0)).top());
    const CardLinks links = CardLinksFor(*job);
    if (links.Link1 != CardLink::None && m_layout.Link1.contains(inCard))
        return Link1;
    if (links.Link2 != CardLink::None && m_layout.Link2.contains(inCard))
        return Link2;
    if (!CardResultFor(*job).CountLink.isEmpty() && m_layout.CountLink.contains(inCard))
        return CountLink;
    return NoLink;
}

QRect JobsListView::LinkRect(int row, Link link) const
{
    if (!m_model)
        return QRect();
    const QRect item = visualRect(m_model->index(row, 0));
    QRect r;
    switch (link) {
    case Link1:
        r = m_layout.Link1;
        break;
    case Link2:
        r = m_layout.Link2;
        break;
    case CountLink:
        r = m_layout.CountLink;
        break;
    case NoLink:
        return QRect();
    }
    return r.translated(0, item.top());
}

void JobsListView::setHover(const CardHover &hover)
{
    if (hover == m_hover)
        return;
    const bool wasOverLink = m_hover.CursorOverSomeLink();
    m_hover = hover;
    if (wasOverLink != m_hover.CursorOverSomeLink()) {
        if (m_hover.CursorOverSomeLink())
            viewport()->setCursor(Qt::PointingHandCursor);
        else
            viewport()->unsetCursor();
    }
    viewport()->update();
}

void JobsListView::mouseMoveEvent(QMouseEvent *event)
{
    event->accept();
    if (!m_cards)
        return;
    int row = -1;
    const Link link = LinkAt(event->position().toPoint(), &row);
    CardHover hover;
    hover.ListIndexUnderTheCursor = row;
    hover.ControlLink1CursorOver = link == Link1;
    hover.ControlLink2CursorOver = link == Link2;
    hover.ErrorsLinkCursorOver = link == CountLink;
    setHover(hover);
}

void JobsListView::leaveEvent(QEvent *event)
{
    setHover(CardHover());
    QTreeView::leaveEvent(event);
}

void JobsListView::mouseReleaseEvent(QMouseEvent *event)
{
    event->accept();
    if (event->button() != Qt::LeftButton || !m_cards)
        return;
    int row = -1;
    const Link link = LinkAt(event->position().toPoint(), &row);
    if (link != NoLink && row == SelectedRow())
        Q_EMIT LinkClicked(row, link);
}

void JobsListView::resizeEvent(QResizeEvent *event)
{
    QTreeView::resizeEvent(event);
    UpdateLayout();
}

void JobsListView::SetEmptyPanel(bool show, const QString &text)
{
    if (m_emptyPanel->text() != text)
        m_emptyPanel->setText(text);
    m_emptyPanel->setVisible(show);
    placeEmptyPanel();
}

void JobsListView::placeEmptyPanel()
{
    if (!m_emptyPanel->isVisible())
        return;
    const QRect area = viewport()->rect();
    const int width = qMin(area.width() - 20, qMax(260, m_emptyPanel->sizeHint().width()));
    m_emptyPanel->setFixedWidth(qMax(40, width));
    m_emptyPanel->adjustSize();
    m_emptyPanel->move(area.center() - m_emptyPanel->rect().center());
}
