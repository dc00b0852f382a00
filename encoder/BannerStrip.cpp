#include "BannerStrip.h"

#include <QLinearGradient>
#include <QPainter>

#include "SealPainter.h"

namespace wf {

BannerStrip::BannerStrip(QWidget* parent) : QWidget(parent) {
    setFixedWidth(150);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Expanding);
}

void BannerStrip::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(0, 0, 0, height());
    sky.setColorAt(0.0, QColor(0, 0, 128));
    sky.setColorAt(1.0, QColor(36, 84, 168));
    p.fillRect(rect(), sky);

    // A few soft clouds drifting behind the seal.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 255, 255, 28));
    const double w = width();
    p.drawEllipse(QPointF(w * 0.2, height() * 0.62), w * 0.35, 18);
    p.drawEllipse(QPointF(w * 0.75, height() * 0.7), w * 0.3, 14);
    p.drawEllipse(QPointF(w * 0.45, height() * 0.85), w * 0.45, 20);

    const double radius = w * 0.3;
    const QPointF centre(w / 2.0, 30 + radius);
    PaintSeal(p, centre, radius);

    QFont title = font();
    title.setBold(true);
    title.setPointSizeF(title.pointSizeF() * 1.35);
    p.setFont(title);
    p.setPen(Qt::white);
    const QRectF titleBox(0, centre.y() + radius + 14, w, 28);
    p.drawText(titleBox, Qt::AlignHCenter | Qt::AlignTop, QStringLiteral("modsiegel"));

    QFont sub = font();
    sub.setPointSizeF(sub.pointSizeF() * 0.9);
    p.setFont(sub);
    p.setPen(QColor(200, 214, 255));
    p.drawText(QRectF(0, titleBox.bottom(), w, 20), Qt::AlignHCenter | Qt::AlignTop,
               QStringLiteral("MOD-Codierer"));
}

}  // namespace wf
