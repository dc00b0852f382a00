// The copy of a MOD's plain sources into a new MOD directory, and the run
// around it.
#include <gtest/gtest.h>

#include "IniAccess.h"
#include "ModFixture.h"
#include "RunHelpers.h"
#include "ScriptedPlatform.h"

namespace wf::test {
namespace {

const QString kExistsText = QStringLiteral(
    "Die zu kopierende Datei existiert schon im neuen Ordner. Wollen sie die Datei trotzdem "
    "kopieren ?? Sie können die Installation auch abbrechen.");

// The same MOD encoded with and without a backup: the log and progress of
// each, the files left behind, and the same .cod files either way.
TEST(Backup, LogProgressAndFilesWithAndWithoutBackup) {
    ScriptedPlatform platform;
    ModFixture fx[2];  // 0: without, 1: with backup
    QMap<QByteArray, QByteArray> plain;
    QByteArray gameIni;
    for (ModFixture& f : fx) {
        f.WriteGameIni({"welt", "andere"});
        plain = f.AddMod(QStringLiteral("welt"), StandardMod());
        gameIni = f.ReadFile(QStringLiteral("game.ini"));
    }
    const QString d = fx[1].ModDir(QStringLiteral("welt.src"));
    const QStringList head = {"2 Mod(s) gefunden...", "MOD 'welt' ausgewählt",
                              "Sichere dieses MOD im Verzeichnis 'welt.src'"};
    const QStringList backup = {"\r\nFange an mit dem Sichern\r\n",
                                "Erstelle Pfad: " + d,
                                "Kopiere Datei mod.ini",
                                "Kopiere Datei config.ini",
                                "Suche zu sichernde Dateien...",
                                "Erstelle Pfad: " + d + "/sounds/",
                                "Kopiere Datei sounds\\loop.mid",
                                "Kopiere Datei shot.wav",
                                "Suche zu sichernde Dateien...",
                                "Kopiere Datei 1.ini",
                                "Untersuche Hintergrund",
                                "Erstelle Pfad: " + d + "/bilder/",
                                "Kopiere Datei bilder\\wiese.bmp",
                                "Erstelle Pfad: " + d + "/extras/",
                                "Kopiere Datei extras\\ziel1.bmp",
                                "Kopiere Datei ziel2.bmp",
                                "Kopiere Datei 2.ini",
                                "Untersuche Hintergrund",
                                "Kopiere Datei ziel3.bmp",
                                "\r\nSicherung abgeschlossen !!\r\n"};
    const QStringList encoding = {"\r\nBeginne Verschlüsselung\r\n",
                                  "Veschlüssele mod.ini zu mod.cod",
                                  "Veschlüssele 1.ini zu 1.cod",
                                  "Veschlüssele 2.ini zu 2.cod",
                                  "Abschließende Konfigurationen werden durchgeführt\r\n",
                                  "FERTIG\r\n\r\n"};
    for (const bool withBackup : {false, true}) {
        SCOPED_TRACE(withBackup ? "with backup" : "without backup");
        ModFixture& f = fx[withBackup];
        EngineRun run(f);
        ASSERT_TRUE(run.Run(QStringLiteral("welt"), QStringLiteral("welt.src"), withBackup));
        EXPECT_EQ(run.sink.Lines(), head + (withBackup ? backup : QStringList()) + encoding);
        const QList<int> progress =
            withBackup ? QList<int>{5, 10, 15, 20, 25, 30, 35, 40, 45, 50, 60, 65, 70, 80, 100}
                       : QList<int>{5, 50, 60, 65, 70, 80, 100};
        EXPECT_EQ(run.sink.progress, progress);
        // Every entry is CR LF + line, and the log is their sum.
        EXPECT_EQ(run.engine.Log(), run.sink.entries.join(QString()));
        EXPECT_TRUE(run.engine.Log().startsWith(QStringLiteral("\r\n2 Mod(s)")));
        EXPECT_EQ(HowItLoads(f, QStringLiteral("welt"), plain), LoadsAs::Encoded);
        for (const char* gone : {"mod.ini", "1.ini", "2.ini"})
            EXPECT_FALSE(f.Exists(QStringLiteral("mods/welt/") + gone)) << gone;
        // config.ini keeps its other keys.
        EXPECT_EQ(ReadIniText(f.Path("mods/welt/config.ini"), "game", "sound"), "yes");
        EXPECT_TRUE(platform.messages.isEmpty());
    }
    for (const char* cod : {"mods/welt/mod.cod", "mods/welt/1.cod", "mods/welt/2.cod"})
        EXPECT_EQ(fx[1].ReadFile(QString::fromLatin1(cod)),
                  fx[0].ReadFile(QString::fromLatin1(cod)));
    EXPECT_FALSE(fx[0].Exists(QStringLiteral("mods/welt.src")));
    EXPECT_EQ(fx[0].ReadFile(QStringLiteral("game.ini")), gameIni);

    // The colour background's "datei" is not copied, its extra is.
    QStringList files;
    for (const QString& rel : fx[1].Snapshot().keys()) {
        if (rel.startsWith(QStringLiteral("mods/welt.src/")) && !rel.endsWith('/'))
            files.append(rel.mid(14));
    }
    EXPECT_EQ(files,
              (QStringList{"1.ini", "2.ini", "bilder/wiese.bmp", "config.ini", "extras/ziel1.bmp",
                           "mod.ini", "shot.wav", "sounds/loop.mid", "ziel2.bmp", "ziel3.bmp"}));
    EXPECT_EQ(fx[1].ReadFile(QStringLiteral("mods/welt.src/mod.ini")), plain["mod"]);
    EXPECT_EQ(fx[1].ReadFile(QStringLiteral("mods/welt.src/sounds/loop.mid")),
              "media sounds\\loop.mid");
    // The copy stays plain and playable, and is registered as a further MOD.
    EXPECT_EQ(ReadIniText(fx[1].Path("mods/welt.src/config.ini"), "game", "type"), "");
    EXPECT_EQ(ReadIniText(fx[1].Path("game.ini"), "Mods", "ModAnzahl"), "3");
    EXPECT_EQ(ReadIniText(fx[1].Path("game.ini"), "Mods", "ModName3"), "welt.src");
}

TEST(Backup, SecondRunAsksOncePerExistingFile) {
    ScriptedPlatform platform;
    ModFixture fx;
    fx.WriteGameIni({"welt"});
    fx.AddMod(QStringLiteral("welt"), StandardMod());
    {
        EngineRun first(fx);
        ASSERT_TRUE(first.Run(QStringLiteral("welt"), QStringLiteral("welt.src"), true));
    }
    ASSERT_TRUE(platform.messages.isEmpty());

    // The author makes the MOD plain again and publishes it once more.
    const auto plainAgain = fx.AddMod(QStringLiteral("welt"), StandardMod());
    fx.WriteFile(QStringLiteral("mods/welt.src/mod.ini"), "veraltet");
    fx.WriteFile(QStringLiteral("mods/welt.src/config.ini"), "veraltet");
    platform.messageAnswers = {MsgResult::Yes};
    for (int i = 0; i < 20; ++i)
        platform.messageAnswers.push_back(MsgResult::No);
    EngineRun second(fx);
    ASSERT_TRUE(second.Run(QStringLiteral("welt"), QStringLiteral("welt.src"), true));

    // One question for each of the ten files copied the first time, naming
    // the file on a line of its own.
    QStringList asked;
    for (const ShownMessage& m : platform.messages) {
        EXPECT_EQ(m.title, QStringLiteral("Fehler !"));
        EXPECT_TRUE(m.text.startsWith(kExistsText + '\n')) << m.text.toStdString();
        asked.append(m.text.mid(kExistsText.size() + 1));
        EXPECT_EQ(m.buttons, MsgButtons::YesNoCancel);
    }
    EXPECT_EQ(asked, (QStringList{"mod.ini", "config.ini", "sounds\\loop.mid", "shot.wav", "1.ini",
                                  "bilder\\wiese.bmp", "extras\\ziel1.bmp", "ziel2.bmp", "2.ini",
                                  "ziel3.bmp"}));
    // Yes replaced mod.ini; No kept the old config.ini and copied nothing else.
    EXPECT_EQ(fx.ReadFile(QStringLiteral("mods/welt.src/mod.ini")), plainAgain["mod"]);
    EXPECT_EQ(fx.ReadFile(QStringLiteral("mods/welt.src/config.ini")), "veraltet");
    const QStringList copied = second.sink.Lines().filter(QStringLiteral("Kopiere Datei"));
    EXPECT_EQ(copied, (QStringList{"Kopiere Datei mod.ini"}));
    // Each run registers the copy once more.
    EXPECT_EQ(ReadIniText(fx.Path("game.ini"), "Mods", "ModAnzahl"), "3");
    EXPECT_EQ(ReadIniText(fx.Path("game.ini"), "Mods", "ModName3"), "welt.src");
}

// Cancel at the question ends the run: nothing copied before it stays, and
// the backup directory it made is gone again.
TEST(Backup, CancelChangesNothing) {
    ScriptedPlatform platform;
    ModFixture fx;
    fx.WriteGameIni({"welt"});
    fx.AddMod(QStringLiteral("welt"), StandardMod());
    fx.WriteFile(QStringLiteral("mods/welt.src/shot.wav"), "alt");
    const auto before = fx.Snapshot();
    platform.messageAnswers = {MsgResult::Cancel};

    EngineRun run(fx);
    EXPECT_FALSE(run.Run(QStringLiteral("welt"), QStringLiteral("welt.src"), true));
    ASSERT_EQ(platform.messages.size(), 1);
    EXPECT_EQ(platform.exits, QList<int>{1});
    EXPECT_EQ(fx.Snapshot(), before);
}

// Also: without "ModAnzahl" the copy is registered as the first MOD.
TEST(Backup, ProgressCounterIsNotLimited) {
    ScriptedPlatform platform;
    ModFixture fx;
    fx.WriteGameIni({}, -1);
    ModLayout layout;
    for (int u = 0; u < 10; ++u) {
        BackgroundLayout bg{"BMP", "bg" + QByteArray::number(u) + ".bmp", {}};
        for (int f = 0; f < 5; ++f)
            bg.extras.append({"e" + QByteArray::number(u) + QByteArray::number(f) + ".bmp"});
        layout.backgrounds.append(bg);
    }
    fx.AddMod(QStringLiteral("gross"), layout);
    EngineRun run(fx);
    ASSERT_TRUE(run.Run(QStringLiteral("gross"), QStringLiteral("gross.src"), true));
    // 10 backgrounds: 5 for each, 5 for its picture, 5 for each of 5 extras.
    const int fixed45 = run.sink.progress.lastIndexOf(45);
    ASSERT_GT(fixed45, 0);
    EXPECT_EQ(run.sink.progress[fixed45 - 1], 10 + 10 * 35);
    EXPECT_EQ(ReadIniText(fx.Path("game.ini"), "Mods", "ModAnzahl"), "1");
    EXPECT_EQ(ReadIniText(fx.Path("game.ini"), "Mods", "ModName1"), "gross.src");
}

}  // namespace
}  // namespace wf::test
