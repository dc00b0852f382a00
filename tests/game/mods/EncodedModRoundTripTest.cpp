// The encoder's output is what the game's loader reads: a shipped MOD sealed
// by the encoding engine loads to the same definition as its plain sources,
// and so does the backup the engine makes of them.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include "Engine.h"
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

bool CopyTree(const QString& from, const QString& to) {
    QDir().mkpath(to);
    for (const QFileInfo& e : QDir(from).entryInfoList(QDir::AllEntries | QDir::NoDotAndDotDot)) {
        const QString target = to + '/' + e.fileName();
        if (e.isDir() ? !CopyTree(e.filePath(), target) : !QFile::copy(e.filePath(), target))
            return false;
    }
    return true;
}

void ExpectSameDefinition(const ModDefinition& a, const ModDefinition& b) {
    EXPECT_EQ(a.modName, b.modName);
    EXPECT_EQ(a.shotSoundFile, b.shotSoundFile);
    EXPECT_EQ(a.musicFile, b.musicFile);
    ASSERT_EQ(a.backgroundCount, b.backgroundCount);
    for (int i = 1; i <= a.backgroundCount; ++i) {
        const BackgroundDef& x = a.backgrounds[i];
        const BackgroundDef& y = b.backgrounds[i];
        SCOPED_TRACE(i);
        EXPECT_EQ(x.title, y.title);
        EXPECT_EQ(x.isPicture, y.isPicture);
        EXPECT_EQ(x.pictureFile, y.pictureFile);
        EXPECT_EQ(x.width, y.width);
        EXPECT_EQ(x.height, y.height);
        EXPECT_EQ(x.colour, y.colour);
        ASSERT_EQ(x.extraCount, y.extraCount);
        for (int j = 1; j <= x.extraCount; ++j) {
            const ExtraDef& e = x.extras[j];
            const ExtraDef& f = y.extras[j];
            EXPECT_EQ(e.pictureFile, f.pictureFile);
            EXPECT_EQ(e.x, f.x);
            EXPECT_EQ(e.y, f.y);
            EXPECT_EQ(e.extraPoints, f.extraPoints);
            EXPECT_EQ(e.extraKind, f.extraKind);
            EXPECT_EQ(e.destructable, f.destructable);
            ASSERT_EQ(e.hitCellCount, f.hitCellCount);
            for (int k = 1; k <= e.hitCellCount; ++k) {
                EXPECT_EQ(e.hitCells[k].column, f.hitCells[k].column);
                EXPECT_EQ(e.hitCells[k].row, f.hitCells[k].row);
            }
        }
    }
}

TEST(EncodedModRoundTrip, SealedShippedModLoadsLikeItsSources) {
    const QString shipped = qEnvironmentVariable("WF_GAME_DIR") + "/mods/wolkfng4";
    if (!QFile::exists(shipped + "/mod.ini"))
        GTEST_SKIP() << "game data not built: " << shipped.toStdString();

    QTemporaryDir game;
    ASSERT_TRUE(game.isValid());
    const QString mods = game.path() + "/mods";
    ASSERT_TRUE(CopyTree(shipped, mods + "/welt"));
    ASSERT_TRUE(WriteIniText(game.path() + "/game.ini", "1", "Mods", "ModAnzahl"));
    ASSERT_TRUE(WriteIniText(game.path() + "/game.ini", "welt", "Mods", "ModName1"));

    const ModLoadResult plain = LoadMod(mods + "/welt");
    ASSERT_TRUE(plain.loaded);

    ScriptedPlatform platform;
    NullSink sink;
    Engine engine(sink);
    engine.SetGameDirectory(game.path());
    engine.ReadModList();
    engine.RunEncoding({QStringLiteral("welt"), QStringLiteral("welt.src"), true});
    EXPECT_TRUE(platform.messages.isEmpty());

    EXPECT_EQ(ReadIniText(mods + "/welt/config.ini", "game", "type"), "code");
    EXPECT_FALSE(QFile::exists(mods + "/welt/mod.ini"));
    EXPECT_TRUE(QFile::exists(mods + "/welt/mod.cod"));
    for (int i = 1; i <= plain.mod.backgroundCount; ++i) {
        EXPECT_FALSE(QFile::exists(mods + QStringLiteral("/welt/%1.ini").arg(i)));
        EXPECT_TRUE(QFile::exists(mods + QStringLiteral("/welt/%1.cod").arg(i)));
    }

    const ModLoadResult sealed = LoadMod(mods + "/welt");
    ASSERT_TRUE(sealed.loaded) << sealed.text.toStdString();
    EXPECT_TRUE(sealed.mod.modIsEncoded);
    ExpectSameDefinition(plain.mod, sealed.mod);

    const ModLoadResult backup = LoadMod(mods + "/welt.src");
    ASSERT_TRUE(backup.loaded) << backup.text.toStdString();
    EXPECT_FALSE(backup.mod.modIsEncoded);
    ExpectSameDefinition(plain.mod, backup.mod);
    EXPECT_EQ(ReadIniText(game.path() + "/game.ini", "Mods", "ModName2"), "welt.src");
}

}  // namespace
}  // namespace wf
