#include "gui/shell/cardlayout.h"

#include "options/options.h"

#include <QFontMetrics>
#include <QtMath>

int CardItemHeight(qreal dpiScale)
{
    return qRound(60 * dpiScale);
}

int TableItemHeight(qreal dpiScale)
{
    return qRound(26 * dpiScale);
}

CardLayout CardLayout::Compute(const QFont &base, int listWidth, bool scrollBar, qreal dpiScale)
{
    CardLayout l;
    l.ItemHeight = CardItemHeight(dpiScale);
    l.IconSize = qRound(32 * dpiScale);
    l.LinkIconSize = qRound(16 * dpiScale);
    l.TextLeft = 10 + l.IconSize + qRound(12 * dpiScale);

    l.NameFont = base;
    l.NameFont.setPointSize(12);
    l.SmallFont = base;
    l.SmallFont.setPointSize(8);
    l.LinkFont = base;
    l.LinkFont.setPointSize(9);

    const QFontMetrics name(l.NameFont);
    const QFontMetrics small(l.SmallFont);
    const QFontMetrics link(l.LinkFont);
    l.NameTop = l.ItemHeight / 7;
    l.NameHeight = name.height();
    l.SecondLineTop = l.NameTop + l.NameHeight + qRound(2 * dpiScale);
    l.SecondLineHeight = small.height();

    // Both links are placed for the idle captions, so that they stay where
    // they are whatever the job does.
    const int gap = qRound(3 * dpiScale);
    const int w1 = l.LinkIconSize + gap + link.horizontalAdvance(Translate(QStringLiteral("Backup")));
    const int w2 = l.LinkIconSize + gap + link.horizontalAdvance(Translate(QStringLiteral("Restore")));
    const int margin = scrollBar ? 30 : 20;
    const int x1 = listWidth - (w1 + w2) - margin - 25;
    const int linkHeight = qMax(l.NameHeight, l.LinkIconSize);
    l.Link1 = QRect(x1, l.NameTop, w1, linkHeight);
    l.Link2 = QRect(l.Link1.right() + 1 + 15, l.NameTop, w2, linkHeight);

    const int countWidth = small.horizontalAdvance(Translate(QStringLiteral("Warnings")) + QStringLiteral("  "));
    const int countRight = listWidth - margin;
    l.CountLink = QRect(countRight - countWidth, l.NameTop + l.NameHeight, countWidth, l.SecondLineHeight +
                                                                                       qRound(2 * dpiScale));
    return l;
}
