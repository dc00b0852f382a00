#pragma once
// The picture of the splash window, drawn rather than loaded so that the
// splash shows before any file is read.
#include <QImage>

namespace wf {

QImage SplashPicture(int widthPx, int heightPx);

}  // namespace wf
