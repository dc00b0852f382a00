// The built program without windows: its exit status and output, and
// programs running side by side.
#include <gtest/gtest.h>

#include <QProcess>
#include <algorithm>
#include <functional>
#include <utility>

#include "EncoderRun.h"

namespace wf::test {
namespace {

struct Result {
    int exitCode = -1;  // -2: crashed
    QString out, err;
};

Result Modsiegel(const QStringList& args) {
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    // Nothing of this mode may need a display.
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        env.remove(QString::fromLatin1(name));
    p.setProcessEnvironment(env);
    p.start(QStringLiteral(MODSIEGEL_BINARY), args);
    if (!p.waitForFinished(30000))
        return {};
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -2,
            QString::fromUtf8(p.readAllStandardOutput()),
            QString::fromUtf8(p.readAllStandardError())};
}

class ProgramRun : public ::testing::Test {
  protected:
    void SetUp() override { plain = InstallWelt(g); }
    GameFiles g;
    QMap<QByteArray, QByteArray> plain;
};

// 0 done (the log on standard output), 1 refused or failed with nothing
// changed, 2 a wrong command line (both saying why on standard error).
TEST_F(ProgramRun, ExitStatusAndOutput) {
    const QString dir = g.Path();
    const struct {
        QStringList args;
        int status;
        QString says;
        const char* put = nullptr;  // an empty file put there before the run
    } cases[] = {
        {{"--help"}, 0, "--overwrite"},
        {{"--encode", "welt", "--bunt"}, 2, "--bunt"},
        {{"--backup", "b"}, 2, "modsiegel --help"},
        {{"--encode", "welt", "--game-dir", ""}, 2, "--game-dir"},
        {{"--encode"}, 2, "--encode"},
        {{"--encode", "nirgends", "--game-dir", dir}, 1, "modsiegel: Fehler: Die Datei 'mod.ini'"},
        {{"--encode", "welt", "--backup", "WELT", "--game-dir", dir}, 1, "'WELT'"},
        // An existing file in the backup needs --overwrite.
        {{"--encode", "welt", "--backup", "welt.src", "--game-dir", dir},
         1,
         "modsiegel: Fehler !: Die zu kopierende Datei existiert schon",
         "mods/welt.src/mod.ini"},
        // A run killed while it made its lock leaves a lock nobody holds.
        {{"--encode", "welt", "--backup", "welt.src", "--overwrite", "--game-dir", dir},
         0,
         "1 Mod(s) gefunden...\nMOD 'welt' ausgewählt\n",
         "mods/.welt.lock"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args.join(' ').toStdString());
        if (c.put)
            g.Write(c.put, QByteArray());
        const auto before = g.Snapshot();
        const Result r = Modsiegel(c.args);
        EXPECT_EQ(r.exitCode, c.status) << r.err.toStdString();
        EXPECT_TRUE((c.status ? r.err : r.out).contains(c.says)) << (r.out + r.err).toStdString();
        EXPECT_EQ(g.HowItLoads("welt", plain),
                  c.status || !c.put ? LoadsAs::Plain : LoadsAs::Encoded);
        EXPECT_TRUE(c.status == 0 || g.Snapshot() == before);
    }
    EXPECT_EQ(g.Read("mods/welt.src/mod.ini"), plain["mod"]);
    EXPECT_FALSE(g.Exists("mods/.welt.lock"));
}

// While a run waits at its question, it holds its MOD and its backup
// directory: other programs on either are refused at once and change nothing.
TEST_F(ProgramRun, ARunHoldsItsModAndItsBackup) {
    g.WriteMod("andere", MakeMod());
    g.Write("mods/welt.src/schuss.wav", "alt");
    struct Alongside : ScriptedPlatform {
        std::function<void()> atQuestion;
        MsgResult ShowMessageBox(QWidget* owner, MsgIcon icon, const QString& title,
                                 const QString& text, MsgButtons buttons) override {
            std::exchange(atQuestion, nullptr)();
            return ScriptedPlatform::ShowMessageBox(owner, icon, title, text, buttons);
        }
    } platform;
    platform.atQuestion = [&] {
        const auto before = g.Snapshot();
        for (const auto& [mod, busy] : {std::pair{"welt", "welt"}, {"andere", "welt.src"}}) {
            const Result r =
                Modsiegel({"--encode", mod, "--backup", "welt.src", "--game-dir", g.Path()});
            EXPECT_EQ(r.exitCode, 1);
            EXPECT_TRUE(r.err.contains(QStringLiteral("Das MOD '%1' wird gerade").arg(busy)))
                << r.err.toStdString();
        }
        EXPECT_EQ(g.Snapshot(), before);
    };
    ASSERT_TRUE(EngineRun(g).Run("welt", "welt.src", true));
    EXPECT_EQ(platform.messages.size(), 1);
    EXPECT_EQ(g.HowItLoads("welt", plain), LoadsAs::Encoded);
}

// Two programs on two MODs at the same moment, round after round: both
// backups are registered, none overwrites the other's entry.
TEST_F(ProgramRun, RunsSideBySideBothRegister) {
    for (int round = 0; round < 20; ++round) {
        SCOPED_TRACE(round);
        GameFiles two;
        two.Write("game.ini", ModList({"a", "b"}));
        QProcess runs[2];
        for (const char* mod : {"a", "b"}) {
            two.WriteMod(mod, MakeMod());
            runs[*mod - 'a'].start(
                MODSIEGEL_BINARY,
                {"--encode", mod, "--backup", mod + QString(".src"), "--game-dir", two.Path()});
        }
        for (QProcess& p : runs) {
            ASSERT_TRUE(p.waitForFinished(30000));
            EXPECT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
        }
        EngineRun after(two);
        after.engine.ReadModList();
        Lines names = after.engine.ModNames();
        std::sort(names.begin(), names.end());
        EXPECT_EQ(names, (Lines{"a", "a.src", "b", "b.src"}));
    }
}

}  // namespace
}  // namespace wf::test
