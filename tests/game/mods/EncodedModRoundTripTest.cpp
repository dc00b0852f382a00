// The encoder's output is what the game's loader reads: a MOD sealed by the
// encoding engine decodes to its plain sources, which its backup keeps.
#include <gtest/gtest.h>

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

TEST(EncodedModRoundTrip, SealedModDecodesToItsSourcesAndLoadsLikeThem) {
    test::GameFiles game;
    game.WriteGame();
    const auto plain = game.WriteMod("wolkfng4", test::MakeMod());
    const ModLoadResult before = LoadMod(game.ModPath());
    ASSERT_TRUE(before.loaded);
    ScriptedPlatform platform;
    NullSink sink;
    Engine engine(sink);
    engine.SetGameDirectory(game.Path());
    engine.ReadModList();
    engine.RunEncoding({QStringLiteral("wolkfng4"), QStringLiteral("welt.src"), true});
    EXPECT_TRUE(platform.messages.isEmpty());
    EXPECT_EQ(game.HowItLoads("wolkfng4", plain), test::LoadsAs::Encoded);
    EXPECT_EQ(game.HowItLoads("welt.src", plain), test::LoadsAs::Plain);
    EXPECT_FALSE(game.Exists("mods/wolkfng4/1.ini"));
    EXPECT_EQ(ReadIniText(game.Path("game.ini"), "Mods", "ModName2"), "welt.src");
    // The game's loader reads the sealed MOD as it read the plain one.
    const ModLoadResult sealed = LoadMod(game.ModPath());
    ASSERT_TRUE(sealed.loaded) << sealed.detail.toStdString();
    EXPECT_TRUE(sealed.mod.modIsEncoded);
    EXPECT_EQ(sealed.mod.backgroundCount, before.mod.backgroundCount);
    EXPECT_EQ(sealed.mod.backgrounds[2].extras[1].hitCells[1].row,
              before.mod.backgrounds[2].extras[1].hitCells[1].row);
}

}  // namespace
}  // namespace wf
