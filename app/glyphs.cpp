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
        const QColor frame(0x5d, 0x40, 0x37);
        // The door frame, dark inside where the door stands open.
        painter.setPen(QPen(frame, 1.0));
        painter.setBrush(QColor(0x3e, 0x27, 0x23));
        painter.drawRect(QRectF(1.5, 1.5, 8.0, 13.0));
        // The door leaf, swung towards the viewer.
        QPainterPath leaf;
        leaf.moveTo(1.5, 1.5);
        leaf.lineTo(6.5, 3.0);
        leaf.lineTo(6.5, 15.5);
        leaf.lineTo(1.5, 14.5);
        leaf.closeSubpath();
        painter.setBrush(QColor(0xbc, 0x8a, 0x5f));
        painter.drawPath(leaf);
        painter.setBrush(frame);
        painter.setPen(Qt::NoPen);
        painter.drawEllipse(QPointF(5.3, 9.0), 0.8, 0.8);
        // The arrow leaving through it.
        const QColor arrow(0xc6, 0x28, 0x28);
        painter.setPen(QPen(arrow, 2.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        painter.drawLine(QPointF(9.0, 8.5), QPointF(14.0, 8.5));
        QPainterPath head;
        head.moveTo(12.0, 5.5);
        head.lineTo(15.0, 8.5);
        head.lineTo(12.0, 11.5);
        painter.setBrush(Qt::NoBrush);
        painter.drawPath(head);
    });
}

}  // namespace toa::app
