#pragma once
// The game data, generated once per test program into a temporary directory
// and read back from there as the game reads it.
#include <QByteArray>
#include <QImage>
#include <QString>

#include "AssetGenerator.h"

namespace wf::assetgen::testing {

struct GeneratedGame {
    QString dir;  // the game directory
    GameData data;
};

const GeneratedGame& Generated();

QByteArray ReadFileBytes(const QString& path);
// A picture as the game loads it: by its content, whatever its name says.
QImage LoadPicture(const QString& path);

// A MOD definition file as the game reads it: the plain .ini, or the .cod
// twin decoded line by line when the MOD is sealed.
QByteArray ReadDefinition(const QString& modDir, const QString& name);

}  // namespace wf::assetgen::testing
