#pragma once
// The encoder's emblem: a red wax seal with a cloud pressed into it, drawn
// rather than loaded so that the program carries no picture files.
#include <QPointF>

class QPainter;

namespace wf {

// squash below 1 flattens the seal vertically (the moment of pressing).
void PaintSeal(QPainter& painter, const QPointF& centre, double radius, double squash = 1.0);

}  // namespace wf
