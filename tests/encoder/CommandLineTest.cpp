// The scripted mode: its arguments, and the built program's exit status.
#include <gtest/gtest.h>

#include <QProcess>
#include <QProcessEnvironment>
#include <functional>
#include <utility>

#include "CommandLine.h"
#include "EncoderRun.h"
#include "IniAccess.h"

namespace wf::test {
namespace {

TEST(CommandLineParse, Arguments) {
    using Mode = CommandLine::Mode;
    struct Case {
        QStringList args;
        Mode mode;
        QString mod, backup, gameDir;
        bool backupWanted, overwrite;
    };
    const Case cases[] = {
        {{}, Mode::Wizard, "", "", "", false, false},
        {{"--encode", "welt"}, Mode::Encode, "welt", "", "", false, false},
        {{"--encode", "welt", "--backup", "welt.src", "--overwrite", "--game-dir", "/g"},
         Mode::Encode,
         "welt",
         "welt.src",
         "/g",
         true,
         true},
        {{"--backup", "b", "--encode", "welt"}, Mode::Encode, "welt", "b", "", true, false},
        {{"--encode", "welt", "--help"}, Mode::Help, "welt", "", "", false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args.join(' ').toStdString());
        const CommandLine cl = ParseCommandLine(c.args);
        EXPECT_EQ(cl.mode, c.mode);
        EXPECT_EQ(cl.mod, c.mod);
        EXPECT_EQ(cl.backupDir, c.backup);
        EXPECT_EQ(cl.gameDirectory, c.gameDir);
        EXPECT_EQ(cl.backupWanted, c.backupWanted);
        EXPECT_EQ(cl.overwrite, c.overwrite);
    }
    for (const QStringList& wrong : {QStringList{"--encode"},
                                     {"--backup", "b"},
                                     {"--encode", "w", "--bunt"},
                                     {"--game-dir", ""}}) {
        const CommandLine cl = ParseCommandLine(wrong);
        EXPECT_EQ(cl.mode, Mode::Error) << wrong.join(' ').toStdString();
        EXPECT_FALSE(cl.error.isEmpty());
    }
    EXPECT_FALSE(WantsCommandLineMode({"--game-dir", "--encode"}));
    EXPECT_FALSE(WantsCommandLineMode({"-platform", "offscreen"}));
    EXPECT_TRUE(WantsCommandLineMode({"--bunt"}));
}

struct Result {
    int exitCode = -1;
    QString out;
    QString err;
};

Result Modsiegel(const QStringList& args) {
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    // Nothing of this mode may need a display.
    env.remove(QStringLiteral("DISPLAY"));
    env.remove(QStringLiteral("WAYLAND_DISPLAY"));
    env.remove(QStringLiteral("QT_QPA_PLATFORM"));
    p.setProcessEnvironment(env);
    p.start(QStringLiteral(MODSIEGEL_BINARY), args);
    if (!p.waitForFinished(30000))
        return {};
    Result r;
    r.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -2;
    r.out = QString::fromUtf8(p.readAllStandardOutput());
    r.err = QString::fromUtf8(p.readAllStandardError());
    return r;
}

class ProgramRun : public ::testing::Test {
  protected:
    void SetUp() override { plain = InstallWelt(g); }
    GameFiles g;
    QMap<QByteArray, QByteArray> plain;
};

TEST_F(ProgramRun, ExitCodes) {
    // 0 done, 1 refused or failed, 2 a wrong command line.
    const struct {
        QStringList args;
        int exitCode;
        QString out, errHas;
    } cases[] = {
        {{"--help"}, 0, "--overwrite", ""},
        {{"--encode", "welt", "--bunt"}, 2, "", "--bunt"},
        {{"--backup", "b"}, 2, "", "--help"},
        {{"--encode", "nirgends", "--game-dir", g.Path()},
         1,
         "",
         "modsiegel: Fehler: Die Datei 'mod.ini' des MODs 'nirgends' fehlt"},
        {{"--encode", "welt", "--backup", "WELT", "--game-dir", g.Path()}, 1, "", "'WELT'"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args.join(' ').toStdString());
        const auto before = g.Snapshot();
        const Result r = Modsiegel(c.args);
        EXPECT_EQ(r.exitCode, c.exitCode);
        EXPECT_TRUE(c.out.isEmpty() || r.out.contains(c.out)) << r.out.toStdString();
        EXPECT_TRUE(c.errHas.isEmpty() || r.err.contains(c.errHas)) << r.err.toStdString();
        EXPECT_EQ(g.Snapshot(), before);
    }
}

// Success logs to standard output; an existing backup needs --overwrite.
TEST_F(ProgramRun, ExistingBackupNeedsOverwrite) {
    g.Write(QStringLiteral("mods/welt.src/mod.ini"), "alt");
    const Result refused =
        Modsiegel({"--encode", "welt", "--backup", "welt.src", "--game-dir", g.Path()});
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_TRUE(refused.err.startsWith(
        QStringLiteral("modsiegel: Fehler !: Die zu kopierende Datei existiert schon")))
        << refused.err.toStdString();
    EXPECT_EQ(g.Read(QStringLiteral("mods/welt.src/mod.ini")), "alt");
    EXPECT_EQ(g.HowItLoads(QStringLiteral("welt"), plain), LoadsAs::Plain);

    const Result replaced = Modsiegel(
        {"--encode", "welt", "--backup", "welt.src", "--overwrite", "--game-dir", g.Path()});
    EXPECT_EQ(replaced.exitCode, 0) << replaced.err.toStdString();
    EXPECT_TRUE(
        replaced.out.startsWith(QStringLiteral("1 Mod(s) gefunden...\nMOD 'welt' ausgewählt\n")))
        << replaced.out.toStdString();
    EXPECT_TRUE(replaced.out.endsWith(QStringLiteral("FERTIG\n\n\n")));
    EXPECT_EQ(g.HowItLoads(QStringLiteral("welt.src"), plain), LoadsAs::Plain);
    EXPECT_EQ(g.Read(QStringLiteral("mods/welt.src/mod.ini")), plain["mod"]);
    EXPECT_EQ(g.HowItLoads(QStringLiteral("welt"), plain), LoadsAs::Encoded);
}

// While a run waits at its question, it holds its MOD and its backup
// directory: other programs on either are refused at once and change nothing.
TEST_F(ProgramRun, ARunHoldsItsModAndItsBackup) {
    g.WriteMod(QStringLiteral("andere"), MakeMod());
    g.Write(QStringLiteral("mods/welt.src/schuss.wav"), "alt");
    const QString dir = g.Path();
    const struct {
        QStringList args;
        QString says;
    } others[] = {
        {{"--encode", "welt", "--game-dir", dir}, "Das MOD 'welt' wird gerade"},
        {{"--encode", "andere", "--backup", "welt.src", "--game-dir", dir},
         "Das MOD 'welt.src' wird gerade"},
    };
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
        for (const auto& other : others) {
            SCOPED_TRACE(other.args.join(' ').toStdString());
            const Result r = Modsiegel(other.args);
            EXPECT_EQ(r.exitCode, 1);
            EXPECT_TRUE(r.err.contains(other.says)) << r.err.toStdString();
        }
        EXPECT_EQ(g.Snapshot(), before);
    };
    EngineRun run(g);
    ASSERT_TRUE(run.Run(QStringLiteral("welt"), QStringLiteral("welt.src"), true));
    EXPECT_EQ(platform.messages.size(), 1);
    EXPECT_EQ(g.HowItLoads(QStringLiteral("welt"), plain), LoadsAs::Encoded);
}

// A run killed while it made its lock leaves an empty lock file that nobody
// holds: the next run takes over.
TEST_F(ProgramRun, ALockNobodyHoldsIsTakenOver) {
    g.Write(QStringLiteral("mods/.welt.lock"), QByteArray());
    const Result r = Modsiegel({"--encode", "welt", "--game-dir", g.Path()});
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(g.HowItLoads(QStringLiteral("welt"), plain), LoadsAs::Encoded);
    EXPECT_FALSE(g.Exists(QStringLiteral("mods/.welt.lock")));
}

// Two programs on two MODs at the same moment, round after round: both
// backups are registered, none overwrites the other's entry.
TEST_F(ProgramRun, RunsSideBySideBothRegister) {
    constexpr int kRounds = 20;
    for (int round = 0; round < kRounds; ++round) {
        SCOPED_TRACE(round);
        GameFiles two;
        two.Write(QStringLiteral("game.ini"), ModList({"a", "b"}));
        two.WriteMod(QStringLiteral("a"), MakeMod());
        two.WriteMod(QStringLiteral("b"), MakeMod());
        QProcess runs[2];
        for (int i = 0; i < 2; ++i) {
            const QString mod = QString(QChar('a' + i));
            runs[i].start(QStringLiteral(MODSIEGEL_BINARY),
                          {"--encode", mod, "--backup", mod + ".src", "--game-dir", two.Path()});
        }
        for (QProcess& p : runs) {
            ASSERT_TRUE(p.waitForFinished(30000));
            EXPECT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
        }
        const QString ini = two.Path(QStringLiteral("game.ini"));
        ASSERT_EQ(ReadIniText(ini, "Mods", "ModAnzahl"), "4");
        QStringList names;
        for (int k = 1; k <= 4; ++k)
            names.append(
                QString::fromLatin1(ReadIniText(ini, "Mods", "ModName" + QByteArray::number(k))));
        names.sort();
        EXPECT_EQ(names, (QStringList{"a", "a.src", "b", "b.src"}));
    }
}

}  // namespace
}  // namespace wf::test
