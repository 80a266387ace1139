#include "ui/emblem.h"

#include <QPainter>

namespace vardane::ui {

namespace {

constexpr int kGrid = 40;  // the drawing is laid out on a 40 x 40 grid
const QColor kBoard(0, 128, 0);
const QColor kTrace(0, 192, 0);
const QColor kChip(16, 16, 16);
const QColor kMetal(160, 160, 160);
const QColor kShade(96, 96, 96);

void paintCard(QPainter& painter)
{
    painter.fillRect(QRect(0, 0, kGrid, kGrid), Qt::black);
    painter.fillRect(QRect(3, 6, 4, 26), kMetal);  // mounting bracket
    painter.fillRect(QRect(7, 8, 30, 20), kBoard);
    for (int finger = 0; finger < 7; ++finger) {  // edge connector
        painter.fillRect(QRect(13 + finger * 3, 28, 2, 4), kMetal);
    }
    painter.setPen(kTrace);
    painter.drawLine(9, 11, 15, 11);
    painter.drawLine(9, 24, 15, 24);
    painter.drawLine(27, 11, 34, 11);
    painter.drawLine(27, 24, 34, 24);
    painter.fillRect(QRect(15, 11, 12, 14), kShade);  // chip pins
    painter.fillRect(QRect(16, 12, 10, 12), kChip);
    painter.fillRect(QRect(30, 14, 4, 8), kShade);  // memory
}

}  // namespace

QPixmap paintEmblem(int side)
{
    QPixmap pixmap(side, side);
    QPainter painter(&pixmap);
    painter.scale(static_cast<qreal>(side) / kGrid, static_cast<qreal>(side) / kGrid);
    paintCard(painter);
    return pixmap;
}

}  // namespace vardane::ui
