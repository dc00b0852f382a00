#pragma once
// The two picture stores: numbered off-screen pictures ("slots"). Store 0
// (sources) holds what start-up loads, store 1 (working) the per-game
// working copies. Every slot is a QImage in Format_RGB32.
#include <QImage>
#include <QString>
#include <deque>

namespace wf {

class PictureStore {
  public:
    // Adds a slot and returns its number (1, 2, 3, ...).
    int NewSlot();
    // 1 when the picture was decoded and is not empty, else 0; a failed load
    // leaves the slot as it was. The file is read once. Only regular files
    // and pictures within the limits of FileLimits.h load.
    int LoadSlotPicture(int slot, const QString& path);
    // The slot shows the picture of slot from, which is not copied (a later
    // change of either slot leaves the other as it was).
    void ShareSlot(int slot, int from);
    // The slot's picture, the target or source of every blit; nullptr for a
    // slot that does not exist.
    QImage* Picture(int slot);
    const QImage* Picture(int slot) const;
    // Gives the slot an explicit size (cleared to black); a size beyond the
    // limits of one picture leaves the slot empty.
    void SetSlotSize(int slot, int widthPx, int heightPx);
    int SlotWidth(int slot) const;   // pixels
    int SlotHeight(int slot) const;  // pixels
    // The file the slot's picture was loaded from; empty when the picture
    // was made otherwise (given a size, filled with a colour).
    QString SlotFile(int slot) const;
    int SlotCount() const { return static_cast<int>(slots_.size()) - 1; }
    bool HasSlot(int slot) const { return slot >= 1 && slot < static_cast<int>(slots_.size()); }

  private:
    // A deque keeps every slot in place as slots are added, so a held
    // Picture pointer stays valid. Element 0 is never a slot.
    std::deque<QImage> slots_ = std::deque<QImage>(1);
    std::deque<QString> files_ = std::deque<QString>(1);
};

struct PictureStores {
    PictureStore sources;  // store 0: what start-up loads
    PictureStore working;  // store 1: the working copies of a game
};

}  // namespace wf
