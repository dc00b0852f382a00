#pragma once
// What the two shipped MODs hold: backgrounds, extras, sound and music.
#include <QByteArray>
#include <QColor>
#include <QRect>
#include <QString>

#include <optional>
#include <vector>

#include "ExtraObjects.h"
#include "MidiComposer.h"
#include "Scenes.h"
#include "ShotSound.h"

namespace wf::assetgen {

struct ExtraPlan {
    QString title;  // German, for the comment in the background file
    QString file;
    QRect box;  // gfxx, gfxy and the picture's size
    ExtraObject object;
    QByteArray kind;  // "static" or "sequenziell"
    int points;
    bool destructable;
};

struct BackgroundPlan {
    QString title;
    std::optional<Scene> scene;  // a picture background; none: a plain colour
    QString file;
    QColor colour;
    std::vector<ExtraPlan> extras;
};

struct ModPlan {
    QString directory;
    QString name;
    QString description;
    QString shotFile;
    ShotStyle shot;
    QString musicFile;
    MusicTheme music;
    bool night = false;    // extras are lit by the moon
    bool encoded = false;  // ship the definition files sealed
    std::vector<BackgroundPlan> backgrounds;
};

ModPlan DefaultMod();  // "wolkfng4", plain
ModPlan NightMod();    // "nachtflug", encoded

}  // namespace wf::assetgen
