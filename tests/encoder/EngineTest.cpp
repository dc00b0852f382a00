// The engine and the built program: finding the MODs, the run's log and
// progress, the files it writes, exit status, and programs side by side.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <QProcess>
#include <QStandardPaths>
#include <QThread>
#include <algorithm>
#include <functional>
#include <utility>

#include <QDateTime>
#include <QRegularExpression>

#include "EncoderRun.h"
#include "IniAccess.h"
#include "Text8.h"
#include "TextCipher.h"

namespace wf::test {
namespace {

TEST(Discovery, NamesAndTypesInGameIniOrder) {
    ScriptedPlatform platform;
    GameFiles g;
    InstallWelt(g, {"welt", "Geheim", "fehlt", "../draussen", ""});
    ModDraft encoded = MakeMod();
    encoded.encoded = true;
    // The directory differs in case from game.ini, as on the authors' systems.
    g.WriteMod("geheim", encoded);
    // A config.ini that a climbing name would reach must not be read.
    g.Write("draussen/config.ini", "[game]\r\ntype=code\r\n");
    EngineRun run(g);
    Engine& engine = run.engine;
    engine.ReadModList();
    EXPECT_EQ(engine.ModNames(), (Lines{"welt", "Geheim", "fehlt", "../draussen", ""}));
    EXPECT_EQ(engine.ModTypes(), (Lines{"", "code", "", "", ""}));
    // "ModAnzahl" decides, not the names present; up to 99 are handled.
    g.Write("game.ini", ModList({"a"}, false) + Lines{"ModAnzahl=99"});
    engine.ReadModList();
    EXPECT_EQ(engine.ModNames().size(), 99);
    EXPECT_EQ(engine.ModNames().value(0), "a");
}

// The exact log and progress, and the files left, with and without backup.
TEST(Run, LogProgressAndFilesWithAndWithoutBackup) {
    ScriptedPlatform platform;
    GameFiles g[2];  // without, with backup
    QMap<QByteArray, QByteArray> plain;
    for (const GameFiles& f : g)
        plain = InstallWelt(f, {"welt", "andere"});
    const QByteArray gameIni = g[0].Read("game.ini");
    const auto source = g[1].Snapshot();
    const std::vector<int> progress[2] = {
        {5, 50, 60, 65, 70, 80, 100}, {5, 10, 15, 20, 25, 30, 35, 40, 45, 50, 60, 65, 70, 80, 100}};
    // The log's lines, '|' between them.
    const QString log[] = {
        "2 Mod(s) gefunden...|MOD 'welt' ausgewählt|Sichere dieses MOD im Verzeichnis 'welt.src'",
        QStringLiteral(
            "\r\nFange an mit dem Sichern\r\n|Erstelle Pfad: %1|Kopiere Datei mod.ini|Kopiere "
            "Datei config.ini|Suche zu sichernde Dateien...|Erstelle Pfad: %1/sounds/|Kopiere "
            "Datei sounds\\musik.mid|Kopiere Datei schuss.wav|Suche zu sichernde Dateien...|"
            "Kopiere Datei 1.ini|Untersuche Hintergrund|Erstelle Pfad: %1/bilder/|Kopiere Datei "
            "bilder\\hg1.png|Erstelle Pfad: %1/extras/|Kopiere Datei extras\\e1_1.png|Kopiere "
            "Datei extras\\e1_2.png|Kopiere Datei 2.ini|Untersuche Hintergrund|Kopiere Datei "
            "extras\\e2_1.png|Kopiere Datei bilder\\hg2.png|\r\nSicherung abgeschlossen !!\r\n|11 "
            "Dateien nach 'welt.src' gesichert, 1 davon nennt keine Definitionsdatei (etwa "
            "hd-Bilder); in game.ini als ModName3 eingetragen.|")
            .arg(g[1].ModPath("welt.src")),
        "\r\nBeginne Verschlüsselung\r\n|Veschlüssele mod.ini zu mod.cod|Veschlüssele 1.ini zu "
        "1.cod|Veschlüssele 2.ini zu 2.cod|Abschließende Konfigurationen werden "
        "durchgeführt\r\n|FERTIG\r\n\r\n"};
    for (const bool withBackup : {false, true}) {
        SCOPED_TRACE(withBackup ? "with backup" : "without backup");
        const GameFiles& f = g[withBackup];
        EngineRun run(f);
        ASSERT_TRUE(run.Run("welt", "welt.src", withBackup));
        const QString lines = log[0] + '|' + (withBackup ? log[1] : QString()) + log[2];
        EXPECT_EQ(run.engine.Log(), "\r\n" + QString(lines).replace('|', "\r\n"));
        EXPECT_EQ(run.progress, progress[withBackup]);
        EXPECT_EQ(f.HowItLoads("welt", plain), LoadsAs::Encoded);
        for (const char* gone : {"mods/welt/mod.ini", "mods/welt/1.ini", "mods/welt/2.ini"})
            EXPECT_FALSE(f.Exists(gone)) << gone;
        EXPECT_EQ(ReadIniText(f.ModPath("welt") + "/config.ini", "game", "sound"), "yes");
    }
    EXPECT_TRUE(g[0].Read("game.ini") == gameIni && !g[0].Exists("mods/welt.src"));
    // The copy: all of the MOD's files.
    QStringList copied;
    const auto after = g[1].Snapshot();
    for (auto it = after.cbegin(); it != after.cend(); ++it) {
        if (it.key().startsWith("mods/welt.src/") && !it.key().endsWith('/')) {
            copied.append(it.key().mid(14));
            EXPECT_EQ(it.value(), source.value("mods/welt/" + copied.last()));
        }
    }
    EXPECT_EQ(copied.join(' '),
              "1.ini 2.ini bilder/hg1.png bilder/hg2.png config.ini extras/e1_1.png "
              "extras/e1_2.png extras/e2_1.png mod.ini schuss.wav "
              "sounds/musik.mid");
    EXPECT_EQ(GameIniValue(g[1], "ModAnzahl"), "3");
    EXPECT_EQ(GameIniValue(g[1], "ModName3"), "welt.src");
    EXPECT_TRUE(platform.messages.isEmpty());
}

// Each .cod line, 3 digits a character, decodes to its plain line, whatever
// the line ends; file names are found whatever their case.
TEST(Run, EncodeThenDecodeGivesTheLinesBack) {
    QByteArray allCodes;
    for (int c = 1; c < 255; ++c) {  // 255 is 0 in the cipher's arithmetic
        if (c != '\n' && c != '\r')
            allCodes += static_cast<char>(c);
    }
    const struct {
        const char* file;
        QByteArray content;
        Lines lines;
    } cases[] = {
        {"mod.ini", "[A]\r\n" + allCodes + "\r\nx=1\r\n", {"[A]", allCodes, "x=1"}},
        {"MOD.INI", "[H]\nAnzahl=0\n", {"[H]", "Anzahl=0"}},
        {"Mod.ini", "[H]\r\nAnzahl=0", {"[H]", "Anzahl=0"}},
        {"mod.ini", "[H]\r\n\r\n\r\nAnzahl=0\r\n", {"[H]", "", "", "Anzahl=0"}},
        {"mod.ini", "", {""}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.content.left(20).toStdString());
        ScriptedPlatform platform;
        GameFiles g;
        g.Write("game.ini", ModList({"m"}));
        g.Write(QStringLiteral("mods/m/") + c.file, c.content);
        g.Write("mods/m/Config.ini", Lines{"[game]", "sound=yes"});
        ASSERT_TRUE(EngineRun(g).Run("m", QString(), false));
        Lines decoded;
        for (const QByteArray& line : g.Read("mods/m/mod.cod").split('\n')) {
            const QByteArray code = line.chopped(line.endsWith('\r') ? 1 : 0);
            ASSERT_EQ(code.size() % 3, 0) << code.data();
            decoded.append(DecodeText(code, kModKey, true));
        }
        EXPECT_EQ(decoded, c.lines + Lines{""});
        EXPECT_EQ(g.Snapshot().keys().join(' '),
                  "game.ini mods/ mods/m/ mods/m/Config.ini mods/m/mod.cod");
        EXPECT_EQ(ReadIniText(g.Path("mods/m/Config.ini"), "game", "type"), "code");
    }
}

// A second backup asks once per existing file: Yes replaces it, No keeps it,
// Cancel ends the run with nothing changed.
TEST(Run, SecondBackupAsksOncePerExistingFile) {
    const QString exists = QStringLiteral(
        "Die zu kopierende Datei existiert schon im neuen Ordner. Wollen sie die Datei trotzdem "
        "kopieren ?? Sie können die Installation auch abbrechen.\n");
    ScriptedPlatform platform;
    GameFiles g;
    InstallWelt(g);
    ASSERT_TRUE(EngineRun(g).Run("welt", "welt.src", true));
    // The author makes the MOD plain again and publishes it once more.
    const auto plain = g.WriteMod("welt", MakeMod());
    g.Write("mods/welt.src/mod.ini", "veraltet");
    g.Write("mods/welt.src/config.ini", "veraltet");
    auto before = g.Snapshot();
    platform.messageAnswers = {MsgResult::Yes, MsgResult::Cancel};
    EXPECT_FALSE(EngineRun(g).Run("welt", "welt.src", true));
    EXPECT_EQ(platform.exits, QList<int>{1});
    EXPECT_EQ(Differences(before, g.Snapshot()), "");

    platform.messages.clear();
    platform.messageAnswers = {MsgResult::Yes};
    platform.messageAnswers.resize(20, MsgResult::No);
    EngineRun second(g);
    ASSERT_TRUE(second.Run("welt", "welt.src", true));
    EXPECT_EQ(second.engine.Log().count("Kopiere Datei"), 1);
    QStringList asked;
    for (const ShownMessage& m : platform.messages) {
        EXPECT_EQ(m.title, "Fehler !");
        EXPECT_EQ(m.buttons, MsgButtons::YesNoCancel);
        EXPECT_TRUE(m.text.startsWith(exists)) << m.text.toStdString();
        asked.append(m.text.mid(exists.size()));
    }
    EXPECT_EQ(asked.join(' '),
              "mod.ini config.ini sounds\\musik.mid schuss.wav 1.ini "
              "bilder\\hg1.png extras\\e1_1.png extras\\e1_2.png 2.ini "
              "extras\\e2_1.png bilder\\hg2.png");
    EXPECT_EQ(g.Read("mods/welt.src/mod.ini"), plain["mod"]);
    EXPECT_EQ(g.Read("mods/welt.src/config.ini"), "veraltet");
    EXPECT_EQ(GameIniValue(g, "ModAnzahl"), "3");
    EXPECT_EQ(GameIniValue(g, "ModName3"), "welt.src");
}

QStringList HiddenFiles(const GameFiles& g) {
    return QStringList(g.Snapshot().keys()).filter(QRegularExpression("(^|/)\\."));
}

class ProgramRun : public ::testing::Test {
  protected:
    void SetUp() override { plain = InstallWelt(g); }
    GameFiles g;
    QMap<QByteArray, QByteArray> plain;
};

// 0 done (log on stdout), 1 refused (nothing changed), 2 a wrong command line.
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
        if (c.status) {
            EXPECT_EQ(Differences(before, g.Snapshot()), "");
        }
    }
    EXPECT_EQ(g.Read("mods/welt.src/mod.ini"), plain["mod"]);
    EXPECT_FALSE(g.Exists("mods/.welt.lock"));
}

