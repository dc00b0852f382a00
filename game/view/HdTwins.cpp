#include "HdTwins.h"

#include <QFileInfo>

#include "FileLimits.h"
#include "ModMedia.h"
#include "SafeFile.h"

namespace wf {

namespace {

constexpr int kLeastFactor = 2;
constexpr int kGreatestFactor = 4;

// The whole factor by which twin is larger than picture, 0 when it is not.
int WholeFactor(QSize twin, QSize picture) {
    if (picture.isEmpty() || twin.width() % picture.width() != 0)
        return 0;
    const int factor = twin.width() / picture.width();
    if (factor < kLeastFactor || factor > kGreatestFactor ||
        twin.height() != factor * picture.height())
        return 0;
    return factor;
}

// Why the twin in bytes is not taken for a picture of pictureSize; "" when
// it is.
QString TwinProblem(const QByteArray& bytes, QSize pictureSize) {
    const QSize size = PictureSize(bytes);
    if (!size.isValid())
        return QStringLiteral("kein lesbares Bild");
    if (const QString tooLarge = PictureSizeProblem(size); !tooLarge.isEmpty())
        return tooLarge;
    if (WholeFactor(size, pictureSize) == 0) {
        return QStringLiteral(
                   "%1 × %2 Bildpunkte sind nicht das Zwei-, Drei- oder Vierfache "
                   "des Bildes (%3 × %4)")
            .arg(size.width())
            .arg(size.height())
            .arg(pictureSize.width())
            .arg(pictureSize.height());
    }
    return PictureWorkProblem(bytes);
}

}  // namespace

QString HdTwinPath(const QString& picturePath) {
    if (picturePath.isEmpty())
        return QString();
    const QFileInfo info(picturePath);
    return info.path() + QStringLiteral("/hd/") + info.fileName();
}

QImage ReadHdTwin(const QString& picturePath, QSize pictureSize) {
    const QString path = HdTwinPath(picturePath);
    if (path.isEmpty() || pictureSize.isEmpty())
        return QImage();
    const FileContent file = ReadRegularFile(path, kMaxHdTwinFileBytes);
    if (file.error == ReadError::Missing)
        return QImage();
    QString why = ReadProblem(file.error, kMaxHdTwinFileBytes);
    QImage twin;
    if (why.isEmpty())
        why = TwinProblem(file.bytes, pictureSize);
    if (why.isEmpty()) {
        twin = DecodePicture(file.bytes);
        if (WholeFactor(twin.size(), pictureSize) == 0) {
            twin = QImage();
            why = QStringLiteral("nicht lesbar");
        }
    }
    if (!why.isEmpty())
        ReportUnusedTwin(path, why);
    return twin;
}

}  // namespace wf
