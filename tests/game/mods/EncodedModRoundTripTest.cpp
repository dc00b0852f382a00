// The encoder's output is what the game's loader reads: every shipped MOD
// loads without changing its directory, and one sealed by the encoding
// engine loads to the same definition as its plain sources, and so does the
// backup the engine makes of them.
#include <gtest/gtest.h>

#include <QDir>

#include "Engine.h"
#include "GameFiles.h"
#include "IniAccess.h"
#include "ModLoader.h"
#include "ScriptedPlatform.h"

namespace wf {
namespace {

class NullSink : public EngineSink {
  public:
    void OnLogLine(const QString&) override {}
    void OnProgress(int) override {}
};

// Every field the files define, one line each.
QStringList Fields(const ModDefinition& m) {
    QStringList f{m.modName, m.shotSoundFile, m.musicFile, QString::number(m.backgroundCount)};
    for (int i = 1; i <= m.backgroundCount; ++i) {
        const BackgroundDef& b = m.backgrounds[i];
        f << QString::asprintf("%s %s %d %dx%d %s %d", b.title.constData(),
                               b.pictureFile.constData(), b.isPicture, b.width, b.height,
                               qPrintable(b.colour.name()), b.extraCount);
        for (int j = 1; j <= b.extraCount; ++j) {
            const ExtraDef& e = b.extras[j];
            f << QString::asprintf("%s %d,%d %d %s %d", e.pictureFile.constData(), e.x, e.y,
                                   e.extraPoints, e.extraKind.constData(), e.destructable);
            for (int k = 1; k <= e.hitCellCount; ++k)
                f.last() += QString::asprintf(" %d,%d", e.hitCells[k].column, e.hitCells[k].row);
        }
    }
    return f;
}

TEST(EncodedModRoundTrip, ShippedModsLoadAndSealedLoadsLikeItsSources) {
    const QString mods = qEnvironmentVariable("WF_GAME_DIR") + "/mods";
    if (!QFile::exists(mods + "/wolkfng4/mod.ini"))
        GTEST_SKIP() << "game data not built: " << mods.toStdString();
    for (const QString& name : QDir(mods).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        SCOPED_TRACE(name.toStdString());
        const auto before = test::GameFiles::SnapshotOf(mods + "/" + name);
        const ModLoadResult r = LoadMod(mods + "/" + name);
        EXPECT_TRUE(r.loaded) << r.detail.toStdString();
        EXPECT_EQ(test::GameFiles::SnapshotOf(mods + "/" + name), before);
    }

    test::GameFiles game;
    game.WriteGame();
    const ModLoadResult plain = LoadMod(game.ModPath());
    ASSERT_TRUE(plain.loaded);
    ScriptedPlatform platform;
    NullSink sink;
    Engine engine(sink);
    engine.SetGameDirectory(game.Path());
    engine.ReadModList();
    engine.RunEncoding({QStringLiteral("wolkfng4"), QStringLiteral("welt.src"), true});
    EXPECT_TRUE(platform.messages.isEmpty());
    EXPECT_FALSE(game.Exists("mods/wolkfng4/1.ini"));
    const ModLoadResult sealed = LoadMod(game.ModPath());
    ASSERT_TRUE(sealed.loaded) << sealed.detail.toStdString();
    EXPECT_TRUE(sealed.mod.modIsEncoded);
    EXPECT_EQ(Fields(sealed.mod), Fields(plain.mod));
    const ModLoadResult backup = LoadMod(game.ModPath("welt.src"));
    ASSERT_TRUE(backup.loaded) << backup.detail.toStdString();
    EXPECT_FALSE(backup.mod.modIsEncoded);
    EXPECT_EQ(Fields(backup.mod), Fields(plain.mod));
    EXPECT_EQ(ReadIniText(game.Path("game.ini"), "Mods", "ModName2"), "welt.src");
}

}  // namespace
}  // namespace wf
