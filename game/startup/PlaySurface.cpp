#include "PlaySurface.h"

#include <QMouseEvent>
#include <QPainter>

namespace wf {

PlaySurface::PlaySurface(QWidget* parent) : QWidget(parent) {
    setMouseTracking(true);  // moves count without a button held
    setAttribute(Qt::WA_OpaquePaintEvent);
    SetSurfaceSize(640, 480);
}

void PlaySurface::SetSurfaceSize(int widthPx, int heightPx) {
    widthPx = std::max(1, widthPx);
    heightPx = std::max(1, heightPx);
    if (image_.width() != widthPx || image_.height() != heightPx) {
        QImage resized(widthPx, heightPx, QImage::Format_RGB32);
        resized.fill(Qt::black);
        if (!image_.isNull()) {
            QPainter p(&resized);
            p.drawImage(0, 0, image_);
        }
        image_ = resized;
    }
    setFixedSize(widthPx, heightPx);
}

void PlaySurface::Refresh() {
    repaint();
}

void PlaySurface::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.drawImage(0, 0, image_);
}

void PlaySurface::mouseMoveEvent(QMouseEvent* event) {
    const QPointF pos = event->position();
    emit PointerMoved(pos.x(), pos.y());
}

void PlaySurface::mouseReleaseEvent(QMouseEvent* event) {
    PointerButton button = PointerButton::Left;
    switch (event->button()) {
        case Qt::LeftButton:
            button = PointerButton::Left;
            break;
        case Qt::RightButton:
            button = PointerButton::Right;
            break;
        case Qt::MiddleButton:
            button = PointerButton::Middle;
            break;
        default:
            return;
    }
    const QPointF pos = event->position();
    emit ButtonReleased(button, pos.x(), pos.y());
}

}  // namespace wf
