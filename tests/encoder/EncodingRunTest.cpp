// The encoding run: its log and progress, the files it writes and what the
// game reads from them.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <functional>

#include "IniAccess.h"
#include "ModFixture.h"
#include "RunHelpers.h"
#include "ScriptedPlatform.h"
#include "TextCipher.h"

namespace wf::test {
namespace {

TEST(EncodingRun, LogProgressAndFilesWithoutBackup) {
    ScriptedPlatform platform;
    ModFixture fx;
    fx.WriteGameIni({"welt"});
    const auto plain = fx.AddMod(QStringLiteral("welt"), StandardMod());
    const QByteArray gameIni = fx.ReadFile(QStringLiteral("game.ini"));
    EngineRun run(fx);
    ASSERT_TRUE(run.Run(QStringLiteral("welt"), QStringLiteral("welt.src"), false));

    EXPECT_EQ(run.sink.Lines(),
              (QStringList{
                  QStringLiteral("1 Mod(s) gefunden..."),
                  QStringLiteral("MOD 'welt' ausgewählt"),
                  QStringLiteral("Sichere dieses MOD im Verzeichnis 'welt.src'"),
                  QStringLiteral("\r\nBeginne Verschlüsselung\r\n"),
                  QStringLiteral("Veschlüssele mod.ini zu mod.cod"),
                  QStringLiteral("Veschlüssele 1.ini zu 1.cod"),
                  QStringLiteral("Veschlüssele 2.ini zu 2.cod"),
                  QStringLiteral("Abschließende Konfigurationen werden durchgeführt\r\n"),
                  QStringLiteral("FERTIG\r\n\r\n"),
              }));
    EXPECT_EQ(run.sink.progress, (QList<int>{5, 50, 60, 65, 70, 80, 100}));
    // Every entry is CR LF + line, and the log is their sum.
    EXPECT_EQ(run.engine.Log(), run.sink.entries.join(QString()));
    EXPECT_TRUE(run.engine.Log().startsWith(QStringLiteral("\r\n1 Mod(s)")));

    EXPECT_EQ(HowItLoads(fx, QStringLiteral("welt"), plain), LoadsAs::Encoded);
    for (const char* gone : {"mod.ini", "1.ini", "2.ini"})
        EXPECT_FALSE(fx.Exists(QStringLiteral("mods/welt/") + gone)) << gone;
    // config.ini keeps its other keys and stays plain.
    EXPECT_EQ(ReadIniText(fx.Path("mods/welt/config.ini"), "game", "sound"), "yes");
    EXPECT_FALSE(fx.Exists(QStringLiteral("mods/welt.src")));
    EXPECT_EQ(fx.ReadFile(QStringLiteral("game.ini")), gameIni);
    EXPECT_TRUE(platform.messages.isEmpty());
}

TEST(EncodingRun, BackupDoesNotChangeTheEncodedFiles) {
    ScriptedPlatform platform;
    ModFixture withBackup;
    ModFixture without;
    for (ModFixture* fx : {&withBackup, &without}) {
        fx->WriteGameIni({"welt"});
        fx->AddMod(QStringLiteral("welt"), StandardMod());
    }
    EngineRun a(withBackup);
    ASSERT_TRUE(a.Run(QStringLiteral("welt"), QStringLiteral("welt.src"), true));
    EngineRun b(without);
    ASSERT_TRUE(b.Run(QStringLiteral("welt"), QStringLiteral("welt.src"), false));
    for (const char* cod : {"mods/welt/mod.cod", "mods/welt/1.cod", "mods/welt/2.cod"}) {
        SCOPED_TRACE(cod);
        EXPECT_FALSE(without.ReadFile(QString::fromLatin1(cod)).isEmpty());
        EXPECT_EQ(withBackup.ReadFile(QString::fromLatin1(cod)),
                  without.ReadFile(QString::fromLatin1(cod)));
    }
}

// Each line of a .cod file is 3 digits per plain character, every group
// 001..255, and decodes to its plain line; the key restarts every line.
TEST(EncodingRun, EachLineIsCipheredOnItsOwn) {
    QByteArray allCodes;
    for (int c = 1; c < 255; ++c) {
        if (c != '\n' && c != '\r')
            allCodes += static_cast<char>(c);
    }
    const QList<QByteArray> lines = {
        "[Allgemein]",
        "Name=Zwei Zeilen die sich nur im letzten Zeichen unterscheidenA",
        "Name=Zwei Zeilen die sich nur im letzten Zeichen unterscheidenB",
        "",
        allCodes,
        "[Hintergrund]",
        "Anzahl=0",
    };
    QByteArray content;
    for (const QByteArray& l : lines)
        content += l + "\r\n";

    ScriptedPlatform platform;
    ModFixture fx;
    fx.WriteGameIni({"zeilen"});
    fx.WriteFile(QStringLiteral("mods/zeilen/mod.ini"), content);
    EngineRun run(fx);
    ASSERT_TRUE(run.Run(QStringLiteral("zeilen"), QString(), false));

    const QByteArray cod = fx.ReadFile(QStringLiteral("mods/zeilen/mod.cod"));
    ASSERT_TRUE(cod.endsWith("\r\n"));
    const QList<QByteArray> codLines = cod.left(cod.size() - 2).split('\n');
    ASSERT_EQ(codLines.size(), lines.size());
    for (int i = 0; i < lines.size(); ++i) {
        SCOPED_TRACE(i);
        ASSERT_TRUE(i == lines.size() - 1 || codLines[i].endsWith('\r'));
        const QByteArray digits = i == lines.size() - 1 ? codLines[i] : codLines[i].chopped(1);
        ASSERT_EQ(digits.size(), 3 * lines[i].size());
        for (int g = 0; g < digits.size(); g += 3) {
            bool ok = false;
            const int code = digits.mid(g, 3).toInt(&ok);
            ASSERT_TRUE(ok) << digits.mid(g, 3).constData();
            EXPECT_GE(code, 1);
            EXPECT_LE(code, 255);
        }
        EXPECT_EQ(DecodeText(digits, QByteArray(kModKey), true), lines[i]);
    }
    // The first group already depends on the last character.
    EXPECT_NE(codLines[1].left(3), codLines[2].left(3));
}

TEST(EncodingRun, LineEndsOfThePlainFileDoNotMatter) {
    struct Case {
        const char* what;
        QByteArray content;
        QByteArray decoded;  // lines joined by CR LF after each
    };
    const Case cases[] = {
        {"LF only", "[Hintergrund]\nAnzahl=0\n", "[Hintergrund]\r\nAnzahl=0\r\n"},
        {"no final line end", "[Hintergrund]\r\nAnzahl=0", "[Hintergrund]\r\nAnzahl=0\r\n"},
        {"blank lines kept", "[Hintergrund]\r\n\r\n\r\nAnzahl=0\r\n",
         "[Hintergrund]\r\n\r\n\r\nAnzahl=0\r\n"},
        {"empty file: one empty line", "", "\r\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ScriptedPlatform platform;
        ModFixture fx;
        fx.WriteGameIni({"m"});
        fx.WriteFile(QStringLiteral("mods/m/mod.ini"), c.content);
        EngineRun run(fx);
        ASSERT_TRUE(run.Run(QStringLiteral("m"), QString(), false));
        EXPECT_EQ(DecodeCodFile(fx.ReadFile(QStringLiteral("mods/m/mod.cod"))), c.decoded);
    }
}

TEST(EncodingRun, PlainFilesAreFoundWithoutRegardToCase) {
    ScriptedPlatform platform;
    ModFixture fx;
    fx.WriteGameIni({"Welt"});
    fx.WriteFile(QStringLiteral("mods/welt/MOD.INI"), "[Hintergrund]\r\nAnzahl=1\r\n");
    fx.WriteFile(QStringLiteral("mods/welt/1.INI"), "[hg]\r\ntype=COLOR\r\n");
    fx.WriteFile(QStringLiteral("mods/welt/Config.ini"), "[game]\r\nsound=yes\r\n");
    EngineRun run(fx);
    ASSERT_TRUE(run.Run(QStringLiteral("Welt"), QString(), false));
    EXPECT_EQ(DecodeCodFile(fx.ReadFile(QStringLiteral("mods/welt/1.cod"))),
              "[hg]\r\ntype=COLOR\r\n");
    EXPECT_FALSE(fx.Exists(QStringLiteral("mods/welt/MOD.INI")));
    EXPECT_FALSE(fx.Exists(QStringLiteral("mods/welt/1.INI")));
    EXPECT_EQ(ReadIniText(fx.Path("mods/welt/Config.ini"), "game", "type"), "code");
    EXPECT_FALSE(fx.Exists(QStringLiteral("mods/welt/config.ini")));
}

// A run whose inputs are not all there changes nothing at all, also with a
// backup wanted, and says which file is missing.
TEST(EncodingRun, MissingInputChangesNothing) {
    struct Case {
        const char* what;
        const char* mod;
        const char* missing;
        std::function<void(ModFixture&)> damage;
    };
    const Case cases[] = {
        {"background file missing", "welt", "2.ini",
         [](ModFixture& fx) { QFile::remove(fx.Path("mods/welt/2.ini")); }},
        {"background file is a directory", "welt", "1.ini",
         [](ModFixture& fx) {
             QFile::remove(fx.Path("mods/welt/1.ini"));
             QDir().mkpath(fx.Path("mods/welt/1.ini"));
         }},
        {"no such MOD", "nirgends", "mod.ini", [](ModFixture&) {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ScriptedPlatform platform;
        ModFixture fx;
        fx.WriteGameIni({"welt"});
        fx.AddMod(QStringLiteral("welt"), StandardMod());
        c.damage(fx);
        const auto before = fx.Snapshot();
        EngineRun run(fx);
        EXPECT_FALSE(run.Run(QString::fromLatin1(c.mod), QStringLiteral("welt.src"), true));
        const QString text = QStringLiteral("Die Datei '") + c.missing +
                             QStringLiteral("' des MODs '") + c.mod +
                             QStringLiteral(
                                 "' fehlt oder ist nicht lesbar. Es wurde nichts "
                                 "verändert.");
        ASSERT_EQ(platform.messages.size(), 1);
        EXPECT_EQ(platform.messages[0].title, QStringLiteral("Fehler"));
        EXPECT_EQ(platform.messages[0].text, text);
        EXPECT_EQ(run.sink.Lines().last(), text);
        EXPECT_EQ(platform.exits.size(), 1);
        EXPECT_EQ(fx.Snapshot(), before);
    }
}

TEST(EncodingRun, AnAlreadyEncodedModIsNotEncodedAgain) {
    ScriptedPlatform platform;
    ModFixture fx;
    fx.WriteGameIni({"welt"});
    const auto plain = fx.AddMod(QStringLiteral("welt"), StandardMod());
    {
        EngineRun first(fx);
        ASSERT_TRUE(first.Run(QStringLiteral("welt"), QString(), false));
    }
    const auto before = fx.Snapshot();
    EngineRun again(fx);
    EXPECT_FALSE(again.Run(QStringLiteral("welt"), QStringLiteral("welt.src"), true));
    ASSERT_EQ(platform.messages.size(), 1);
    EXPECT_TRUE(platform.messages[0].text.startsWith(QStringLiteral("Die Datei 'mod.ini'")));
    EXPECT_EQ(fx.Snapshot(), before);
    EXPECT_EQ(HowItLoads(fx, QStringLiteral("welt"), plain), LoadsAs::Encoded);
}

TEST(EncodingRun, UnwritableCodLeavesThePlainMod) {
    ScriptedPlatform platform;
    ModFixture fx;
    fx.WriteGameIni({"welt"});
    const auto plain = fx.AddMod(QStringLiteral("welt"), StandardMod());
    QDir().mkpath(fx.Path(QStringLiteral("mods/welt/2.cod")));
    EngineRun run(fx);
    EXPECT_FALSE(run.Run(QStringLiteral("welt"), QString(), false));
    ASSERT_EQ(platform.messages.size(), 1);
    EXPECT_EQ(platform.messages[0].title, QStringLiteral("Fehler"));
    EXPECT_EQ(platform.messages[0].text,
              QStringLiteral("Ein unbekannter Fehler ist aufgetreten !!!"));
    EXPECT_EQ(HowItLoads(fx, QStringLiteral("welt"), plain), LoadsAs::Plain);
    EXPECT_NE(ReadIniText(fx.Path("mods/welt/config.ini"), "game", "type"), "code");
    EXPECT_FALSE(run.sink.Lines().contains(QStringLiteral("FERTIG\r\n\r\n")));
}

}  // namespace
}  // namespace wf::test
