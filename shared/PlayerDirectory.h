#pragma once
// The player's own game directory of a system install. The installation
// (its data under share/games/wolkenfang) is read-only and shared; every
// player gets a directory that holds their game.ini, scores and MODs, with
// links into the installation for what the package ships. Both programs make
// or complete it at every start, before anything else, so that a package's
// new MOD or new info text reaches every player.
//
// Everything in the directory is made relative to the directory itself and
// never through a link that someone else may have put there: a game
// directory can be shared by a family, and nobody's file must be written
// because another user planted a link at a name this code uses.
#include <QString>

namespace wf {

// The installation's data directory beside the program's own, when the
// program runs from a system install; "" otherwise (a build's or a portable
// game directory, which is its own game directory).
QString InstalledDataDirectory(const QString& programDir);

// The player's game directory: WOLKENFANG_DIR (made absolute), else
// $XDG_DATA_HOME/wolkenfang, else $HOME/.local/share/wolkenfang (an empty or
// relative XDG_DATA_HOME or HOME counts as unset); "" when none can be named.
QString PlayerGameDirectory();

struct PlayerDirectory {
    QString gameDir;
    QString problem;  // German, for a message box; empty when all went well
};

// Makes or completes the player's game directory from the installation at
// dataDir:
// - game.ini copied once, then the player's; a newer package never replaces it;
// - Info.txt, Grafiken/ and each shipped MOD in mods/ are links into the
//   installation (an old copy of Info.txt becomes the link);
// - a link in mods/ to a MOD that the installation no longer has is removed.
// Nothing else of the player's is touched.
PlayerDirectory PreparePlayerDirectory(const QString& dataDir);

// For a program of a system install: PreparePlayerDirectory, and
// WOLKENFANG_DIR set to the directory for the programs this one starts (a
// new game with another MOD). An empty result when the program does not run
// from a system install.
PlayerDirectory SetUpInstalledGameDirectory(const QString& programDir);

}  // namespace wf
