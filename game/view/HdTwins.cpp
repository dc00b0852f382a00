#include "HdTwins.h"

#include <QFileInfo>
#include <QImageReader>

namespace wf {

namespace {

constexpr int kLeastFactor = 2;
constexpr int kGreatestFactor = 4;
constexpr int64_t kBytesPerPixel = 4;  // Format_RGB32

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

}  // namespace

QString HdTwinPath(const QString& picturePath) {
    if (picturePath.isEmpty())
        return QString();
    const QFileInfo info(picturePath);
    return info.path() + QStringLiteral("/hd/") + info.fileName();
}

QImage HdTwins::Twin(const QString& picturePath, QSize pictureSize) {
    if (picturePath.isEmpty() || pictureSize.isEmpty())
        return QImage();
    auto found = entries_.find(picturePath);
    if (found != entries_.end() && found->second.pictureSize == pictureSize) {
        if (found->second.image.isNull())
            return QImage();
        found->second.lastUse = ++clock_;
        return found->second.image;
    }
    if (found != entries_.end()) {
        // The same file now holds a picture of another size.
        kept_ -= found->second.image.sizeInBytes();
        entries_.erase(found);
    }

    Entry entry{QImage(), pictureSize, ++clock_};
    QImageReader reader(HdTwinPath(picturePath));
    reader.setDecideFormatFromContent(true);
    // The size is read from the header: a twin that is not a whole multiple
    // of its picture, or that could never fit the budget, is not decoded.
    const QSize size = reader.size();
    const int64_t bytes = int64_t{size.width()} * size.height() * kBytesPerPixel;
    if (WholeFactor(size, pictureSize) != 0 && bytes <= budget_) {
        MakeRoom(bytes);
        ++decodes_;
        const QImage decoded = reader.read();
        if (decoded.size() == size)
            entry.image = decoded.convertToFormat(QImage::Format_RGB32);
    }
    kept_ += entry.image.sizeInBytes();
    const QImage twin = entry.image;
    entries_[picturePath] = std::move(entry);
    return twin;
}

void HdTwins::MakeRoom(int64_t bytes) {
    while (kept_ + bytes > budget_) {
        auto oldest = entries_.end();
        for (auto it = entries_.begin(); it != entries_.end(); ++it) {
            if (!it->second.image.isNull() &&
                (oldest == entries_.end() || it->second.lastUse < oldest->second.lastUse)) {
                oldest = it;
            }
        }
        if (oldest == entries_.end())
            return;
        kept_ -= oldest->second.image.sizeInBytes();
        // Forgotten entirely, so that it is decoded again when it is needed.
        entries_.erase(oldest);
    }
}

}  // namespace wf
