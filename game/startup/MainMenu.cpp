#include "MainMenu.h"

#include <algorithm>

#include "Text8.h"

namespace wf {

MainMenu DeriveMenu(const GameSettings& settings, GamePhase phase, const ModDefinition& mod) {
    MainMenu menu;
    // A start that failed offers its abort, with the options still open.
    if (phase != GamePhase::Idle)
        menu.play.caption = QStringLiteral("Spiel abbrechen");
    const bool running = phase == GamePhase::Running;
    menu.optionsMenu.enabled = !running;
    menu.viewMenu.enabled = !running;

    const int backgrounds = std::clamp(mod.backgroundCount, 0, kBackgroundEntries);
    for (int i = 1; i <= kBackgroundEntries; ++i) {
        MenuEntry& entry = menu.background[i];
        entry.visible = i <= backgrounds;
        if (entry.visible)
            entry.caption = FromText8(mod.backgrounds[i].title);
        entry.checked = settings.background == i;
    }
    menu.ownBackground.checked = settings.background == kOwnBackground;

    menu.length30.checked = settings.gameLength == 30;
    menu.length60.checked = settings.gameLength == 60;
    menu.length120.checked = settings.gameLength == 120;
    menu.music.checked = settings.music;
    menu.sound.checked = settings.sound;
    menu.fullScreen.checked = settings.fullScreen;
    menu.keepAspectRatio.checked = settings.keepAspectRatio;
    return menu;
}

}  // namespace wf
