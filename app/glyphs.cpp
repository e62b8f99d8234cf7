#include "app/glyphs.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <functional>

namespace toa::app {

namespace {

constexpr int kSize = 16;

// Drawn at one and two device pixels per point, so the glyph stays sharp on scaled screens.
QIcon drawnIcon(const std::function<void(QPainter&)>& draw) {
    QIcon icon;
    for (const int scale : {1, 2}) {
        QPixmap pixmap(kSize * scale, kSize * scale);
        pixmap.setDevicePixelRatio(scale);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        draw(painter);
        painter.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

}  // namespace

QIcon checkMarkGlyph() {
    return drawnIcon([](QPainter& painter) {
        QPainterPath tick;
        tick.moveTo(2.5, 8.5);
        tick.lineTo(6.5, 12.5);
        tick.lineTo(13.5, 3.5);
        // A darker rim under the stroke keeps the mark readable on light and dark buttons.
        painter.setPen(
            QPen(QColor(0x1b, 0x5e, 0x20), 3.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        painter.drawPath(tick);
        painter.setPen(
            QPen(QColor(0x43, 0xa0, 0x47), 2.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        painter.drawPath(tick);
    });
}

QIcon doorGlyph() {
    return drawnIcon([](QPainter& painter) {
        const QColor wood(0x6d, 0x4c, 0x41);
        // The doorway, dark where the door stands open.
        painter.setPen(QPen(wood, 1.0));
        painter.setBrush(QColor(0x30, 0x22, 0x1e));
        painter.drawRect(QRectF(1.5, 1.5, 9.0, 13.0));
        // The door leaf, swung towards the viewer on its left hinges.
        QPainterPath leaf;
        leaf.moveTo(1.5, 1.5);
        leaf.lineTo(5.5, 2.5);
        leaf.lineTo(5.5, 15.5);
        leaf.lineTo(1.5, 14.5);
        leaf.closeSubpath();
        painter.setBrush(QColor(0xc8, 0x96, 0x6a));
        painter.drawPath(leaf);
        // The way out, through the doorway.
        painter.setPen(
            QPen(QColor(0xe5, 0x39, 0x35), 1.8, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        painter.setBrush(Qt::NoBrush);
        painter.drawLine(QPointF(7.0, 8.5), QPointF(14.5, 8.5));
        QPainterPath head;
        head.moveTo(11.5, 5.5);
        head.lineTo(14.5, 8.5);
        head.lineTo(11.5, 11.5);
        painter.drawPath(head);
    });
}

}  // namespace toa::app
