#include "OnlineStrip.h"

#include <QFontMetrics>
#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainter>

namespace wf {

OnlineStrip::OnlineStrip(QWidget* parent) : QWidget(parent) {
    QFont font(QStringLiteral("Verdana"), 12);
    font.setBold(true);
    setFont(font);
    setCursor(Qt::PointingHandCursor);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void OnlineStrip::SetText(const QString& text) {
    text_ = text;
    update();
}

QPoint OnlineStrip::TextStart() const {
    // The height of a text is the height of its line (ascent and descent),
    // the same for an "O" as for any other line of this font.
    const QFontMetrics metrics(font());
    const int lineHeight = metrics.size(Qt::TextSingleLine, QStringLiteral("O")).height();
    return {(width() - metrics.horizontalAdvance(text_)) / 2, (height() - lineHeight) / 2};
}

void OnlineStrip::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    QLinearGradient band(0, 0, 0, height());
    band.setColorAt(0.0, QColor(18, 34, 86));
    band.setColorAt(1.0, QColor(8, 16, 48));
    painter.fillRect(rect(), band);
    painter.setPen(QColor(90, 120, 200));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));

    painter.setFont(font());
    painter.setPen(QColor(255, 210, 60));
    const QPoint start = TextStart();
    painter.drawText(start.x(), start.y() + QFontMetrics(font()).ascent(), text_);
}

void OnlineStrip::mousePressEvent(QMouseEvent* event) {
    pressed_ = event->button() == Qt::LeftButton;
}

void OnlineStrip::mouseReleaseEvent(QMouseEvent* event) {
    const bool click = pressed_ && event->button() == Qt::LeftButton &&
                       rect().contains(event->position().toPoint());
    pressed_ = false;
    if (click)
        emit clicked();
}

}  // namespace wf
