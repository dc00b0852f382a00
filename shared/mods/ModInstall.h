#pragma once
// Installing a MOD from an archive into a game directory, all or nothing:
// the archive is checked and unpacked into a staging folder beside mods/,
// the MOD is checked there as the game would load it, and only then is it
// renamed into mods/ and registered in game.ini, under the MOD's lock and
// game.ini's (the locks modsiegel takes). A refusal leaves mods/ and
// game.ini as they were.
#include <QString>
#include <QStringList>
#include <functional>

namespace wf {

struct InstallOutcome {
    bool installed = false;
    QString modName;
    bool replaced = false;  // a MOD of that name was there and was replaced
    bool kept = false;      // a MOD of that name was there and stays, as replace answered
    int registeredAs = 0;   // the new "ModName" entry's number; 0: it was registered already
    QString problem;        // German; empty when installed
    QStringList notes;      // what the game plays on without (sound, music)
};

// replace: asked when a MOD of that name is installed already; true
// replaces it. The game asks the player, the command line needs
// --overwrite.
InstallOutcome InstallModArchive(const QString& archivePath, const QString& gameDir,
                                 const std::function<bool(const QString& modName)>& replace);

}  // namespace wf
