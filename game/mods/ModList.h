#pragma once
// The installed MODs as the game's settings file lists them.
#include <QString>
#include <QStringList>

namespace wf {

inline constexpr int kMaxListedMods = 99;

// Names "ModName1" .. "ModName<n>" of section "Mods", n = "ModAnzahl". A
// count that is missing, empty or not a whole number gives an empty list;
// more than 99 names are cut to the first 99. A missing name is an empty line.
QStringList ReadModList(const QString& gameIniPath);

}  // namespace wf
