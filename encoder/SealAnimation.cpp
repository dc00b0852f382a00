#include "SealAnimation.h"

#include <QLinearGradient>
#include <QPainter>
#include <algorithm>

#include "SealPainter.h"

namespace wf {
namespace {

constexpr int kDownEnd = 30;    // frames 0..29: the stamp comes down
constexpr int kPressEnd = 40;   // 30..39: pressed
constexpr int kUpEnd = 65;      // 40..64: lifted again; then a pause
constexpr int kFadeStart = 88;  // the imprint fades before the next press

}  // namespace

SealAnimation::SealAnimation(QWidget* parent) : QWidget(parent) {
    setMinimumSize(150, 130);
    timer_.setInterval(40);
    connect(&timer_, &QTimer::timeout, this, &SealAnimation::Advance);
}

double SealAnimation::Lift(int frame) {
    if (frame < kDownEnd) {
        const double t = static_cast<double>(frame) / kDownEnd;
        return 1.0 - t * t;  // falling faster as it comes down
    }
    if (frame < kPressEnd)
        return 0.0;
    if (frame < kUpEnd) {
        const double t = static_cast<double>(frame - kPressEnd) / (kUpEnd - kPressEnd);
        return t * (2.0 - t);
    }
    return 1.0;
}

void SealAnimation::Advance() {
    frame_ = (frame_ + 1) % kFrames;
    update();
}

void SealAnimation::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    timer_.start();
}

void SealAnimation::hideEvent(QHideEvent* event) {
    timer_.stop();
    QWidget::hideEvent(event);
}

void SealAnimation::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const double w = width();
    const double h = height();

    // The sheet, seen slightly from above.
    const QRectF sheet(w * 0.1, h * 0.68, w * 0.8, h * 0.26);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 40));
    p.drawRoundedRect(sheet.translated(3, 3), 3, 3);
    p.setBrush(QColor(250, 246, 232));
    p.setPen(QPen(QColor(190, 180, 150), 1));
    p.drawRoundedRect(sheet, 3, 3);

    const double radius = std::min(w, h) * 0.14;
    const QPointF spot(w / 2.0, sheet.center().y());
    if (frame_ >= kDownEnd) {
        const double squash = frame_ < kPressEnd ? 0.45 : 0.5;
        p.setOpacity(
            frame_ < kFadeStart ? 1.0 : 1.0 - double(frame_ - kFadeStart) / (kFrames - kFadeStart));
        PaintSeal(p, spot, radius, squash);
        p.setOpacity(1.0);
    }

    // The stamp: a turned wooden handle on a brass foot.
    const double footH = h * 0.08;
    const double travel = h * 0.42;
    const double footBottom = spot.y() - radius * 0.2 - travel * Lift(frame_);
    const QRectF foot(w / 2.0 - radius * 1.1, footBottom - footH, radius * 2.2, footH);
    QLinearGradient brass(foot.topLeft(), foot.topRight());
    brass.setColorAt(0.0, QColor(150, 110, 30));
    brass.setColorAt(0.5, QColor(230, 196, 100));
    brass.setColorAt(1.0, QColor(140, 100, 26));
    p.setPen(QPen(QColor(100, 70, 20), 1));
    p.setBrush(brass);
    p.drawRoundedRect(foot, 2, 2);

    const QRectF neck(w / 2.0 - radius * 0.3, foot.top() - h * 0.16, radius * 0.6, h * 0.16);
    QLinearGradient wood(neck.topLeft(), neck.topRight());
    wood.setColorAt(0.0, QColor(92, 52, 24));
    wood.setColorAt(0.5, QColor(164, 104, 56));
    wood.setColorAt(1.0, QColor(86, 46, 20));
    p.setBrush(wood);
    p.setPen(QPen(QColor(60, 32, 12), 1));
    p.drawRect(neck);
    p.drawEllipse(QPointF(w / 2.0, neck.top() - radius * 0.35), radius * 0.55, radius * 0.45);
}

}  // namespace wf
