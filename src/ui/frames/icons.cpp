#include "ui/frames/icons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QtMath>

#include "app/commands.h"

namespace flr {

namespace {

QPixmap Canvas(int size)
{
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    return pixmap;
}

QPixmap Burst(int size)
{
    QPixmap pixmap = Canvas(size);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const QPointF c(size / 2.0, size / 2.0);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(20, 28, 64));
    p.drawEllipse(c, size * 0.48, size * 0.48);
    const QColor colours[] = {QColor(255, 196, 40), QColor(255, 90, 60), QColor(120, 200, 255),
                              QColor(170, 255, 120)};
    for (int i = 0; i < 12; ++i) {
        const double a = i * M_PI / 6;
        const QPointF inner = c + QPointF(qCos(a), qSin(a)) * size * 0.12;
        const QPointF outer = c + QPointF(qCos(a), qSin(a)) * size * 0.40;
        QPen pen(colours[i % 4], qMax(1.0, size / 16.0), Qt::SolidLine, Qt::RoundCap);
        p.setPen(pen);
        p.drawLine(inner, outer);
        p.setPen(Qt::NoPen);
        p.setBrush(colours[i % 4]);
        p.drawEllipse(outer, size / 22.0 + 0.5, size / 22.0 + 0.5);
    }
    p.setBrush(Qt::white);
    p.drawEllipse(c, size * 0.07, size * 0.07);
    return pixmap;
}

QPixmap Tool(int id)
{
    QPixmap pixmap = Canvas(16);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(40, 40, 40), 1));
    switch (id) {
    case cmd::EditCopy:
        p.setBrush(Qt::white);
        p.drawRect(QRectF(1.5, 1.5, 8, 10));
        p.drawRect(QRectF(5.5, 4.5, 8, 10));
        break;
    case cmd::EditPaste:
        p.setBrush(QColor(190, 140, 80));
        p.drawRoundedRect(QRectF(2.5, 2.5, 11, 12), 1, 1);
        p.setBrush(Qt::white);
        p.drawRect(QRectF(4.5, 5.5, 7, 8));
        p.setBrush(QColor(120, 120, 120));
        p.drawRect(QRectF(5.5, 1.5, 5, 3));
        break;
    case cmd::EditCut:
        p.setBrush(Qt::NoBrush);
        p.drawLine(QPointF(4, 1), QPointF(10, 11));
        p.drawLine(QPointF(12, 1), QPointF(6, 11));
        p.drawEllipse(QPointF(4.5, 12.5), 2.5, 2.5);
        p.drawEllipse(QPointF(11.5, 12.5), 2.5, 2.5);
        break;
    case cmd::FilePrint:
        p.setBrush(Qt::white);
        p.drawRect(QRectF(4.5, 1.5, 7, 5));
        p.setBrush(QColor(150, 150, 160));
        p.drawRoundedRect(QRectF(1.5, 6.5, 13, 6), 1, 1);
        p.setBrush(Qt::white);
        p.drawRect(QRectF(4.5, 10.5, 7, 4));
        break;
    default: break;
    }
    return pixmap;
}

}  // namespace

QIcon AppIcon()
{
    QIcon icon;
    for (int size : {16, 24, 32, 48, 64, 128}) icon.addPixmap(Burst(size));
    return icon;
}

QIcon ToolIcon(int commandId)
{
    switch (commandId) {
    case cmd::EditCopy:
    case cmd::EditPaste:
    case cmd::EditCut:
    case cmd::FilePrint: return QIcon(Tool(commandId));
    default: return QIcon();
    }
}

}  // namespace flr
