#include "common/AppIcon.h"

#include <QPainter>

namespace vrelmont::ui {

QPixmap AppPixmap(int size) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    // Drawn on a 32-unit grid and scaled to the size asked for.
    p.scale(size / 32.0, size / 32.0);

    const QColor outline(90, 55, 20);
    p.setPen(QPen(outline, 1));

    // The box: front face, side face and lid.
    QPolygonF front({{2, 13}, {18, 13}, {18, 29}, {2, 29}});
    QPolygonF side({{18, 13}, {25, 8}, {25, 24}, {18, 29}});
    QPolygonF lid({{2, 13}, {9, 8}, {25, 8}, {18, 13}});
    p.setBrush(QColor(205, 150, 85));
    p.drawPolygon(front);
    p.setBrush(QColor(170, 115, 55));
    p.drawPolygon(side);
    p.setBrush(QColor(230, 185, 120));
    p.drawPolygon(lid);
    // Packing tape across the lid and down the front.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(245, 225, 170));
    p.drawPolygon(QPolygonF({{8, 13}, {14.5, 8}, {17.5, 8}, {11, 13}}));
    p.drawRect(QRectF(8, 13, 3, 6));

    // The magnifying glass over the front corner.
    const QPointF centre(21, 19);
    p.setPen(QPen(QColor(40, 40, 40), 3, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(25.5, 23.5), QPointF(30, 28));
    p.setPen(QPen(QColor(60, 60, 70), 2));
    p.setBrush(QColor(180, 220, 255, 170));
    p.drawEllipse(centre, 6, 6);
    p.setPen(QPen(QColor(255, 255, 255, 200), 1.2));
    p.drawArc(QRectF(17.5, 15.5, 7, 7), 100 * 16, 70 * 16);
    return pixmap;
}

QIcon AppIcon() {
    QIcon icon;
    for (const int size : {16, 24, 32, 48, 64})
        icon.addPixmap(AppPixmap(size));
    return icon;
}

} // namespace vrelmont::ui
