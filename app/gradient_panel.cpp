#include "app/gradient_panel.h"

#include <QLinearGradient>
#include <QPainter>

namespace toa::app {

GradientPanel::GradientPanel(QWidget* parent, QColor top, QColor bottom)
    : QWidget(parent), top_(top), bottom_(bottom) {}

void GradientPanel::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    const QRect area = rect();
    QLinearGradient fill(area.topLeft(), area.bottomLeft());
    fill.setColorAt(0.0, top_);
    fill.setColorAt(1.0, bottom_);
    painter.fillRect(area, fill);
    // Light above and left, shade below and right: where two panels meet they read as separate.
    painter.setPen(top_.lighter(112));
    painter.drawLine(area.topLeft(), area.topRight());
    painter.drawLine(area.topLeft(), area.bottomLeft());
    painter.setPen(bottom_.darker(125));
    painter.drawLine(area.bottomLeft(), area.bottomRight());
    painter.drawLine(area.topRight(), area.bottomRight());
}

}  // namespace toa::app
