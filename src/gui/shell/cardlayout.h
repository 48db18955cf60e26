#pragma once
// The geometry of a job card: the same rectangles for every card, relative
// to the card's top-left corner, recomputed when the list is resized, the
// view is switched or the language changes.
#include <QFont>
#include <QRect>

struct CardLayout {
    int ItemHeight = 60;
    int IconSize = 32;     // the job's icon
    int LinkIconSize = 16; // the icon in front of a link's text
    int TextLeft = 54;     // where the name and the second line start
    int NameTop = 8;       // one seventh of the card height
    int NameHeight = 20;
    int SecondLineTop = 30;
    int SecondLineHeight = 14;
    QRect Link1;    // ControlLink1Rect
    QRect Link2;    // ControlLink2Rect
    QRect CountLink; // ErrorLinkRect

    QFont NameFont;  // 12 point
    QFont SmallFont; // 8 point: the second line and the result
    QFont LinkFont;  // the action links

    // `listWidth`: the list's width; `scrollBar`: the list shows a vertical
    // scroll bar; `dpiScale`: the screen's pixels per inch / 96.
    static CardLayout Compute(const QFont &base, int listWidth, bool scrollBar, qreal dpiScale);
};

// The heights of an item in the two looks, scaled by the screen's pixels per
// inch / 96.
int CardItemHeight(qreal dpiScale);
int TableItemHeight(qreal dpiScale);
