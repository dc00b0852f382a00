#pragma once
// The main menu: its tree as one table, and what it shows as plain data
// derived from the settings and the game's phase. Nothing is ever read back
// from the menu: its commands change the settings or the game, and the main
// window shows the menu derived anew.
#include <QtCore/qnamespace.h>
#include <QString>
#include <array>

#include "GameSettings.h"
#include "GameState.h"
#include "ModDefinition.h"

namespace wf {

struct MenuEntry {
    QString caption;
    bool checked = false;
    bool enabled = true;
    bool visible = true;
    bool operator==(const MenuEntry&) const = default;
};

// Whether an entry shows a check mark.
inline constexpr bool kCommand = false;
inline constexpr bool kOption = true;

// The preset backgrounds' entries, 1 to 10. F10 opens the menu bar on many
// desktops, so the tenth answers to F11.
inline constexpr int kBackgroundEntries = kMaxBackgrounds;
inline constexpr Qt::Key kBackgroundKeys[kBackgroundEntries + 1] = {
    Qt::Key_unknown, Qt::Key_F1, Qt::Key_F2, Qt::Key_F3, Qt::Key_F4, Qt::Key_F5,
    Qt::Key_F6,      Qt::Key_F7, Qt::Key_F8, Qt::Key_F9, Qt::Key_F11};

// The menu tree, top to bottom. The menu's data below and the main window's
// menu bar are both expanded from this one table, so an entry is added as one
// row here plus its command in the main window and its state in DeriveMenu.
// Rows:
//   MENU(name, caption) ... END_MENU(name)        a menu and what it holds
//   ENTRY(name, caption, shortcut, command, checkable)
//   SEPARATOR(name)
//   BACKGROUNDS(name, caption, shortcuts, command) entries 1 .. 10 of the
//       array `name`, the caption with %1 for the number until the MOD names
//       them; the command takes the number
// clang-format off
#define WF_MENU_TREE(MENU, END_MENU, ENTRY, SEPARATOR, BACKGROUNDS)                               \
    MENU(gameMenu, "Spiel")                                                                        \
        ENTRY(play, "Spielen", Qt::CTRL | Qt::Key_S, PlayOrAbort, kCommand)                        \
        SEPARATOR(gameSeparator1)                                                                  \
        ENTRY(highscore, "Highscore", Qt::CTRL | Qt::Key_H, ShowHighscores, kCommand)              \
        SEPARATOR(gameSeparator2)                                                                  \
        ENTRY(quit, "Beenden", Qt::CTRL | Qt::Key_B, Quit, kCommand)                               \
    END_MENU(gameMenu)                                                                             \
    MENU(optionsMenu, "Optionen")                                                                  \
        MENU(backgroundsMenu, "Hintergründe")                                                      \
            BACKGROUNDS(background, "#HG%1", kBackgroundKeys, ChooseBackground)                    \
            SEPARATOR(backgroundsSeparator)                                                        \
            ENTRY(ownBackground, "Hintergrund wählen", Qt::Key_F12, ChooseOwnBackground, kOption)  \
        END_MENU(backgroundsMenu)                                                                  \
        SEPARATOR(optionsSeparator1)                                                               \
        ENTRY(length30, "30 Sekunden", Qt::CTRL | Qt::Key_F1, ChooseLength30, kOption)             \
        ENTRY(length60, "60 Sekunden", Qt::CTRL | Qt::Key_F2, ChooseLength60, kOption)             \
        ENTRY(length120, "120 Sekunden", Qt::CTRL | Qt::Key_F3, ChooseLength120, kOption)          \
        SEPARATOR(optionsSeparator2)                                                               \
        ENTRY(music, "Musik", Qt::CTRL | Qt::Key_M, ToggleMusic, kOption)                          \
        ENTRY(sound, "Sound", Qt::CTRL | Qt::Key_X, ToggleSound, kOption)                          \
        SEPARATOR(optionsSeparator3)                                                               \
        ENTRY(userDefined, "Benutzerdefieniert", Qt::CTRL | Qt::Key_F4, OpenCustomMode, kCommand)  \
        ENTRY(changeMod, "Mod wechseln...", Qt::CTRL | Qt::Key_C, OpenModWindow, kCommand)         \
    END_MENU(optionsMenu)                                                                          \
    MENU(viewMenu, "Ansicht")                                                                      \
        ENTRY(minimize, "Minimieren", Qt::ALT | Qt::Key_Backspace, Minimize, kCommand)             \
        SEPARATOR(viewSeparator)                                                                   \
        ENTRY(fullScreen, "Vollbild", Qt::CTRL | Qt::Key_V, ToggleFullScreen, kOption)             \
        ENTRY(keepAspectRatio, "Seitenverhältnis beibehalten", Qt::CTRL | Qt::SHIFT | Qt::Key_V,   \
              ToggleKeepAspectRatio, kOption)                                                      \
    END_MENU(viewMenu)                                                                             \
    MENU(helpMenu, "?")                                                                            \
        ENTRY(help, "Hilfe", Qt::CTRL | Qt::Key_K, ShowHelp, kCommand)                             \
        ENTRY(infoFile, "Info Datei des Spiels anzeigen", Qt::CTRL | Qt::Key_I, ShowInfoFile,      \
              kCommand)                                                                            \
        SEPARATOR(helpSeparator)                                                                   \
        ENTRY(info, "Info", Qt::CTRL | Qt::Key_J, ShowInfo, kCommand)                              \
    END_MENU(helpMenu)
// clang-format on

// One member per menu and entry of the tree, by its name, each with the
// caption of the tree.
struct MainMenu {
#define WF_MODEL_MENU(name, caption) MenuEntry name{QStringLiteral(caption)};
#define WF_MODEL_ENTRY(name, caption, shortcut, command, checkable) \
    MenuEntry name{QStringLiteral(caption)};
#define WF_MODEL_BACKGROUNDS(name, caption, shortcuts, command) \
    std::array<MenuEntry, kBackgroundEntries + 1> name = BackgroundEntries(QStringLiteral(caption));
#define WF_MODEL_NOTHING(name)
    WF_MENU_TREE(WF_MODEL_MENU, WF_MODEL_NOTHING, WF_MODEL_ENTRY, WF_MODEL_NOTHING,
                 WF_MODEL_BACKGROUNDS)
#undef WF_MODEL_MENU
#undef WF_MODEL_ENTRY
#undef WF_MODEL_BACKGROUNDS
#undef WF_MODEL_NOTHING

    bool operator==(const MainMenu&) const = default;

  private:
    // Entries 1 to 10; index 0 is never used.
    static std::array<MenuEntry, kBackgroundEntries + 1> BackgroundEntries(const QString& caption) {
        std::array<MenuEntry, kBackgroundEntries + 1> entries{};
        for (int i = 1; i <= kBackgroundEntries; ++i)
            entries[i].caption = caption.arg(i);
        return entries;
    }
};

// What the menu shows for these settings, this phase of the game and the
// backgrounds of this MOD: the one place that decides captions, check marks,
// enabled and visible entries.
MainMenu DeriveMenu(const GameSettings& settings, GamePhase phase, const ModDefinition& mod);

}  // namespace wf
