#include "Blit.h"

#include <QFontMetrics>
#include <QPainter>
#include <QRect>
#include <algorithm>
#include <cmath>

#include "FileLimits.h"

namespace wf::Blit {

namespace {
constexpr quint32 kOpaque = 0xFF000000u;

QImage& EnsureRgb32(QImage& img) {
    if (img.format() != QImage::Format_RGB32)
        img = img.convertToFormat(QImage::Format_RGB32);
    return img;
}
}  // namespace

bool Copy(QImage& dst, int x, int y, const QImage& srcIn, RasterOp op) {
    if (dst.isNull() || srcIn.isNull())
        return false;
    EnsureRgb32(dst);
    const QImage src = srcIn.format() == QImage::Format_RGB32
                           ? srcIn
                           : srcIn.convertToFormat(QImage::Format_RGB32);
    // Clipped in 64 bits: a picture placed near the end of the int range
    // must not wrap around onto the surface.
    const qint64 left = std::max<qint64>(x, 0);
    const qint64 top = std::max<qint64>(y, 0);
    const qint64 right = std::min<qint64>(qint64{x} + src.width(), dst.width());
    const qint64 bottom = std::min<qint64>(qint64{y} + src.height(), dst.height());
    if (left >= right || top >= bottom)
        return true;  // entirely outside: clipped away
    const QRect area(static_cast<int>(left), static_cast<int>(top), static_cast<int>(right - left),
                     static_cast<int>(bottom - top));
    const int sx = static_cast<int>(left - x);
    const int sy = static_cast<int>(top - y);
    const int w = area.width();
    for (int row = 0; row < area.height(); ++row) {
        // Source and destination never overlap; saying so lets the loops vectorise.
        const quint32* __restrict s =
            reinterpret_cast<const quint32*>(src.constScanLine(sy + row)) + sx;
        quint32* __restrict d = reinterpret_cast<quint32*>(dst.scanLine(area.y() + row)) + area.x();
        switch (op) {
            case RasterOp::SrcCopy:
                std::copy(s, s + w, d);
                break;
            case RasterOp::SrcAnd:
                for (int i = 0; i < w; ++i)
                    d[i] = (d[i] & s[i]) | kOpaque;
                break;
            case RasterOp::SrcInvert:
                for (int i = 0; i < w; ++i)
                    d[i] = (d[i] ^ s[i]) | kOpaque;
                break;
        }
    }
    return true;
}

bool Stretch(QImage& dst, const QImage& src, int w, int h, bool smooth) {
    if (src.isNull() || w <= 0 || h <= 0 || qint64{w} * h > kMaxWorkingCopyPixels)
        return false;
    QImage scaled = src.scaled(w, h, Qt::IgnoreAspectRatio,
                               smooth ? Qt::SmoothTransformation : Qt::FastTransformation);
    if (scaled.isNull())
        return false;
    dst = scaled.convertToFormat(QImage::Format_RGB32);
    return !dst.isNull();
}

void FillBox(QImage& dst, double x1, double y1, double x2, double y2, const QColor& colour) {
    if (dst.isNull() || std::isnan(x1 + x2 + y1 + y2))
        return;
    // Corners far outside are moved to just outside before they become
    // integers, which they could not all be.
    const auto pixel = [](double v, int size) {
        return static_cast<int>(std::nearbyint(std::clamp(v, -2.0, size + 1.0)));
    };
    const int l = pixel(std::min(x1, x2), dst.width());
    const int r = pixel(std::max(x1, x2), dst.width());
    const int t = pixel(std::min(y1, y2), dst.height());
    const int b = pixel(std::max(y1, y2), dst.height());
    const QRect box = QRect(QPoint(l, t), QPoint(r, b)).intersected(dst.rect());
    if (box.isEmpty())
        return;
    const quint32 c = colour.rgb() | kOpaque;
    for (int row = box.top(); row <= box.bottom(); ++row) {
        quint32* d = reinterpret_cast<quint32*>(dst.scanLine(row));
        std::fill(d + box.left(), d + box.right() + 1, c);
    }
}

void Line(QImage& dst, QPointF a, QPointF b, int width, const QColor& colour) {
    if (dst.isNull())
        return;
    QPainter p(&dst);
    p.setPen(QPen(colour, std::max(1, width)));
    p.drawLine(a, b);
}

void Text(QImage& dst, int x, int y, const QString& text, const QFont& font, const QColor& colour) {
    if (dst.isNull() || text.isEmpty())
        return;
    QPainter p(&dst);
    p.setFont(font);
    p.setPen(colour);
    const QFontMetrics fm(font, &dst);
    p.drawText(QPoint(x, y + fm.ascent()), text);
}

int TextWidth(const QFont& font, const QString& text) {
    return QFontMetrics(font).horizontalAdvance(text);
}

int TextHeight(const QFont& font, const QString& text) {
    Q_UNUSED(text);
    return QFontMetrics(font).height();
}

}  // namespace wf::Blit
