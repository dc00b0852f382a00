// Whatever single change of a run fails, the game directory is as it was
// before (the backup and its registration undone too); wherever the process
// dies, the MOD still loads in the game: from its plain files up to the
// moment config.ini says "code", from its .cod files after it.
#include <gtest/gtest.h>

#include <stdexcept>
#include <tuple>

#include "EncoderRun.h"

namespace wf::test {
namespace {

// Thrown to stop a run dead, as if the process had been killed.
struct Killed : std::runtime_error {
    Killed() : std::runtime_error("killed") {}
};

// Real file changes, except that change number failAt fails or, with die
// set, never happens because the process "dies" before it.
class FaultyFiles : public FileOps {
  public:
    FaultyFiles(int k, bool d) : failAt(k), die(d) {}
    bool MakeDir(const QString& p) override { return Step("mkdir " + p) && FileOps::MakeDir(p); }
    bool RemoveDir(const QString& p) override {
        return Step("rmdir " + p) && FileOps::RemoveDir(p);
    }
    std::optional<StagedFile> Stage(const QString& p, const QByteArray& bytes,
                                    QString* why) override {
        return Step("write " + p) ? FileOps::Stage(p, bytes, why) : std::nullopt;
    }
    bool Commit(StagedFile& f, QString* why) override {
        return Step("commit " + f.Path()) && FileOps::Commit(f, why);
    }
    bool RemoveFile(const QString& p) override {
        return Step("remove " + p) && FileOps::RemoveFile(p);
    }
    const int failAt;
    const bool die;
    QStringList changes;

  private:
    bool Step(const QString& what) {
        changes.append(what);
        if (changes.size() == failAt && die)
            throw Killed();
        return changes.size() != failAt;
    }
};

class CrashSafety : public ::testing::TestWithParam<std::tuple<bool, bool>> {};

TEST_P(CrashSafety, EveryStepInTurn) {
    const auto [die, backup] = GetParam();
    int steps = 0;
    for (int k = 1; k < 100; ++k, ++steps) {
        SCOPED_TRACE(k);
        ScriptedPlatform platform;
        GameFiles g;
        const auto plain = InstallWelt(g);
        // A stale .cod from earlier work is replaced, and put back on failure.
        g.Write("mods/welt/1.cod", "veraltet");
        const auto before = g.Snapshot();
        FaultyFiles files(k, die);
        EngineRun run(g, &files);
        bool finished = false;
        try {
            finished = run.Run("welt", "welt.src", backup);
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
        if (die) {
            const qsizetype sealedAt =
                files.changes.indexOf("commit " + g.ModPath("welt") + "/config.ini");
            EXPECT_EQ(loads, sealedAt >= 0 && sealedAt < k - 1 ? LoadsAs::Encoded : LoadsAs::Plain);
            continue;
        }
        EXPECT_EQ(g.Snapshot(), before);
        ASSERT_EQ(platform.messages.size(), 1);
        EXPECT_EQ(platform.messages[0].text, "Ein unbekannter Fehler ist aufgetreten !!!");
        EXPECT_EQ(platform.exits, QList<int>{1});
        EXPECT_FALSE(run.engine.Log().contains("FERTIG"));
    }
    // Written, put in place and removed: three .cod, config.ini and three
    // plain files, and with the backup its folders, ten copies and game.ini.
    EXPECT_EQ(steps, backup ? 4 + 2 * (4 + 11) + 3 : 2 * 4 + 3);
}

INSTANTIATE_TEST_SUITE_P(FailsOrDies_WithBackup, CrashSafety,
                         ::testing::Combine(::testing::Bool(), ::testing::Bool()));

}  // namespace
}  // namespace wf::test
