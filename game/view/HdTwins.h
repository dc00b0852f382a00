#pragma once
// The hd twins of pictures. A picture file may have a twin of the same name
// in a folder "hd" beside it, drawn at 2, 3 or 4 times its width and height.
// The full-screen working copies are scaled from the twin instead of the
// picture, so that they stay crisp; sizes, positions and rules stay those of
// the picture.
#include <QImage>
#include <QSize>
#include <QString>

namespace wf {

// The twin's path: "hd" inserted before the file name.
QString HdTwinPath(const QString& picturePath);

// The twin of the picture loaded from picturePath, which measures
// pictureSize, in 32-bit RGB. It is read like every picture: a regular file
// within the picture limits, never decoded when its header tells no whole
// multiple (2 to 4) of the picture in both directions or its decoding would
// take too long. A null image when there is none; a twin that is there but
// not taken is named on standard error once.
QImage ReadHdTwin(const QString& picturePath, QSize pictureSize);

}  // namespace wf
