#include "PictureLoading.h"

#include <QByteArray>
#include <QFileInfo>
#include <QHash>

#include "Paths.h"
#include "PictureSlots.h"

namespace wf {
namespace {

const char* FixedFileOf(int slot) {
    for (const FixedPicture& f : kFixedPictures) {
        if (f.slot == slot)
            return f.file;
    }
    return nullptr;
}

// The splash's progress after some slots.
struct Milestone {
    int slot;
    int percent;
};
constexpr Milestone kMilestones[] = {
    {kBackgroundSlot, 20}, {kLeftBirdSlot, 40}, {kFirstUndrawnSlot, 50}, {kLastUndrawnSlot, 65}};

// The storage limits of a MOD keep its extra pictures inside the loaded-flag
// table, so no MOD can need more slots than there are.
static_assert(kBackgroundSlot < kLastFixedSlot);
static_assert(kFirstExtraSlot + kMaxBackgrounds * kMaxExtras <= kLoadedFlagCount);

QString BackgroundPath(const QString& modDir, const ModDefinition& mod) {
    if (mod.backgroundCount < 1 || !mod.backgrounds[1].isPicture)
        return QString();
    return JoinStoredPath(modDir, mod.backgrounds[1].pictureFile);
}

void Tell(const std::function<void(int)>& progress, int percent) {
    if (progress)
        progress(percent);
}

}  // namespace

LoadedPictures LoadPictureSet(PictureStores& stores, const QString& programDir,
                              const QString& modDir, ModDefinition& mod,
                              const std::function<void(int)>& progress) {
    LoadedPictures result;
    // A file that several slots name (extras often share a picture) is
    // decoded once and its picture shared.
    QHash<QString, int> loadedInto;
    const auto load = [&](int slot, const QString& path) {
        const QString real = path.isEmpty() ? QString() : QFileInfo(path).canonicalFilePath();
        if (const auto it = loadedInto.constFind(real);
            !real.isEmpty() && it != loadedInto.cend()) {
            stores.sources.ShareSlot(slot, *it);
            return 1;
        }
        const int loaded = stores.sources.LoadSlotPicture(slot, path);
        if (loaded && !real.isEmpty())
            loadedInto.insert(real, slot);
        return loaded;
    };
    for (int s = 1; s <= kLastFixedSlot; ++s) {
        const int created = stores.sources.NewSlot();
        Q_ASSERT(created == s);  // store 0 is empty before start-up
        Q_UNUSED(created);
        if (s == kBackgroundSlot) {
            result.pictureLoaded[s] = load(s, BackgroundPath(modDir, mod));
        } else if (const char* file = FixedFileOf(s)) {
            result.pictureLoaded[s] = load(s, JoinStoredPath(programDir, QByteArray(file)));
        } else {
            result.pictureLoaded[s] = 1;
        }
        for (const Milestone& m : kMilestones) {
            if (m.slot == s)
                Tell(progress, m.percent);
        }
    }

    result.nextPictureSlot = kFirstExtraSlot;
    const int backgrounds = qBound(0, mod.backgroundCount, kMaxBackgrounds);
    for (int i = 1; i <= backgrounds; ++i) {
        BackgroundDef& bg = mod.backgrounds[i];
        const int extras = qBound(0, bg.extraCount, kMaxExtras);
        for (int j = 1; j <= extras; ++j) {
            ExtraDef& extra = bg.extras[j];
            const int slot = result.nextPictureSlot++;
            const int created = stores.sources.NewSlot();
            Q_ASSERT(created == slot);
            Q_UNUSED(created);
            result.pictureLoaded[slot] = load(slot, JoinStoredPath(modDir, extra.pictureFile));
            extra.pictureSlot = slot;
        }
    }
    return result;
}

int FirstMissingFixedSlot(const LoadedPictures& pictures) {
    for (int s = 1; s < kFirstUndrawnSlot; ++s) {
        if (pictures.pictureLoaded[s] == 0)
            return s;
    }
    // The undrawn slots may be missing.
    for (int s = kLastUndrawnSlot + 1; s <= kLastFixedSlot; ++s) {
        if (pictures.pictureLoaded[s] == 0)
            return s;
    }
    return 0;
}

bool AllExtrasLoaded(const LoadedPictures& pictures) {
    for (int s = kFirstExtraSlot; s < pictures.nextPictureSlot; ++s) {
        if (pictures.pictureLoaded[s] == 0)
            return false;
    }
    return true;
}

}  // namespace wf
