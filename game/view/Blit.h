#pragma once
// The one drawing facility of the system: whole-picture raster copies,
// stretched copies, filled boxes, lines and text, all on QImage surfaces.
#include <QColor>
#include <QFont>
#include <QImage>
#include <QPointF>
#include <QString>

namespace wf {

enum class RasterOp { SrcCopy, SrcAnd, SrcInvert };

namespace Blit {

// Copies the whole source to (x, y) of the destination; clipped by the
// destination. False when either picture is null.
bool Copy(QImage& dst, int x, int y, const QImage& src, RasterOp op);

// Stretches the whole source into a w × h picture. Nearest-neighbour keeps
// sprites and masks binary; smooth is for opaque pictures.
bool Stretch(QImage& dst, const QImage& src, int w, int h, bool smooth);

// Filled box from (x1, y1) to (x2, y2), corners included as the platform's
// line-box primitive draws them.
void FillBox(QImage& dst, double x1, double y1, double x2, double y2, const QColor& colour);

void Line(QImage& dst, QPointF a, QPointF b, int width, const QColor& colour);

// Text with its top-left corner at (x, y), transparent background.
void Text(QImage& dst, int x, int y, const QString& text, const QFont& font, const QColor& colour);
int TextWidth(const QFont& font, const QString& text);
int TextHeight(const QFont& font, const QString& text);

}  // namespace Blit
}  // namespace wf
