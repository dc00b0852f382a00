// Whatever single step of a run fails, or wherever the process dies, the MOD
// still loads in the game: from its plain files or from its .cod files.
#include <gtest/gtest.h>

#include "ModFixture.h"
#include "RunHelpers.h"
#include "ScriptedPlatform.h"

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
        ModFixture fx;
        fx.WriteGameIni({"welt"});
        const auto plain = fx.AddMod(QStringLiteral("welt"), StandardMod());
        FaultyFiles files;
        files.failAt = k;
        files.die = mode.die;
        EngineRun run(fx, &files);

        bool finished = false;
        try {
            finished = run.Run(QStringLiteral("welt"), QStringLiteral("welt.src"), mode.backup);
        } catch (const Killed&) {
        }
        const LoadsAs loads = HowItLoads(fx, QStringLiteral("welt"), plain);
        if (finished) {
            EXPECT_EQ(loads, LoadsAs::Encoded);
            EXPECT_EQ(files.changes.size(), k - 1);
            break;
        }
        ASSERT_GE(files.changes.size(), k);
        const QString failed = files.changes[k - 1];
        SCOPED_TRACE(failed.toStdString());
        EXPECT_NE(loads, LoadsAs::Broken);
        // Before "type" is set the game reads the plain files; removing a
        // plain file only ever happens after it.
        const QString modDir = fx.ModDir(QStringLiteral("welt")) + '/';
        if (failed.startsWith(QStringLiteral("write ")) ||
            failed == QStringLiteral("ini ") + modDir + QStringLiteral("config.ini") ||
            !failed.contains(modDir)) {
            EXPECT_EQ(loads, LoadsAs::Plain);
        }
        if (failed.startsWith(QStringLiteral("remove ") + modDir)) {
            EXPECT_EQ(loads, LoadsAs::Encoded);
        }
        if (!mode.die) {
            ASSERT_EQ(platform.messages.size(), 1);
            EXPECT_EQ(platform.messages[0].text,
                      QStringLiteral("Ein unbekannter Fehler ist aufgetreten !!!"));
            EXPECT_EQ(platform.exits.size(), 1);
            EXPECT_FALSE(run.sink.Lines().contains(QStringLiteral("FERTIG\r\n\r\n")));
        }
        ++steps;
        ASSERT_LT(k, 100) << "the run never finished";
    }
    // Three .cod, config.ini and three removals at the least.
    EXPECT_GE(steps, mode.backup ? 20 : 7);
}

INSTANTIATE_TEST_SUITE_P(Modes, CrashSafety,
                         ::testing::Values(Mode{"fails", false, false},
                                           Mode{"fails_with_backup", false, true},
                                           Mode{"dies", true, false},
                                           Mode{"dies_with_backup", true, true}),
                         [](const auto& info) { return std::string(info.param.what); });

}  // namespace
}  // namespace wf::test
