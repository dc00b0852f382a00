// Whatever single step of a run fails, the game directory is as it was
// before; wherever the process dies, the MOD still loads in the game: from its
// plain files up to the moment config.ini says "code", from its .cod files
// after it.
#include <gtest/gtest.h>

#include "EncoderRun.h"

namespace wf::test {
namespace {

struct Mode {
    const char* what;
    bool die;
    bool backup;
};

void PrintTo(const Mode& m, std::ostream* os) {
    *os << m.what;
}

class CrashSafety : public ::testing::TestWithParam<Mode> {};

TEST_P(CrashSafety, EveryStepInTurn) {
    const Mode mode = GetParam();
    int steps = 0;
    for (int k = 1;; ++k) {
        SCOPED_TRACE(k);
        ScriptedPlatform platform;
        GameFiles g;
        const auto plain = InstallWelt(g);
        // A stale .cod from earlier work is replaced, and put back on failure.
        g.Write("mods/welt/1.cod", "veraltet");
        const auto before = g.Snapshot();
        FaultyFiles files;
        files.failAt = k;
        files.die = mode.die;
        EngineRun run(g, &files);

        bool finished = false;
        try {
            finished = run.Run("welt", "welt.src", mode.backup);
        } catch (const Killed&) {
        }
        const LoadsAs loads = g.HowItLoads("welt", plain);
        if (finished) {
            EXPECT_EQ(loads, LoadsAs::Encoded);
            EXPECT_EQ(files.changes.size(), k - 1);
            break;
        }
        // The run failed on its own before step k: its log says why.
        ASSERT_GE(files.changes.size(), k) << run.engine.Log().toStdString();
        SCOPED_TRACE(files.changes[k - 1].toStdString());
        if (mode.die) {
            const QString seal = "commit " + g.ModPath("welt") + "/config.ini";
            const qsizetype sealedAt = files.changes.indexOf(seal);
            EXPECT_EQ(loads, sealedAt >= 0 && sealedAt < k - 1 ? LoadsAs::Encoded : LoadsAs::Plain);
        } else {
            EXPECT_EQ(g.Snapshot(), before);
            ASSERT_EQ(platform.messages.size(), 1);
            EXPECT_EQ(platform.messages[0].text, "Ein unbekannter Fehler ist aufgetreten !!!");
            EXPECT_EQ(platform.exits, QList<int>{1});
            EXPECT_FALSE(run.sink.Lines().contains("FERTIG\r\n\r\n"));
        }
        ++steps;
        ASSERT_LT(k, 100) << "the run never finished";
    }
    // Written, put in place and removed: three .cod, config.ini and three
    // plain files, and with the backup its folders, ten copies and game.ini.
    EXPECT_EQ(steps, mode.backup ? 4 + 2 * (4 + 11) + 3 : 2 * 4 + 3);
}

INSTANTIATE_TEST_SUITE_P(Modes, CrashSafety,
                         ::testing::Values(Mode{"fails", false, false},
                                           Mode{"fails_with_backup", false, true},
                                           Mode{"dies", true, false},
                                           Mode{"dies_with_backup", true, true}),
                         [](const auto& info) { return std::string(info.param.what); });

}  // namespace
}  // namespace wf::test