// A run waiting at its question holds its MOD and backup: others are refused.
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
            // The message names the lock and who holds it: this process.
            EXPECT_TRUE(
                r.err.contains(QStringLiteral("(Sperre 'mods/.%1.lock': Rechner ").arg(busy)) &&
                r.err.contains(QStringLiteral(", Prozess %1, seit ").arg(::getpid())))
                << r.err.toStdString();
        }
        EXPECT_EQ(Differences(before, g.Snapshot()), "");
    };
    ASSERT_TRUE(EngineRun(g).Run("welt", "welt.src", true));
    EXPECT_EQ(platform.messages.size(), 1);
    EXPECT_EQ(g.HowItLoads("welt", plain), LoadsAs::Encoded);
}

// Two programs at the same moment: neither loses the other's registration.
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

// What a lock file, a MOD name or a definition file can be: the program takes
// over what it can, refuses the rest naming the file, and never hangs.
TEST(Hostile, LocksNamesAndSizes) {
    const QString notPlain = "Die Sperrdatei '%1' ist keine gewöhnliche Datei";
    const auto plant = [](const char* lock, std::function<bool(const QByteArray&)> make) {
        return [=](const GameFiles& g) { ASSERT_TRUE(make(QFile::encodeName(g.Path(lock)))); };
    };
    const auto fifo = [](const QByteArray& p) { return ::mkfifo(p.constData(), 0644) == 0; };
    const auto zero = [](const QByteArray& p) {
        return ::symlink("/dev/zero", p.constData()) == 0;
    };
    const auto climbing = [](const QByteArray& p) {
        QFile f(QFile::decodeName(p));
        return f.open(QIODevice::WriteOnly) && f.write("modsiegel-journal 1\ndrop .. game.ini\n");
    };
    const QString journal =
        "Das Protokoll 'mods/.welt.journal' eines unterbrochenen Laufs ist "
        "nicht lesbar oder nicht von modsiegel";
    const auto stale = [](const QByteArray& p) {
        // What a run killed on another machine a month ago leaves.
        QFile f(QFile::decodeName(p));
        return f.open(QIODevice::WriteOnly) && f.write("4711\nmodsiegel\nanderer-rechner\n") &&
               f.setFileTime(QDateTime::currentDateTime().addDays(-30),
                             QFileDevice::FileModificationTime);
    };
    const QString named[] = {QString(255, 'w'), QString(125, QChar(0xe4))};  // 250 in UTF-8
    const auto rename = [](const QString& to) {
        return [to](const GameFiles& g) {
            ASSERT_TRUE(QDir().rename(g.ModPath("welt"), g.ModPath(to)));
            g.Write("game.ini", ModList({ToText8(to)}));
        };
    };
    const auto huge = [](const GameFiles& g) {
        // 11.5 MB that seal to 34.6 MB, beyond the 32 MiB the game reads.
        g.Write("mods/welt/1.ini",
                g.Read("mods/welt/1.ini") + (QByteArray(98, ';') + "\r\n").repeated(115000));
    };
    const struct {
        const char* what;
        std::function<void(const GameFiles&)> prepare;
        int status;
        QString says;
        QString mod = "welt";
        QStringList more = {};
    } cases[] = {
        {"FIFO", plant("mods/.welt.lock", fifo), 1, notPlain.arg("mods/.welt.lock")},
        {"link to /dev/zero", plant("mods/.welt.lock", zero), 1, notPlain.arg("mods/.welt.lock")},
        {"game.ini's a FIFO",
         plant(".game.ini.lock", fifo),
         1,
         notPlain.arg(".game.ini.lock"),
         "welt",
         {"--backup", "welt.src"}},
        {"stale", plant("mods/.welt.lock", stale), 0, "FERTIG"},
        {"journal a FIFO", plant("mods/.welt.journal", fifo), 1, journal},
        {"journal leading out", plant("mods/.welt.journal", climbing), 1, journal},
        {"255 bytes", rename(named[0]), 0, "FERTIG", named[0]},
        {"250 bytes in UTF-8", rename(named[1]), 0, "FERTIG", named[1]},
        {"11.5 MB", huge, 1, "'1.ini' des MODs 'welt' würde als '1.cod' 34."},
        {"11.5 MB: the limit", huge, 1, "liest höchstens 33.554.432 Bytes (32 MiB)"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        GameFiles g;
        InstallWelt(g);
        c.prepare(g);
        const auto before = g.Snapshot();
        const Result r = Modsiegel(QStringList{"--encode", c.mod, "--game-dir", g.Path()} + c.more);
        EXPECT_EQ(r.exitCode, c.status) << r.err.toStdString();
        EXPECT_TRUE((c.status ? r.err : r.out).contains(c.says)) << (r.out + r.err).toStdString();
        if (c.status)
            EXPECT_EQ(Differences(before, g.Snapshot()), "");
        else
            EXPECT_EQ(HiddenFiles(g), QStringList());
    }
}

// Killed before its k-th change of each kind, then run again the same way:
// the MOD loads at every moment, and the second run completes the first,
// backup (all of it) and registration once included.
TEST(Hostile, KilledAtEveryChangeTheSameCommandFinishes) {
    const QString strace = QStandardPaths::findExecutable("strace");
    if (strace.isEmpty())
        GTEST_SKIP() << "strace is missing (tools/setup.sh installs it)";
    int kills = 0;
    for (const QString call : {"mkdirat", "renameat", "unlinkat"}) {
        for (int k = 1;; ++k, ++kills) {
            SCOPED_TRACE((call + ' ' + QString::number(k)).toStdString());
            GameFiles g;
            const auto plain = InstallWelt(g);
            g.Write("mods/welt/bilder/hd/hg1.png", "hd");
            const QStringList args{"--encode", "welt",       "--backup",
                                   "welt.src", "--game-dir", g.Path()};
            const Result killed = Modsiegel(
                args, {strace, "-f", "-qq", "-o", "/dev/null", "-e", "trace=" + call, "-e",
                       "inject=" + call + ":signal=KILL:when=" + QString::number(k)});
            EXPECT_NE(g.HowItLoads("welt", plain), LoadsAs::Broken);
            // A run that got past its last such call ends on its own; it
            // must then have succeeded, else the loop would never end.
            if (killed.exitCode != -2) {
                EXPECT_EQ(killed.exitCode, 0) << killed.err.toStdString();
                break;
            }
            ASSERT_LT(k, 100) << "killed at every one of 100 calls";
            const Result again = Modsiegel(args);
            ASSERT_EQ(again.exitCode, 0) << again.err.toStdString();
            EXPECT_EQ(g.HowItLoads("welt", plain), LoadsAs::Encoded);
            EXPECT_EQ(g.HowItLoads("welt.src", plain), LoadsAs::Plain);
            EXPECT_EQ(g.Read("mods/welt.src/bilder/hd/hg1.png"), "hd");
            EXPECT_EQ(g.Read("game.ini"), Join(ModList({"welt", "welt.src"})));
            EXPECT_FALSE(g.Exists("mods/welt/mod.ini") || g.Exists("mods/welt/2.ini"));
            EXPECT_EQ(HiddenFiles(g), QStringList());
        }
    }
    EXPECT_GT(kills, 20);
}

// The MOD's folder swapped for a link to a copy elsewhere while the program
// waits after it found and checked it (strace holds its first folder
// listing): the run goes on in the folder it found, nothing outside changes.
TEST(Hostile, AModFolderSwappedForALinkIsNotFollowed) {
    const QString strace = QStandardPaths::findExecutable("strace");
    if (strace.isEmpty())
        GTEST_SKIP() << "strace is missing (tools/setup.sh installs it)";
    QTemporaryDir outside;
    GameFiles g;
    const auto plain = InstallWelt(g);
    ASSERT_EQ(QProcess::execute("cp", {"-r", g.ModPath("welt"), outside.path()}), 0);
    const auto before = GameFiles::SnapshotOf(outside.path());
    QProcess run;
    run.start(strace, {"-f", "-qq", "-o", "/dev/null", "-e", "trace=getdents64", "-e",
                       "inject=getdents64:delay_enter=1500000:when=1", MODSIEGEL_BINARY, "--encode",
                       "welt", "--game-dir", g.Path()});
    QThread::msleep(700);
    ASSERT_TRUE(QDir().rename(g.ModPath("welt"), g.ModPath("echt")) &&
                QFile::link(outside.path() + "/welt", g.ModPath("welt")));
    ASSERT_TRUE(run.waitForFinished(30000));
    EXPECT_EQ(Differences(before, GameFiles::SnapshotOf(outside.path())), "");
    EXPECT_EQ(g.HowItLoads("echt", plain), LoadsAs::Encoded);
}

}  // namespace
}  // namespace wf::test
