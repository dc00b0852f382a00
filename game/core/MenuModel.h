#pragma once
// The state of the main menu as plain data. A menu entry's check mark is also
// the stored value of its option, so the game rules read and write this model
// and the main window mirrors it onto its menu actions after every command.
#include <QString>
#include <array>

namespace wf {

struct MenuEntry {
    QString caption;
    bool checked = false;
    bool enabled = true;
    bool visible = true;
};

struct MenuModel {
    MenuEntry ter{QStringLiteral("Spielen")};
    MenuEntry gdsf{QStringLiteral("Highscore")};
    MenuEntry erwer{QStringLiteral("Beenden")};
    MenuEntry fghfgh{QStringLiteral("Optionen")};
    MenuEntry hintergrund{QStringLiteral("Hintergründe")};
    std::array<MenuEntry, 11> hinterg{};  // 1..10; index 0 unused
    MenuEntry hgw{QStringLiteral("Hintergrund wählen")};
    MenuEntry trz{QStringLiteral("30 Sekunden"), true};
    MenuEntry wtu{QStringLiteral("60 Sekunden")};
    MenuEntry wetz{QStringLiteral("120 Sekunden")};
    MenuEntry mnuMusik{QStringLiteral("Musik")};
    MenuEntry mnuSound{QStringLiteral("Sound")};
    MenuEntry erte{QStringLiteral("Benutzerdefieniert")};
    MenuEntry mod{QStringLiteral("Mod wechseln...")};
    MenuEntry ansicht{QStringLiteral("Ansicht")};
    MenuEntry minimize{QStringLiteral("Minimieren")};
    MenuEntry vollbild{QStringLiteral("Vollbild")};
    MenuEntry kjhk{QStringLiteral("Hilfe")};
    MenuEntry hgjg{QStringLiteral("Info Datei des Spiels anzeigen")};
    MenuEntry info{QStringLiteral("Info")};

    MenuModel() {
        for (int i = 1; i <= 10; ++i) {
            hinterg[i].caption = QStringLiteral("#HG%1").arg(i);
            hinterg[i].visible = false;
        }
        hinterg[1].checked = true;
    }
};

}  // namespace wf
