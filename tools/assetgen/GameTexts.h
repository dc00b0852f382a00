#pragma once
// The game's own text files: its settings file and its information text.
#include <QStringList>

namespace wf::assetgen {

// game.ini: the required marker, sound and music from the MOD, the MOD list.
QStringList GameIniLines(const QStringList& modNames);

// Info.txt: how to play, the version history and the credits, in German.
QStringList InfoTextLines();

}  // namespace wf::assetgen
