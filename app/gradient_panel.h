#pragma once
#include <QColor>
#include <QWidget>

// A panel filled with a vertical gradient and edged with a thin raised bevel (the window's
// Draw3D panels). Look only; its children draw on top of it.
namespace toa::app {

class GradientPanel : public QWidget {
  public:
    GradientPanel(QWidget* parent, QColor top, QColor bottom);

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    QColor top_;
    QColor bottom_;
};

}  // namespace toa::app
