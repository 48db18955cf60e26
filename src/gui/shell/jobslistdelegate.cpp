#include "gui/shell/jobslistdelegate.h"

#include "gui/shell/jobpresentation.h"
#include "gui/shell/jobslistmodel.h"
#include "gui/shell/jobslistview.h"
#include "gui/shell/shellicons.h"
#include "jobs/job.h"

#include <QApplication>
#include <QPainter>

namespace {
const QColor kLinkColor(0, 90, 190);

ShellIcon linkIcon(CardLink link)
{
    switch (link) {
    case CardLink::Backup:
        return ShellIcon::Backup;
    case CardLink::Restore:
        return ShellIcon::Restore;
    case CardLink::Pause:
        return ShellIcon::Pause;
    case CardLink::Resume:
        return ShellIcon::Resume;
    case CardLink::Cancel:
    case CardLink::None:
    default:
        return ShellIcon::Cancel;
    }
}
} // namespace

QString ShortenPathToWidth(const QString &path, const QFontMetrics &metrics, int width)
{
    if (metrics.horizontalAdvance(path) <= width)
        return path;
    const QString prefix = QStringLiteral(".../");
    const QStringList parts = path.split(QLatin1Char('/'));
    // Drop leading folders one by one; the file name always stays.
    for (qsizetype k = 1; k < parts.size(); ++k) {
        const QString candidate = prefix + parts.mid(k).join(QLatin1Char('/'));
        if (candidate.size() < path.size() && metrics.horizontalAdvance(candidate) <= width)
            return candidate;
    }
    const QString name = parts.last();
    if (parts.size() == 1)
        return metrics.elidedText(name, Qt::ElideRight, width);
    return prefix + metrics.elidedText(name, Qt::ElideRight, qMax(0, width - metrics.horizontalAdvance(prefix)));
}

JobsListDelegate::JobsListDelegate(JobsListView *view) : QStyledItemDelegate(view), m_view(view) {}

QSize JobsListDelegate::sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    QSize size = QStyledItemDelegate::sizeHint(option, index);
    size.setHeight(m_view->ItemHeight());
    return size;
}

void JobsListDelegate::paint(QPainter *p, const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    const JobsListModel *model = m_view->JobsModel();
    const TJob *job = model ? model->JobAt(index.row()) : nullptr;
    if (!job)
        return;
    p->save();
    if (m_view->IsCardView())
        paintCard(p, option, index.row(), *job);
    else
        paintCell(p, option, index);
    p->restore();
}

void JobsListDelegate::paintBackground(QPainter *p, const QRect &rect, bool selected, const QPalette &palette,
                                       int column) const
{
    if (!selected) {
        p->fillRect(rect, palette.color(QPalette::Base));
        return;
    }
    p->fillRect(rect, ListColors::SelectedBackground());
    p->setPen(ListColors::SelectedBorder());
    p->drawLine(rect.topLeft(), rect.topRight());
    p->drawLine(rect.bottomLeft(), rect.bottomRight());
    if (column <= 0)
        p->drawLine(rect.topLeft(), rect.bottomLeft());
    if (column < 0 || column == colCount - 1)
        p->drawLine(rect.topRight(), rect.bottomRight());
}

