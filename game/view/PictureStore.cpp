#include "PictureStore.h"

#include "FileLimits.h"
#include "ModMedia.h"
#include "SafeFile.h"

namespace wf {

int PictureStore::NewSlot() {
    slots_.emplace_back();
    files_.emplace_back();
    return static_cast<int>(slots_.size()) - 1;
}

int PictureStore::LoadSlotPicture(int slot, const QString& path) {
    if (!HasSlot(slot) || path.isEmpty())
        return 0;
    // Read as bytes first: a FIFO, a device or a huge file is never decoded
    // (the decoder would wait on a FIFO for ever). The format is told by the
    // content, whatever the file's extension.
    const FileContent file = ReadRegularFile(path, kMaxPictureFileBytes);
    if (!file.ok())
        return 0;
    QImage picture = DecodePicture(file.bytes);
    if (picture.isNull())
        return 0;
    slots_[slot] = std::move(picture);
    files_[slot] = path;
    return 1;
}

void PictureStore::ShareSlot(int slot, int from) {
    if (HasSlot(slot) && HasSlot(from)) {
        slots_[slot] = slots_[from];
        files_[slot] = files_[from];
    }
}

QImage* PictureStore::Picture(int slot) {
    return HasSlot(slot) ? &slots_[slot] : nullptr;
}

const QImage* PictureStore::Picture(int slot) const {
    return HasSlot(slot) ? &slots_[slot] : nullptr;
}

QString PictureStore::SlotFile(int slot) const {
    return HasSlot(slot) ? files_[slot] : QString();
}

void PictureStore::SetSlotSize(int slot, int widthPx, int heightPx) {
    if (!HasSlot(slot))
        return;
    files_[slot].clear();
    if (widthPx <= 0 || heightPx <= 0 || !PictureSizeProblem(QSize(widthPx, heightPx)).isEmpty()) {
        slots_[slot] = QImage();
        return;
    }
    QImage& img = slots_[slot];
    if (img.width() != widthPx || img.height() != heightPx ||
        img.format() != QImage::Format_RGB32) {
        img = QImage(widthPx, heightPx, QImage::Format_RGB32);
    }
    img.fill(Qt::black);
}

int PictureStore::SlotWidth(int slot) const {
    return HasSlot(slot) ? slots_[slot].width() : 0;
}

int PictureStore::SlotHeight(int slot) const {
    return HasSlot(slot) ? slots_[slot].height() : 0;
}

}  // namespace wf
