#pragma once
// A playing surface: a persistent picture shown 1:1 that becomes visible
// when it is refreshed, and the pointer's moves and button releases in its
// own pixels.
#include <QImage>
#include <QWidget>

#include "PlayGeometry.h"

namespace wf {

class PlaySurface : public QWidget {
    Q_OBJECT

  public:
    explicit PlaySurface(QWidget* parent = nullptr);

    QImage& Image() { return image_; }
    // Fixes the widget and the picture to w × h pixels; what was drawn stays
    // at the top-left, new area is black.
    void SetSurfaceSize(int widthPx, int heightPx);
    // Shows the picture as it is now.
    void Refresh();

  signals:
    void PointerMoved(double x, double y);
    void ButtonReleased(PointerButton button, double x, double y);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

  private:
    QImage image_;
};

}  // namespace wf