void JobsListDelegate::paintCard(QPainter *p, const QStyleOptionViewItem &option, int row, const TJob &job) const
{
    const CardLayout &l = m_view->Layout();
    const CardHover &hover = m_view->Hover();
    const QRect card = option.rect;
    const bool selected = row == m_view->SelectedRow();
    const QPalette &pal = option.palette;
    paintBackground(p, card.adjusted(0, 0, -1, -1), selected, pal, -1);
    const QColor text = pal.color(QPalette::Text);

    // The job's icon, centred vertically at x = 10.
    const QPixmap icon = JobIconPixmap(job.bmpIcon, l.IconSize);
    p->drawPixmap(card.left() + 10, card.top() + (card.height() - l.IconSize) / 2, icon);

    // The two links on the name's line.
    const CardLinks links = CardLinksFor(job);
    const auto drawLink = [&](CardLink link, const QRect &rect, bool over) {
        if (link == CardLink::None)
            return;
        const QRect r = rect.translated(card.left(), card.top());
        p->drawPixmap(r.left(), r.top() + (r.height() - l.LinkIconSize) / 2,
                      ShellPixmap(linkIcon(link), l.LinkIconSize));
        QFont f = l.LinkFont;
        f.setUnderline(!over);
        p->setFont(f);
        p->setPen(kLinkColor);
        const int textLeft = r.left() + l.LinkIconSize + qRound(3 * m_view->DpiScale());
        p->drawText(QRect(textLeft, r.top(), card.right() - textLeft, r.height()), Qt::AlignLeft | Qt::AlignVCenter,
                    CardLinkText(link));
    };
    const bool hoveredRow = hover.ListIndexUnderTheCursor == row;
    drawLink(links.Link1, l.Link1, hoveredRow && hover.ControlLink1CursorOver);
    drawLink(links.Link2, l.Link2, hoveredRow && hover.ControlLink2CursorOver);

    // The result at the right end of the second line.
    const CardResult result = CardResultFor(job);
    const QFontMetrics small(l.SmallFont);
    const int lineTop = card.top() + l.SecondLineTop;
    int resultLeft = card.left() + l.Link1.left();
    if (result.ShowProgress) {
        const int barHeight = qRound(10 * m_view->DpiScale());
        const QRect bar(card.left() + l.Link1.left(), lineTop + (l.SecondLineHeight - barHeight) / 2,
                        l.Link2.right() - l.Link1.left(), barHeight);
        p->setPen(Qt::black);
        p->setBrush(pal.color(QPalette::Base));
        p->drawRect(bar);
        const int filled = (bar.width() - 1) * result.Percent / 100;
        if (filled > 0)
            p->fillRect(QRect(bar.left() + 1, bar.top() + 1, filled, bar.height() - 1), ListColors::ProgressFill());
    } else if (!result.Text.isEmpty() || !result.CountLink.isEmpty()) {
        int right = card.left() + l.Link2.right();
        p->setFont(l.SmallFont);
        if (!result.CountLink.isEmpty()) {
            const QRect linkRect = l.CountLink.translated(card.left(), card.top());
            QFont f = l.SmallFont;
            f.setUnderline(!(hoveredRow && hover.ErrorsLinkCursorOver));
            p->setFont(f);
            p->setPen(result.Color.isValid() ? result.Color : kLinkColor);
            p->drawText(QRect(linkRect.left(), lineTop, card.right() - linkRect.left(), l.SecondLineHeight),
                        Qt::AlignLeft | Qt::AlignVCenter, result.CountLink);
            p->setFont(l.SmallFont);
            right = linkRect.left() - small.horizontalAdvance(QStringLiteral("  "));
        }
        const int width = small.horizontalAdvance(result.Text);
        resultLeft = right - width;
        p->setPen(result.Color.isValid() ? result.Color : text);
        p->drawText(QRect(resultLeft, lineTop, width + 1, l.SecondLineHeight), Qt::AlignRight | Qt::AlignVCenter,
                    result.Text);
    }

    // The name, in 12-point type.
    const int textLeft = card.left() + l.TextLeft;
    const int nameRoom = card.left() + l.Link1.left() - textLeft - 10;
    p->setFont(l.NameFont);
    p->setPen(text);
    p->drawText(QRect(textLeft, card.top() + l.NameTop, qMax(0, nameRoom), l.NameHeight),
                Qt::AlignLeft | Qt::AlignVCenter,
                QFontMetrics(l.NameFont).elidedText(job.stJobName, Qt::ElideRight, qMax(0, nameRoom)));

    // The second line: what the job is doing, or where it backs up to.
    const CardSecondLine second = CardSecondLineFor(job);
    const int room = qMax(0, qMin(card.left() + l.Link1.left(), resultLeft) - textLeft - 10);
    QString line = second.Prefix;
    if (!second.Path.isEmpty())
        line += ShortenPathToWidth(second.Path, small, qMax(0, room - small.horizontalAdvance(second.Prefix)));
    line = small.elidedText(line, Qt::ElideRight, room);
    p->setFont(l.SmallFont);
    p->setPen(second.Warning ? ListColors::Red() : pal.color(QPalette::PlaceholderText).darker(130));
    p->drawText(QRect(textLeft, lineTop, room, l.SecondLineHeight), Qt::AlignLeft | Qt::AlignVCenter, line);
}

void JobsListDelegate::paintCell(QPainter *p, const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    const bool selected = index.row() == m_view->SelectedRow();
    paintBackground(p, option.rect.adjusted(0, 0, 0, -1), selected, option.palette, index.column());
    const QVariant color = index.data(Qt::ForegroundRole);
    p->setPen(color.isValid() ? color.value<QColor>() : option.palette.color(QPalette::Text));
    p->setFont(option.font);
    const int pad = qRound(6 * m_view->DpiScale());
    const QRect r = option.rect.adjusted(pad, 0, -pad, 0);
    p->drawText(r, Qt::AlignLeft | Qt::AlignVCenter,
                option.fontMetrics.elidedText(index.data(Qt::DisplayRole).toString(), Qt::ElideRight, r.width()));
}
