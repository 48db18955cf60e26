#include "gui/shell/shellicons.h"

#include "jobs/jobicons.h"

#include <QHash>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>

namespace {
// Every icon is drawn on a 32 x 32 grid and scaled to the size asked for.
class Canvas {
public:
    explicit Canvas(int size) : m_pixmap(size, size)
    {
        m_pixmap.fill(Qt::transparent);
        m_p.begin(&m_pixmap);
        m_p.setRenderHint(QPainter::Antialiasing);
        m_p.scale(size / 32.0, size / 32.0);
    }
    QPainter &p() { return m_p; }
    QPixmap take()
    {
        m_p.end();
        return m_pixmap;
    }

private:
    QPixmap m_pixmap;
    QPainter m_p;
};

const QColor kBlue(38, 110, 190);
const QColor kGreen(60, 150, 70);
const QColor kRed(200, 50, 45);
const QColor kGrey(105, 110, 120);
const QColor kPaper(250, 250, 252);
const QColor kAmber(230, 160, 40);

void sheet(QPainter &p, const QRectF &r, bool lines = true)
{
    p.setPen(QPen(kGrey, 1.6));
    p.setBrush(kPaper);
    QPainterPath path;
    const qreal fold = 6;
    path.moveTo(r.left(), r.top());
    path.lineTo(r.right() - fold, r.top());
    path.lineTo(r.right(), r.top() + fold);
    path.lineTo(r.right(), r.bottom());
    path.lineTo(r.left(), r.bottom());
    path.closeSubpath();
    p.drawPath(path);
    if (lines) {
        p.setPen(QPen(kGrey.lighter(130), 1.4));
        for (qreal y = r.top() + 9; y < r.bottom() - 3; y += 4.5)
            p.drawLine(QPointF(r.left() + 4, y), QPointF(r.right() - 4, y));
    }
}

void arrow(QPainter &p, bool up, const QColor &color, qreal cx = 16, qreal top = 4, qreal bottom = 28)
{
    p.setPen(Qt::NoPen);
    p.setBrush(color);
    QPolygonF poly;
    if (up) {
        poly << QPointF(cx, top) << QPointF(cx + 10, top + 11) << QPointF(cx + 4, top + 11) << QPointF(cx + 4, bottom)
             << QPointF(cx - 4, bottom) << QPointF(cx - 4, top + 11) << QPointF(cx - 10, top + 11);
    } else {
        poly << QPointF(cx, bottom) << QPointF(cx + 10, bottom - 11) << QPointF(cx + 4, bottom - 11)
             << QPointF(cx + 4, top) << QPointF(cx - 4, top) << QPointF(cx - 4, bottom - 11)
             << QPointF(cx - 10, bottom - 11);
    }
    p.drawPolygon(poly);
}

void tray(QPainter &p)
{
    p.setPen(QPen(kGrey, 2.2));
    p.setBrush(Qt::NoBrush);
    QPainterPath path;
    path.moveTo(4, 18);
    path.lineTo(4, 28);
    path.lineTo(28, 28);
    path.lineTo(28, 18);
    p.drawPath(path);
}

void gear(QPainter &p, const QPointF &c, qreal r, const QColor &color)
{
    p.setPen(Qt::NoPen);
    p.setBrush(color);
    QPainterPath teeth;
    for (int i = 0; i < 8; ++i) {
        p.save();
        p.translate(c);
        p.rotate(i * 45.0);
        p.drawRoundedRect(QRectF(-r * 0.22, -r * 1.15, r * 0.44, r * 0.6), 1, 1);
        p.restore();
    }
    p.drawEllipse(c, r * 0.8, r * 0.8);
    p.setBrush(kPaper);
    p.drawEllipse(c, r * 0.33, r * 0.33);
}

QPixmap drawIcon(ShellIcon icon, int size)
{
    Canvas canvas(size);
    QPainter &p = canvas.p();
    switch (icon) {
    case ShellIcon::App: {
        p.setPen(Qt::NoPen);
        p.setBrush(kBlue);
        p.drawRoundedRect(QRectF(2, 2, 28, 28), 7, 7);
        p.setPen(QPen(Qt::white, 3.6, Qt::SolidLine, Qt::RoundCap));
        p.setBrush(Qt::NoBrush);
        p.drawArc(QRectF(8, 8, 16, 16), 60 * 16, 300 * 16);
        p.drawLine(QPointF(19, 19), QPointF(25, 25));
        break;
    }
    case ShellIcon::NewJob:
        sheet(p, QRectF(5, 3, 18, 24));
        p.setPen(Qt::NoPen);
        p.setBrush(kGreen);
        p.drawEllipse(QPointF(23, 23), 7.5, 7.5);
        p.setPen(QPen(Qt::white, 2.6, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(23, 19), QPointF(23, 27));
        p.drawLine(QPointF(19, 23), QPointF(27, 23));
        break;
    case ShellIcon::Open: {
        p.setPen(QPen(kAmber.darker(140), 1.4));
        p.setBrush(kAmber);
        QPainterPath back;
        back.moveTo(3, 8);
        back.lineTo(12, 8);
        back.lineTo(14, 11);
        back.lineTo(28, 11);
        back.lineTo(28, 27);
        back.lineTo(3, 27);
        back.closeSubpath();
        p.drawPath(back);
        p.setBrush(kAmber.lighter(125));
        QPolygonF front;
        front << QPointF(6, 15) << QPointF(31, 15) << QPointF(28, 27) << QPointF(3, 27);
        p.drawPolygon(front);
        break;
    }
    case ShellIcon::Properties:
        sheet(p, QRectF(4, 3, 20, 26));
        gear(p, QPointF(23, 23), 6.5, kGrey);
        break;
    case ShellIcon::Duplicate:
        sheet(p, QRectF(4, 3, 16, 20), false);
        sheet(p, QRectF(12, 9, 16, 20));
        break;
    case ShellIcon::Rename: {
        p.setPen(QPen(kGrey, 1.6));
        p.setBrush(kPaper);
        p.drawRoundedRect(QRectF(2, 10, 24, 12), 2, 2);
        p.setPen(QPen(kBlue, 2.2));
        p.drawLine(QPointF(21, 7), QPointF(21, 25));
        p.drawLine(QPointF(18, 7), QPointF(24, 7));
        p.drawLine(QPointF(18, 25), QPointF(24, 25));
        p.setPen(QPen(kGrey, 2));
        p.drawLine(QPointF(6, 16), QPointF(15, 16));
        break;
    }
    case ShellIcon::Remove:
        p.setPen(QPen(kRed, 4.5, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(8, 8), QPointF(24, 24));
        p.drawLine(QPointF(24, 8), QPointF(8, 24));
        break;
    case ShellIcon::Backup:
        tray(p);
        arrow(p, true, kGreen, 16, 3, 23);
        break;
    case ShellIcon::Restore:
        tray(p);
        arrow(p, false, kBlue, 16, 3, 23);
        break;
    case ShellIcon::History:
        p.setPen(QPen(kBlue, 2.4));
        p.setBrush(kPaper);
        p.drawEllipse(QPointF(16, 16), 12, 12);
        p.setPen(QPen(kGrey.darker(120), 2.4, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(16, 16), QPointF(16, 8));
        p.drawLine(QPointF(16, 16), QPointF(22, 19));
        break;
    case ShellIcon::ViewLog:
        sheet(p, QRectF(6, 2, 20, 28));
        break;
    case ShellIcon::Options:
        gear(p, QPointF(16, 16), 11, kGrey);
        break;
    case ShellIcon::Pause:
        p.setPen(Qt::NoPen);
        p.setBrush(kBlue);
        p.drawRoundedRect(QRectF(7, 5, 7, 22), 1.5, 1.5);
        p.drawRoundedRect(QRectF(18, 5, 7, 22), 1.5, 1.5);
        break;
    case ShellIcon::Resume: {
        p.setPen(Qt::NoPen);
        p.setBrush(kGreen);
        QPolygonF tri;
        tri << QPointF(8, 4) << QPointF(27, 16) << QPointF(8, 28);
        p.drawPolygon(tri);
        break;
    }
    case ShellIcon::Cancel:
        p.setPen(Qt::NoPen);
        p.setBrush(kRed);
        p.drawRoundedRect(QRectF(6, 6, 20, 20), 2.5, 2.5);
        break;
    case ShellIcon::MoveUp:
        arrow(p, true, kBlue, 16, 4, 28);
        break;
    case ShellIcon::MoveDown:
        arrow(p, false, kBlue, 16, 4, 28);
        break;
    case ShellIcon::Search:
        p.setPen(QPen(kGrey, 3));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(QPointF(13, 13), 8, 8);
        p.setPen(QPen(kGrey, 4, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(19, 19), QPointF(27, 27));
        break;
    }
    return canvas.take();
}

QPixmap drawJobIcon(const QString &name, int size)
{
    Canvas canvas(size);
    QPainter &p = canvas.p();
    if (name == JobIcons::DriveImage) {
        p.setPen(QPen(kGrey.darker(130), 1.5));
        p.setBrush(QColor(200, 205, 212));
        p.drawRoundedRect(QRectF(2, 9, 28, 16), 3, 3);
        p.setPen(Qt::NoPen);
        p.setBrush(kGreen);
        p.drawEllipse(QPointF(25, 17), 2.2, 2.2);
        p.setBrush(kGrey);
        p.drawRect(QRectF(6, 15.5, 12, 3));
        return canvas.take();
    }
    if (name == JobIcons::AppsData) {
        const QColor colors[4] = {kBlue, kGreen, kAmber, kRed};
        p.setPen(Qt::NoPen);
        for (int i = 0; i < 4; ++i) {
            p.setBrush(colors[i]);
            p.drawRoundedRect(QRectF(3 + (i % 2) * 14, 3 + (i / 2) * 14, 12, 12), 3, 3);
        }
        return canvas.take();
    }
    // Files and folders: a stack of sheets with a badge of the backup type.
    sheet(p, QRectF(3, 2, 18, 22), false);
    sheet(p, QRectF(8, 6, 18, 22));
    QColor badge = kBlue;
    QString letter = QStringLiteral("I");
    if (name == JobIcons::Differential) {
        badge = QColor(20, 140, 150);
        letter = QStringLiteral("D");
    } else if (name == JobIcons::Full) {
        badge = kGreen;
        letter = QStringLiteral("F");
    } else if (name == JobIcons::Synchronization) {
        badge = QColor(130, 70, 170);
        letter = QStringLiteral("S");
    }
    p.setPen(Qt::NoPen);
    p.setBrush(badge);
    p.drawEllipse(QPointF(23, 23), 8, 8);
    QFont f = p.font();
    f.setBold(true);
    f.setPixelSize(11);
    p.setFont(f);
    p.setPen(Qt::white);
    p.drawText(QRectF(15, 15, 16, 16), Qt::AlignCenter, letter);
    return canvas.take();
}
} // namespace

QPixmap ShellPixmap(ShellIcon icon, int size)
{
    static QHash<quint64, QPixmap> cache;
    const quint64 key = (quint64(icon) << 32) | quint64(size);
    auto it = cache.find(key);
    if (it == cache.end())
        it = cache.insert(key, drawIcon(icon, size));
    return *it;
}

QIcon ShellIconFor(ShellIcon icon)
{
    QIcon result;
    for (int size : {16, 24, 32, 48})
        result.addPixmap(ShellPixmap(icon, size));
    return result;
}

QPixmap JobIconPixmap(const QString &name, int size)
{
    static QHash<QString, QPixmap> cache;
    const QString key = name + QLatin1Char('@') + QString::number(size);
    auto it = cache.find(key);
    if (it == cache.end())
        it = cache.insert(key, drawJobIcon(name, size));
    return *it;
}
