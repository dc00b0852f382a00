// The scripted mode: its arguments, the built program's exit status and
// output, and programs running side by side.
#include <gtest/gtest.h>

#include <QProcess>
#include <functional>
#include <utility>

#include "CommandLine.h"
#include "EncoderRun.h"
#include "IniAccess.h"

namespace wf::test {
namespace {

// The parsed command line in one line: mode, MOD, backup, game directory,
// then 1 or 0 for a backup wanted and for --overwrite.
std::string Parsed(const QStringList& args) {
    const CommandLine cl = ParseCommandLine(args);
    const char* modes[] = {"wizard", "encode", "help", "error"};
    if (cl.mode == CommandLine::Mode::Error && cl.error.isEmpty())
        return "error without a reason";
    return QStringLiteral("%1 %2|%3|%4 %5%6")
        .arg(QString::fromLatin1(modes[int(cl.mode)]), cl.mod, cl.backupDir, cl.gameDirectory)
        .arg(int(cl.backupWanted))
        .arg(int(cl.overwrite))
        .toStdString();
}

TEST(CommandLineParse, Arguments) {
    const std::pair<QStringList, const char*> cases[] = {
        {{}, "wizard || 00"},
        {{"--encode", "welt"}, "encode welt|| 00"},
        {{"--encode", "w", "--backup", "w.src", "--overwrite", "--game-dir", "/g"},
         "encode w|w.src|/g 11"},
        {{"--backup", "b", "--encode", "welt"}, "encode welt|b| 10"},
        {{"--encode", "welt", "--help"}, "help welt|| 00"},
        {{"--encode"}, "error || 00"},
        {{"--backup", "b"}, "error |b| 10"},
        {{"--encode", "w", "--bunt"}, "error w|| 00"},
        {{"--game-dir", ""}, "error || 00"},
    };
    for (const auto& [args, parsed] : cases)
        EXPECT_EQ(Parsed(args), parsed) << args.join(' ').toStdString();
    EXPECT_FALSE(WantsCommandLineMode({"--game-dir", "--encode"}));
    EXPECT_FALSE(WantsCommandLineMode({"-platform", "offscreen"}));
    EXPECT_TRUE(WantsCommandLineMode({"--bunt"}));
}

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
// changed, 2 a wrong command line.
TEST_F(ProgramRun, ExitStatusAndOutput) {
    const QString dir = g.Path();
    const struct {
        QStringList args;
        int status;
        QString outHas, errHas;
        const char* write;  // a file put there before the run
    } cases[] = {
        {{"--help"}, 0, "--overwrite", "", nullptr},
        {{"--encode", "welt", "--bunt"}, 2, "", "--bunt", nullptr},
        {{"--backup", "b"}, 2, "", "modsiegel --help", nullptr},
        {{"--encode", "nirgends", "--game-dir", dir},
         1,
         "",
         "modsiegel: Fehler: Die Datei 'mod.ini' des MODs 'nirgends' fehlt",
         nullptr},
        {{"--encode", "welt", "--backup", "WELT", "--game-dir", dir}, 1, "", "'WELT'", nullptr},
        // An existing file in the backup needs --overwrite.
        {{"--encode", "welt", "--backup", "welt.src", "--game-dir", dir},
         1,
         "",
         "modsiegel: Fehler !: Die zu kopierende Datei existiert schon",
         "mods/welt.src/mod.ini"},
        // A run killed while it made its lock leaves a lock nobody holds.
        {{"--encode", "welt", "--backup", "welt.src", "--overwrite", "--game-dir", dir},
         0,
         "1 Mod(s) gefunden...\nMOD 'welt' ausgewählt\n",
         "",
         "mods/.welt.lock"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args.join(' ').toStdString());
        if (c.write)
            g.Write(QString::fromLatin1(c.write), QByteArray());
        const auto before = g.Snapshot();
        const Result r = Modsiegel(c.args);
        EXPECT_EQ(r.exitCode, c.status) << r.err.toStdString();
        EXPECT_TRUE(r.out.contains(c.outHas)) << r.out.toStdString();
        EXPECT_TRUE(r.err.contains(c.errHas)) << r.err.toStdString();
        EXPECT_EQ(g.HowItLoads("welt", plain),
                  c.status || !c.write ? LoadsAs::Plain : LoadsAs::Encoded);
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
    ASSERT_TRUE(run.Run("welt", "welt.src", true));
    EXPECT_EQ(platform.messages.size(), 1);
    EXPECT_EQ(g.HowItLoads("welt", plain), LoadsAs::Encoded);
}

// Two programs on two MODs at the same moment, round after round: both
// backups are registered, none overwrites the other's entry.
TEST_F(ProgramRun, RunsSideBySideBothRegister) {
    constexpr int kRounds = 20;
    for (int round = 0; round < kRounds; ++round) {
        SCOPED_TRACE(round);
        GameFiles two;
        two.Write("game.ini", ModList({"a", "b"}));
        two.WriteMod("a", MakeMod());
        two.WriteMod("b", MakeMod());
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
        const QString ini = two.Path("game.ini");
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
