#pragma once
// Everything the game directory needs from the generator, built in memory
// first and then written out.
#include <QString>
#include <QStringList>

#include <vector>

#include "ModWriter.h"

namespace wf::assetgen {

struct GameData {
    std::vector<NamedPicture> graphics;    // the "Grafiken" pictures, by file path
    std::vector<NamedPicture> hdGraphics;  // their twins at 4×, by the same paths
    std::vector<BuiltMod> mods;
    std::vector<NamedFile> files;  // every file, relative to the game directory
    // Files that must not be left over from an earlier run: the plain twins
    // of a sealed MOD and the sealed twins of a plain one.
    QStringList staleFiles;
};

GameData BuildGameData();

// Writes every file below gameDir; false with a message when one fails.
bool WriteGameData(const GameData& data, const QString& gameDir, QString* error);

}  // namespace wf::assetgen
