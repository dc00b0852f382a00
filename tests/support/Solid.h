#pragma once
// A picture of one colour: the start of the synthetic pictures of the tests
// and the benchmarks.
#include <QImage>

namespace wf::test {

inline QImage Solid(int w, int h, QRgb colour) {
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(colour);
    return img;
}

}  // namespace wf::test
