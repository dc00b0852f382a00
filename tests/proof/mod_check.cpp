// Loads a MOD as the game does at start-up: exit 0 and "plain" or "encoded"
// when it loads, exit 1 and the loader's reason when it does not.
//
//   mod_check MODDIR
#include <cstdio>

#include "ModLoader.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: mod_check MODDIR\n");
        return 2;
    }
    const wf::ModLoadResult r = wf::LoadMod(QString::fromLocal8Bit(argv[1]));
    if (!r.loaded) {
        std::printf("refused: %s: %s\n", qPrintable(r.text), qPrintable(r.detail));
        return 1;
    }
    // A summary of the definition, so that a caller can compare it with the
    // MOD's before a change.
    int extras = 0, cells = 0;
    for (int i = 1; i <= r.mod.backgroundCount; ++i) {
        const wf::BackgroundDef& bg = r.mod.backgrounds[i];
        extras += bg.extraCount;
        for (int j = 1; j <= bg.extraCount; ++j)
            cells += bg.extras[j].hitCellCount;
    }
    std::printf("%s: %s, %d backgrounds, %d extras, %d hit cells\n",
                r.mod.modIsEncoded ? "encoded" : "plain", r.mod.modName.constData(),
                r.mod.backgroundCount, extras, cells);
    return 0;
}
