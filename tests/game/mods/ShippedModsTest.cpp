// The MODs that ship in the assembled game directory load, and every file
// they name is there, pictures in the size the MOD declares.
#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>
#include <QImageReader>
#include <cstdlib>

#include "ModFiles.h"
#include "ModList.h"
#include "ModLoader.h"
#include "Paths.h"
#include "Text8.h"

namespace wf {
namespace {

QString ModsDirectory() {
    const char* game = std::getenv("WF_GAME_DIR");
    if (!game || !*game)
        return QString();
    return QString::fromLocal8Bit(game) + "/mods";
}

void ExpectPicture(const QString& modDir, const QByteArray& stored, int width, int height) {
    SCOPED_TRACE(stored.toStdString());
    const QString path = JoinStoredPath(modDir, stored);
    ASSERT_TRUE(QFileInfo::exists(path)) << path.toStdString();
    QImageReader reader(path);
    const QSize size = reader.size();
    ASSERT_TRUE(size.isValid()) << reader.errorString().toStdString();
    if (width < 0)
        return;  // any size will do
    EXPECT_EQ(size, QSize(width, height));
}

TEST(ShippedMods, EveryShippedModLoadsWithAllItsFiles) {
    const QString mods = ModsDirectory();
    if (mods.isEmpty() || !QFileInfo::exists(mods + "/wolkfng4")) {
        GTEST_SKIP() << "no shipped MODs below WF_GAME_DIR (" << mods.toStdString()
                     << "): build the game assets first";
    }
    const QStringList dirs = QDir(mods).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    int encoded = 0;
    for (const QString& name : dirs) {
        SCOPED_TRACE(name.toStdString());
        const QString modDir = mods + "/" + name;
        const auto before = test::Snapshot(modDir);
        const ModLoadResult r = LoadMod(modDir);
        ASSERT_TRUE(r.loaded) << r.detail.toStdString();
        EXPECT_EQ(test::Snapshot(modDir), before);
        encoded += r.mod.modIsEncoded ? 1 : 0;

        const ModDefinition& mod = r.mod;
        EXPECT_FALSE(mod.modName.isEmpty());
        ASSERT_GE(mod.backgroundCount, 1);
        // Start-up needs the first background as a picture.
        EXPECT_TRUE(mod.backgrounds[1].isPicture);
        EXPECT_TRUE(QFileInfo::exists(JoinStoredPath(modDir, mod.shotSoundFile)));
        EXPECT_TRUE(QFileInfo::exists(JoinStoredPath(modDir, mod.musicFile)));
        for (int i = 1; i <= mod.backgroundCount; ++i) {
            const BackgroundDef& bg = mod.backgrounds[i];
            SCOPED_TRACE(i);
            EXPECT_FALSE(bg.title.isEmpty());
            if (bg.isPicture)
                ExpectPicture(modDir, bg.pictureFile, bg.width, bg.height);
            for (int j = 1; j <= bg.extraCount; ++j) {
                ExpectPicture(modDir, bg.extras[j].pictureFile, -1, -1);
            }
        }
    }
    EXPECT_GE(encoded, 1) << "one shipped MOD is expected in encoded form";

    // Every MOD the settings file lists has its directory.
    for (const QString& listed : ReadModList(mods + "/../game.ini")) {
        EXPECT_TRUE(dirs.contains(listed)) << listed.toStdString();
    }
}

}  // namespace
}  // namespace wf
