#include "AssetGenerator.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include "Art.h"
#include "GameTexts.h"
#include "IniText.h"
#include "Sprites.h"
#include "TitlePictures.h"

namespace wf::assetgen {

namespace {

// The largest number of backgrounds a MOD may have; stale numbered files up
// to it are removed.
constexpr int kMaxBackgrounds = 10;

std::vector<NamedPicture> BuildGraphics() {
    const MaskedSprite cross = MakeCrossHair();
    const MaskedSprite left = MakeBird(false);
    const MaskedSprite right = MakeBird(true);
    std::vector<NamedPicture> g = {
        {"Grafiken/Munition.jpg", MakeCartridge()}, {"Grafiken/Cursor.jpg", cross.sprite},
        {"Grafiken/Maske.jpg", cross.mask},         {"Grafiken/Vogel.jpg", left.sprite},
        {"Grafiken/Vogelsw.jpg", left.mask},        {"Grafiken/Vogelu.jpg", right.sprite},
        {"Grafiken/Vogelusw.jpg", right.mask},      {"Grafiken/WFLogo.jpg", MakeGameLogo()},
        {"Grafiken/SPWLogo.jpg", MakeMakerLogo()},  {"Grafiken/presents.jpg", MakePresents()},
        {"Grafiken/7.jpg", MakeTitleBird()},        {"Grafiken/8.jpg", MakeHaveFun()},
    };
    for (int n = 1; n <= 5; ++n) {
        g.push_back({QStringLiteral("Grafiken/%1.jpg").arg(n), MakeSmallPicture(n)});
    }
    return g;
}

}  // namespace

GameData BuildGameData() {
    GameData data;
    data.graphics = BuildGraphics();
    {
        const ScaledCanvases hd(kHdScale);
        data.hdGraphics = BuildGraphics();
    }
    for (const NamedPicture& pic : data.graphics)
        data.files.push_back({pic.path, PictureBytes(pic.image)});
    for (const NamedPicture& pic : data.hdGraphics)
        data.files.push_back({HdPath(pic.path), PictureBytes(pic.image)});
    QStringList modNames;
    for (const ModPlan& plan : {DefaultMod(), NightMod()}) {
        data.mods.push_back(BuildMod(plan));
        modNames.append(plan.directory);
        const QString dir = "mods/" + plan.directory + "/";
        for (const NamedFile& f : data.mods.back().files)
            data.files.push_back({dir + f.path, f.bytes});
        const QString stale = plan.encoded ? ".ini" : ".cod";
        data.staleFiles.append(dir + "mod" + stale);
        for (int i = 1; i <= kMaxBackgrounds; ++i)
            data.staleFiles.append(dir + QString::number(i) + stale);
    }
    data.files.push_back({"game.ini", TextFileBytes(GameIniLines(modNames))});
    data.files.push_back({"Info.txt", TextFileBytes(InfoTextLines())});
    return data;
}

bool WriteGameData(const GameData& data, const QString& gameDir, QString* error) {
    for (const QString& stale : data.staleFiles) {
        const QString path = gameDir + "/" + stale;
        if (QFile::exists(path) && !QFile::remove(path)) {
            *error = "cannot remove " + path;
            return false;
        }
    }
    for (const NamedFile& f : data.files) {
        const QString path = gameDir + "/" + f.path;
        if (!QDir().mkpath(QFileInfo(path).absolutePath())) {
            *error = "cannot create the directory of " + path;
            return false;
        }
        QSaveFile out(path);
        if (!out.open(QIODevice::WriteOnly) || out.write(f.bytes) != f.bytes.size() ||
            !out.commit()) {
            *error = "cannot write " + path;
            return false;
        }
    }
    return true;
}

}  // namespace wf::assetgen
