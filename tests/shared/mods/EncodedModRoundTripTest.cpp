// The encoder's output is what the game's loader reads: a MOD sealed by the
// encoding engine decodes to its plain sources, which its backup keeps; a
// game that starts during a seal reads the MOD before or after it.
#include <gtest/gtest.h>

#include <QProcess>
#include <atomic>
#include <chrono>
#include <mutex>
#include <thread>

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

// The real program seals a MOD of large definition files again and again
// while the loader reads it as a starting game does: every read is whole.
TEST(EncodedModRoundTrip, ReadsWholeWhileTheProgramSeals) {
    test::GameFiles game;
    test::ModDraft draft = test::MakeMod(QList<test::BackgroundDraft>(10, {"COLOR", 40, 30, 1}));
    // Long files before a short last one: a reader of the plain MOD is
    // nearly always on its way to 10.ini, which the seal removes.
    for (int i = 0; i < 9; ++i)
        draft.backgrounds[i] += test::Lines(6000, QByteArray(98, ';'));
    game.WriteGame(draft);
    std::mutex writing;  // the test's own rewrite of the plain MOD is no seal
    std::atomic<bool> sealing = true;
    int loads = 0;
    QStringList refused;
    std::thread game_start([&] {
        // The pause lets the rewrite take the mutex, which is not fair.
        for (; sealing; std::this_thread::sleep_for(std::chrono::milliseconds(2))) {
            const std::lock_guard<std::mutex> hold(writing);
            const ModLoadResult r = LoadMod(game.ModPath());
            ++loads;
            if (!r.loaded)
                refused.append(r.detail);
        }
    });
    for (int seal = 0; seal < 5; ++seal) {
        {
            const std::lock_guard<std::mutex> hold(writing);
            game.WriteMod("wolkfng4", draft, false);
        }
        EXPECT_EQ(QProcess::execute(MODSIEGEL_BINARY,
                                    {"--encode", "wolkfng4", "--game-dir", game.Path()}),
                  0);
    }
    sealing = false;
    game_start.join();
    EXPECT_EQ(refused, QStringList());
    EXPECT_GT(loads, 5);
}

}  // namespace
}  // namespace wf
