#include "WorkingCopies.h"

#include <QHash>
#include <QPair>

#include "Blit.h"
#include "FileLimits.h"
#include "HdTwins.h"
#include "PictureSlots.h"

namespace wf {

namespace {

void EnsureSlot(PictureStore& store, int slot) {
    while (store.SlotCount() < slot)
        store.NewSlot();
}

bool IsMaskedPicture(int slot) {
    return slot == kCursorSlot || slot == kCursorMaskSlot ||
           (slot >= kLeftBirdSlot && slot <= kRightBirdMaskSlot);
}

// Runs `copy` for the game's pictures and the extras' after making sure
// every working slot up to the last extra exists.
template <typename CopyOne>
bool CopyAll(PictureStores& stores, CopyOne copy) {
    PictureStore& work = stores.working;
    const int last = stores.sources.SlotCount();
    for (int i = 1; i <= kLastGameSlot; ++i) {
        EnsureSlot(work, i);
        if (!copy(i))
            return false;
    }
    EnsureSlot(work, kLastFixedSlot);
    for (int i = kFirstExtraSlot; i <= last; ++i) {
        EnsureSlot(work, i);
        if (!copy(i))
            return false;
    }
    return true;
}

}  // namespace

bool MakeWindowCopies(PictureStores& stores) {
    return CopyAll(stores, [&stores](int i) {
        const QImage* src = stores.sources.Picture(i);
        if (!src || src->isNull())
            return false;
        // Frames only read the copies, so the picture is shared, not copied:
        // a copy would cost its whole size again at every game.
        *stores.working.Picture(i) = src->format() == QImage::Format_RGB32
                                         ? *src
                                         : src->convertToFormat(QImage::Format_RGB32);
        return true;
    });
}

bool MakeStretchedCopies(PictureStores& stores, FixedScale scaleX, FixedScale scaleY,
                         StretchedCopies* kept) {
    // A picture that several slots share is stretched once; all copies
    // together stay within their budget, or full-screen play is refused.
    QHash<QPair<qint64, bool>, int> stretchedInto;
    std::map<StretchedCopies::Key, QImage> made;
    // Copies at another scale (another screen) are of no more use: let them
    // go before the new ones are made, not after.
    if (kept && !(kept->scaleX_ == scaleX && kept->scaleY_ == scaleY)) {
        kept->copies_.clear();
        kept->scaleX_ = scaleX;
        kept->scaleY_ = scaleY;
    }
    qint64 pixels = 0;
    const bool done = CopyAll(stores, [&](int i) {
        const QImage* src = stores.sources.Picture(i);
        if (!src)
            return false;
        const bool smooth = !IsMaskedPicture(i);
        QImage& work = *stores.working.Picture(i);
        const auto key = qMakePair(src->cacheKey(), smooth);
        if (const auto it = stretchedInto.constFind(key); it != stretchedInto.cend()) {
            work = *stores.working.Picture(*it);
            return true;
        }
        const int w = scaleX.Apply(src->width());
        const int h = scaleY.Apply(src->height());
        pixels += qint64{w} * h;
        if (pixels > kMaxWorkingCopyPixels)
            return false;
        const StretchedCopies::Key keptKey{src->cacheKey(), smooth, w, h};
        const QImage* earlier = nullptr;
        if (kept) {
            const auto it = kept->copies_.find(keptKey);
            earlier = it == kept->copies_.end() ? nullptr : &it->second;
        }
        if (earlier) {
            work = *earlier;
        } else {
            const QImage twin =
                kept ? ReadHdTwin(stores.sources.SlotFile(i), src->size()) : QImage();
            if (!Blit::Stretch(work, twin.isNull() ? *src : twin, w, h, smooth))
                return false;
        }
        made.emplace(keptKey, work);
        stretchedInto.insert(key, i);
        return true;
    });
    // Only what this start uses stays: a background chosen since, for one,
    // lets its old copy go.
    if (kept && done)
        kept->copies_ = std::move(made);
    return done;
}

}  // namespace wf
