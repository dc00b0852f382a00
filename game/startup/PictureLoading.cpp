#include "PictureLoading.h"

#include <QByteArray>
#include <QFileInfo>
#include <QHash>

#include "Paths.h"

namespace wf {
namespace {

constexpr int kBackgroundSlot = 4;
constexpr int kLastFixedSlot = 21;

// Files of slots 1 to 21 below the program directory; nullptr: the slot is
// allocated but holds nothing (it counts as loaded), except slot 4, which
// takes the MOD's first background.
constexpr const char* kFixedFiles[kLastFixedSlot + 1] = {
    nullptr,
    "Grafiken\\Munition.jpg",
    "Grafiken\\Cursor.jpg",
    "Grafiken\\Maske.jpg",
    nullptr,  // background
    "Grafiken\\Vogel.jpg",
    "Grafiken\\Vogelsw.jpg",
    "Grafiken\\Vogelu.jpg",
    "Grafiken\\Vogelusw.jpg",
    nullptr,
    nullptr,
    "Grafiken\\WFLogo.jpg",
    "Grafiken\\SPWLogo.jpg",
    "Grafiken\\presents.jpg",
    "Grafiken\\3.jpg",
    "Grafiken\\1.jpg",
    "Grafiken\\2.jpg",
    "Grafiken\\4.jpg",
    "Grafiken\\5.jpg",
    nullptr,
    "Grafiken\\7.jpg",
    "Grafiken\\8.jpg",
};

// The storage limits of a MOD keep its extra pictures inside the loaded-flag
// table, so no MOD can need more slots than there are.
static_assert(kBackgroundSlot < kLastFixedSlot);
static_assert(kLastFixedSlot + 1 + kMaxBackgrounds * kMaxExtras <= 100);

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
            stores.RESSOURCEN.ShareSlot(slot, *it);
            return 1;
        }
        const int loaded = RES::LoadSlotPicture(stores, 0, slot, path);
        if (loaded && !real.isEmpty())
            loadedInto.insert(real, slot);
        return loaded;
    };
    for (int s = 1; s <= kLastFixedSlot; ++s) {
        const int created = RES::NewSlot(stores, 0);
        Q_ASSERT(created == s);  // store 0 is empty before start-up
        Q_UNUSED(created);
        if (s == kBackgroundSlot) {
            result.pictureLoaded[s] = load(s, BackgroundPath(modDir, mod));
        } else if (kFixedFiles[s]) {
            result.pictureLoaded[s] =
                load(s, JoinStoredPath(programDir, QByteArray(kFixedFiles[s])));
        } else {
            result.pictureLoaded[s] = 1;
        }
        if (s == kBackgroundSlot)
            Tell(progress, 20);
        if (s == 5)
            Tell(progress, 40);
        if (s == 14)
            Tell(progress, 50);
        if (s == 19)
            Tell(progress, 65);
    }

    result.nextPictureSlot = kLastFixedSlot + 1;
    const int backgrounds = qBound(0, mod.backgroundCount, kMaxBackgrounds);
    for (int i = 1; i <= backgrounds; ++i) {
        BackgroundDef& bg = mod.backgrounds[i];
        const int extras = qBound(0, bg.extraCount, kMaxExtras);
        for (int j = 1; j <= extras; ++j) {
            ExtraDef& extra = bg.extras[j];
            const int slot = result.nextPictureSlot++;
            const int created = RES::NewSlot(stores, 0);
            Q_ASSERT(created == slot);
            Q_UNUSED(created);
            result.pictureLoaded[slot] = load(slot, JoinStoredPath(modDir, extra.pictureFile));
            extra.pictureSlot = slot;
        }
    }
    return result;
}

int FirstMissingFixedSlot(const LoadedPictures& pictures) {
    for (int s = 1; s <= 13; ++s) {
        if (pictures.pictureLoaded[s] == 0)
            return s;
    }
    // Slots 14 to 19 may be missing: they are never drawn.
    for (int s = 20; s <= kLastFixedSlot; ++s) {
        if (pictures.pictureLoaded[s] == 0)
            return s;
    }
    return 0;
}

bool AllExtrasLoaded(const LoadedPictures& pictures) {
    for (int s = kLastFixedSlot + 1; s < pictures.nextPictureSlot; ++s) {
        if (pictures.pictureLoaded[s] == 0)
            return false;
    }
    return true;
}

}  // namespace wf
