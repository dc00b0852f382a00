// The copy of a MOD's plain sources into a new MOD directory.
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

// The files below dir (relative), directories left out.
QStringList FilesBelow(const ModFixture& fx, const QString& dir) {
    QStringList files;
    for (const QString& rel : fx.Snapshot().keys()) {
        if (rel.startsWith(dir + '/') && !rel.endsWith('/'))
            files.append(rel.mid(dir.size() + 1));
    }
    return files;
}

TEST(Backup, CopiesWhatTheModNamesInTheLoggedOrder) {
    ScriptedPlatform platform;
    ModFixture fx;
    fx.WriteGameIni({"welt", "andere"});
    const auto plain = fx.AddMod(QStringLiteral("welt"), StandardMod());
    EngineRun run(fx);
    ASSERT_TRUE(run.Run(QStringLiteral("welt"), QStringLiteral("welt.src"), true));

    const QString d = fx.ModDir(QStringLiteral("welt.src"));
    const QStringList expected = {
        QStringLiteral("2 Mod(s) gefunden..."),
        QStringLiteral("MOD 'welt' ausgewählt"),
        QStringLiteral("Sichere dieses MOD im Verzeichnis 'welt.src'"),
        QStringLiteral("\r\nFange an mit dem Sichern\r\n"),
        QStringLiteral("Erstelle Pfad: ") + d,
        QStringLiteral("Kopiere Datei mod.ini"),
        QStringLiteral("Kopiere Datei config.ini"),
        QStringLiteral("Suche zu sichernde Dateien..."),
        QStringLiteral("Erstelle Pfad: ") + d + QStringLiteral("/sounds/"),
        QStringLiteral("Kopiere Datei sounds\\loop.mid"),
        QStringLiteral("Kopiere Datei shot.wav"),
        QStringLiteral("Suche zu sichernde Dateien..."),
        QStringLiteral("Kopiere Datei 1.ini"),
        QStringLiteral("Untersuche Hintergrund"),
        QStringLiteral("Erstelle Pfad: ") + d + QStringLiteral("/bilder/"),
        QStringLiteral("Kopiere Datei bilder\\wiese.bmp"),
        QStringLiteral("Erstelle Pfad: ") + d + QStringLiteral("/extras/"),
        QStringLiteral("Kopiere Datei extras\\ziel1.bmp"),
        QStringLiteral("Kopiere Datei ziel2.bmp"),
        QStringLiteral("Kopiere Datei 2.ini"),
        QStringLiteral("Untersuche Hintergrund"),
        QStringLiteral("Kopiere Datei ziel3.bmp"),
        QStringLiteral("\r\nSicherung abgeschlossen !!\r\n"),
        QStringLiteral("\r\nBeginne Verschlüsselung\r\n"),
        QStringLiteral("Veschlüssele mod.ini zu mod.cod"),
        QStringLiteral("Veschlüssele 1.ini zu 1.cod"),
        QStringLiteral("Veschlüssele 2.ini zu 2.cod"),
        QStringLiteral("Abschließende Konfigurationen werden durchgeführt\r\n"),
        QStringLiteral("FERTIG\r\n\r\n"),
    };
    EXPECT_EQ(run.sink.Lines(), expected);
    EXPECT_EQ(run.sink.progress,
              (QList<int>{5, 10, 15, 20, 25, 30, 35, 40, 45, 50, 60, 65, 70, 80, 100}));

    // The colour background's "datei" is not copied, its extra is.
    QStringList files = FilesBelow(fx, QStringLiteral("mods/welt.src"));
    files.sort();
    EXPECT_EQ(files,
              (QStringList{"1.ini", "2.ini", "bilder/wiese.bmp", "config.ini", "extras/ziel1.bmp",
                           "mod.ini", "shot.wav", "sounds/loop.mid", "ziel2.bmp", "ziel3.bmp"}));
    EXPECT_EQ(fx.ReadFile(QStringLiteral("mods/welt.src/mod.ini")), plain["mod"]);
    EXPECT_EQ(fx.ReadFile(QStringLiteral("mods/welt.src/2.ini")), plain["2"]);
    EXPECT_EQ(fx.ReadFile(QStringLiteral("mods/welt.src/sounds/loop.mid")),
              "media sounds\\loop.mid");
    // The copy stays plain and playable, and is registered as a further MOD.
    EXPECT_EQ(ReadIniText(fx.Path("mods/welt.src/config.ini"), "game", "type"), "");
    EXPECT_EQ(ReadIniText(fx.Path("game.ini"), "Mods", "ModAnzahl"), "3");
    EXPECT_EQ(ReadIniText(fx.Path("game.ini"), "Mods", "ModName3"), "welt.src");
    EXPECT_EQ(ReadIniText(fx.Path("game.ini"), "Spiel", "sound"), "mod");
    EXPECT_TRUE(platform.messages.isEmpty());
}

