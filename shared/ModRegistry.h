#pragma once
// The installed MODs as game.ini lists them: "ModAnzahl" and the names
// "ModName1" .. "ModName<n>" of section "Mods". The game's MOD window and the
// encoder read the list here, so both agree on what a list is and where it
// ends.
#include <QByteArray>
#include <QList>
#include <optional>

namespace wf {

// More installed MODs than this are not handled by either program.
inline constexpr int kMaxInstalledMods = 99;

struct ModRegistry {
    // In game.ini order; a missing name is an empty entry.
    QList<QByteArray> names;
    // "ModAnzahl" is above kMaxInstalledMods: names is then empty, and each
    // program says so in its own way (the encoder ends, the game shows an
    // empty list).
    bool tooMany = false;
};

// From game.ini's content. The count follows the number rule of the INI
// reader (leading digits; missing or no digits is 0).
ModRegistry ReadModRegistry(const QByteArray& gameIni);

// game.ini's content with name added as entry "ModAnzahl" + 1 (a missing
// count is 0); nullopt when the writer refuses the value. entry: its number.
std::optional<QByteArray> WithModAdded(const QByteArray& gameIni, const QByteArray& name,
                                       int* entry);

}  // namespace wf
