#include "ProgressBox.h"

#include <QPainter>
#include <algorithm>

namespace wf {

ProgressBox::ProgressBox(QWidget* parent) : QWidget(parent) {
    setMinimumHeight(22);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

QRect ProgressBox::BarRect(const QSize& size, int percent) {
    const int right = size.width() - 2;
    // In double: the counter may be far above 100.
    const double end = size.width() / 100.0 * std::max(percent, 0) - 2.0;
    const int x2 = static_cast<int>(std::min(end, static_cast<double>(right)));
    if (x2 < 1 || size.height() < 3)
        return QRect();
    return QRect(QPoint(1, 1), QPoint(x2, size.height() - 2));
}

void ProgressBox::ShowProgress(int percent) {
    percent_ = percent;
    repaint();
}

void ProgressBox::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), Qt::white);
    const QRect bar = BarRect(size(), percent_);
    if (!bar.isEmpty())
        p.fillRect(bar, QColor(0, 0, 128));
    p.setPen(QColor(128, 128, 128));
    p.drawRect(rect().adjusted(0, 0, -1, -1));
}

}  // namespace wf
