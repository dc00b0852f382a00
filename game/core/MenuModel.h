#pragma once
// The main menu: its tree as one table, and its state as plain data. A menu
// entry's check mark is also the stored value of its option, so the game
// rules read and write this model and the main window mirrors it onto its
// menu actions after every command.
#include <QtCore/qnamespace.h>
#include <QString>
#include <array>

namespace wf {

struct MenuEntry {
    QString caption;
    bool checked = false;
    bool enabled = true;
    bool visible = true;
};

// How an entry starts.
struct MenuMarks {
    bool checkable = false;
    bool checked = false;
    bool visible = true;
};
inline constexpr MenuMarks kCommand{};
inline constexpr MenuMarks kOption{true};  // its check mark is an option
inline constexpr MenuMarks kOptionOn{true, true};

// The preset backgrounds' entries, 1 to 10. F10 opens the menu bar on many
// desktops, so the tenth answers to F11.
inline constexpr int kBackgroundEntries = 10;
inline constexpr Qt::Key kBackgroundKeys[kBackgroundEntries + 1] = {
    Qt::Key_unknown, Qt::Key_F1, Qt::Key_F2, Qt::Key_F3, Qt::Key_F4, Qt::Key_F5,
    Qt::Key_F6,      Qt::Key_F7, Qt::Key_F8, Qt::Key_F9, Qt::Key_F11};

// The menu tree, top to bottom. The model below and the main window's menu
// bar are both expanded from this one table, so an entry is added as one row
// here plus its handler in the main window. Rows:
//   MENU(name, caption) ... END_MENU(name)        a menu and what it holds
//   ENTRY(name, caption, shortcut, handler, marks)
//   SEPARATOR(name)
//   BACKGROUNDS(name, caption, shortcuts, handler) entries name1 .. name10,
//       the caption with %1 for the number; hidden until start-up shows the
//       MOD's, the first one checked; the handler takes the number
// clang-format off
#define WF_MENU_TREE(MENU, END_MENU, ENTRY, SEPARATOR, BACKGROUNDS)                               \
    MENU(fghgh, "Spiel")                                                                           \
        ENTRY(ter, "Spielen", Qt::CTRL | Qt::Key_S, ter_Click, kCommand)                           \
        SEPARATOR(dsaf)                                                                            \
        ENTRY(gdsf, "Highscore", Qt::CTRL | Qt::Key_H, gdsf_Click, kCommand)                       \
        SEPARATOR(dsf)                                                                             \
        ENTRY(erwer, "Beenden", Qt::CTRL | Qt::Key_B, erwer_Click, kCommand)                       \
    END_MENU(fghgh)                                                                                \
    MENU(fghfgh, "Optionen")                                                                       \
        MENU(hintergrund, "Hintergründe")                                                          \
            BACKGROUNDS(hinterg, "#HG%1", kBackgroundKeys, hinterg_Click)                          \
            SEPARATOR(linexxx)                                                                     \
            ENTRY(hgw, "Hintergrund wählen", Qt::Key_F12, hgw_Click, kOption)                      \
        END_MENU(hintergrund)                                                                      \
        SEPARATOR(fdgdfd)                                                                          \
        ENTRY(trz, "30 Sekunden", Qt::CTRL | Qt::Key_F1, trz_Click, kOptionOn)                     \
        ENTRY(wtu, "60 Sekunden", Qt::CTRL | Qt::Key_F2, wtu_Click, kOption)                       \
        ENTRY(wetz, "120 Sekunden", Qt::CTRL | Qt::Key_F3, wetz_Click, kOption)                    \
        SEPARATOR(ertw)                                                                            \
        ENTRY(mnuMusik, "Musik", Qt::CTRL | Qt::Key_M, mnuMusik_Click, kOption)                    \
        ENTRY(mnuSound, "Sound", Qt::CTRL | Qt::Key_X, mnuSound_Click, kOption)                    \
        SEPARATOR(strichsx)                                                                        \
        ENTRY(erte, "Benutzerdefieniert", Qt::CTRL | Qt::Key_F4, erte_Click, kCommand)             \
        ENTRY(mod, "Mod wechseln...", Qt::CTRL | Qt::Key_C, mod_Click, kCommand)                   \
    END_MENU(fghfgh)                                                                               \
    MENU(ansicht, "Ansicht")                                                                       \
        ENTRY(minimize, "Minimieren", Qt::ALT | Qt::Key_Backspace, minimize_Click, kCommand)       \
        SEPARATOR(line)                                                                            \
        ENTRY(vollbild, "Vollbild", Qt::CTRL | Qt::Key_V, vollbild_Click, kOption)                 \
    END_MENU(ansicht)                                                                              \
    MENU(fghhfg, "?")                                                                              \
        ENTRY(kjhk, "Hilfe", Qt::CTRL | Qt::Key_K, kjhk_Click, kCommand)                           \
        ENTRY(hgjg, "Info Datei des Spiels anzeigen", Qt::CTRL | Qt::Key_I, hgjg_Click, kCommand)  \
        SEPARATOR(gfdg)                                                                            \
        ENTRY(info, "Info", Qt::CTRL | Qt::Key_J, info_Click, kCommand)                            \
    END_MENU(fghhfg)
// clang-format on

// One member per menu and entry of the tree, by its name, in the state the
// window starts with.
struct MenuModel {
#define WF_MODEL_MENU(name, caption) MenuEntry name{QStringLiteral(caption)};
#define WF_MODEL_ENTRY(name, caption, shortcut, handler, marks) \
    MenuEntry name{QStringLiteral(caption), marks.checked, true, marks.visible};
#define WF_MODEL_BACKGROUNDS(name, caption, shortcuts, handler) \
    std::array<MenuEntry, kBackgroundEntries + 1> name = BackgroundEntries(QStringLiteral(caption));
#define WF_MODEL_NOTHING(name)
    WF_MENU_TREE(WF_MODEL_MENU, WF_MODEL_NOTHING, WF_MODEL_ENTRY, WF_MODEL_NOTHING,
                 WF_MODEL_BACKGROUNDS)
#undef WF_MODEL_MENU
#undef WF_MODEL_ENTRY
#undef WF_MODEL_BACKGROUNDS
#undef WF_MODEL_NOTHING

  private:
    // Entries 1 to 10; index 0 is never used.
    static std::array<MenuEntry, kBackgroundEntries + 1> BackgroundEntries(const QString& caption) {
        std::array<MenuEntry, kBackgroundEntries + 1> entries{};
        for (int i = 1; i <= kBackgroundEntries; ++i) {
            entries[i].caption = caption.arg(i);
            entries[i].visible = false;
        }
        entries[1].checked = true;
        return entries;
    }
};

}  // namespace wf
