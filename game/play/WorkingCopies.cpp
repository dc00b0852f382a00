#include "WorkingCopies.h"

#include "Blit.h"

namespace wf {

namespace {

constexpr int kLastGamePicture = 8;
constexpr int kLastTitlePicture = 21;

void EnsureSlot(PictureStore& store, int slot) {
    while (store.SlotCount() < slot)
        store.NewSlot();
}

bool IsMaskedPicture(int slot) {
    return slot == 2 || slot == 3 || (slot >= 5 && slot <= 8);
}

// Runs `copy` for slots 1 to 8 and 22 to N after making sure every working
// slot up to N exists.
template <typename CopyOne>
bool CopyAll(PictureStores& stores, CopyOne copy) {
    PictureStore& work = stores.RESSOURCEN2;
    const int last = stores.RESSOURCEN.SlotCount();
    for (int i = 1; i <= kLastGamePicture; ++i) {
        EnsureSlot(work, i);
        if (!copy(i))
            return false;
    }
    EnsureSlot(work, kLastTitlePicture);
    for (int i = kLastTitlePicture + 1; i <= last; ++i) {
        EnsureSlot(work, i);
        if (!copy(i))
            return false;
    }
    return true;
}

}  // namespace

bool MakeWindowCopies(PictureStores& stores) {
    return CopyAll(stores, [&stores](int i) {
        const QImage* src = stores.RESSOURCEN.SlotDC(i);
        if (!src)
            return false;
        PictureStore& work = stores.RESSOURCEN2;
        work.SetSlotSize(i, src->width(), src->height());
        return Blit::Copy(*work.SlotDC(i), 0, 0, *src, RasterOp::SrcCopy);
    });
}

bool MakeStretchedCopies(PictureStores& stores, FixedScale scaleX, FixedScale scaleY,
                         HdTwins* twins) {
    return CopyAll(stores, [&](int i) {
        const QImage* src = stores.RESSOURCEN.SlotDC(i);
        if (!src)
            return false;
        const int w = scaleX.Apply(src->width());
        const int h = scaleY.Apply(src->height());
        const QImage twin =
            twins ? twins->Twin(stores.RESSOURCEN.SlotFile(i), src->size()) : QImage();
        return Blit::Stretch(*stores.RESSOURCEN2.SlotDC(i), twin.isNull() ? *src : twin, w, h,
                             !IsMaskedPicture(i));
    });
}

}  // namespace wf