TEST(Backup, MissingModAnzahlRegistersTheCopyAsFirst) {
    ScriptedPlatform platform;
    ModFixture fx;
    fx.WriteGameIni({}, -1);
    fx.AddMod(QStringLiteral("welt"), StandardMod());
    EngineRun run(fx);
    ASSERT_TRUE(run.Run(QStringLiteral("welt"), QStringLiteral("kopie"), true));
    EXPECT_EQ(ReadIniText(fx.Path("game.ini"), "Mods", "ModAnzahl"), "1");
    EXPECT_EQ(ReadIniText(fx.Path("game.ini"), "Mods", "ModName1"), "kopie");
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

    // One question for each of the ten files copied the first time.
    ASSERT_EQ(platform.messages.size(), 10);
    for (const ShownMessage& m : platform.messages) {
        EXPECT_EQ(m.title, QStringLiteral("Fehler !"));
        EXPECT_EQ(m.text, kExistsText);
        EXPECT_EQ(m.buttons, MsgButtons::YesNoCancel);
    }
    // Yes replaced mod.ini; No kept the old config.ini and copied nothing else.
    EXPECT_EQ(fx.ReadFile(QStringLiteral("mods/welt.src/mod.ini")), plainAgain["mod"]);
    EXPECT_EQ(fx.ReadFile(QStringLiteral("mods/welt.src/config.ini")), "veraltet");
    const QStringList copied = second.sink.Lines().filter(QStringLiteral("Kopiere Datei"));
    EXPECT_EQ(copied, (QStringList{"Kopiere Datei mod.ini"}));
    // Each run registers the copy once more.
    EXPECT_EQ(ReadIniText(fx.Path("game.ini"), "Mods", "ModAnzahl"), "3");
    EXPECT_EQ(ReadIniText(fx.Path("game.ini"), "Mods", "ModName2"), "welt.src");
    EXPECT_EQ(ReadIniText(fx.Path("game.ini"), "Mods", "ModName3"), "welt.src");
}

TEST(Backup, CancelEndsBeforeAnythingIsEncoded) {
    ScriptedPlatform platform;
    ModFixture fx;
    fx.WriteGameIni({"welt"});
    const auto plain = fx.AddMod(QStringLiteral("welt"), StandardMod());
    fx.WriteFile(QStringLiteral("mods/welt.src/shot.wav"), "alt");
    const QByteArray gameIni = fx.ReadFile(QStringLiteral("game.ini"));
    platform.messageAnswers = {MsgResult::Cancel};

    EngineRun run(fx);
    EXPECT_FALSE(run.Run(QStringLiteral("welt"), QStringLiteral("welt.src"), true));
    ASSERT_EQ(platform.messages.size(), 1);
    EXPECT_EQ(platform.messages[0].text, kExistsText);
    ASSERT_EQ(platform.exits.size(), 1);
    EXPECT_NE(platform.exits[0], 0);
    // The files before it were copied; the MOD itself is untouched.
    EXPECT_TRUE(fx.Exists(QStringLiteral("mods/welt.src/sounds/loop.mid")));
    EXPECT_EQ(fx.ReadFile(QStringLiteral("mods/welt.src/shot.wav")), "alt");
    EXPECT_EQ(HowItLoads(fx, QStringLiteral("welt"), plain), LoadsAs::Plain);
    EXPECT_FALSE(fx.Exists(QStringLiteral("mods/welt/mod.cod")));
    EXPECT_EQ(fx.ReadFile(QStringLiteral("game.ini")), gameIni);
}

TEST(Backup, ProgressCounterIsNotLimited) {
    ScriptedPlatform platform;
    ModFixture fx;
    fx.WriteGameIni({"gross"});
    ModSpec spec;
    for (int u = 0; u < 10; ++u) {
        BackgroundSpec bg{"BMP", "bg" + QByteArray::number(u) + ".bmp", {}};
        for (int f = 0; f < 5; ++f)
            bg.extras.append({"e" + QByteArray::number(u) + QByteArray::number(f) + ".bmp"});
        spec.backgrounds.append(bg);
    }
    fx.AddMod(QStringLiteral("gross"), spec);
    EngineRun run(fx);
    ASSERT_TRUE(run.Run(QStringLiteral("gross"), QStringLiteral("gross.src"), true));
    // 10 backgrounds: 5 for each, 5 for its picture, 5 for each of 5 extras.
    const int fixed45 = run.sink.progress.lastIndexOf(45);
    ASSERT_GT(fixed45, 0);
    EXPECT_EQ(run.sink.progress[fixed45 - 1], 10 + 10 * 35);
    EXPECT_EQ(run.sink.progress.last(), 100);
}

}  // namespace
}  // namespace wf::test
