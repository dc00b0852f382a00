// Names that would lead outside the game's MOD directory are refused before
// anything is copied or written.
#include <gtest/gtest.h>

#include <functional>

#include "IniAccess.h"
#include "ModFixture.h"
#include "RunHelpers.h"
#include "ScriptedPlatform.h"

namespace wf::test {
namespace {

// Runs and expects one refusal message naming `shown`, and no change at all.
void ExpectRefused(ModFixture& fx, const QString& mod, const QString& backup, bool backupWanted,
                   const QString& shown) {
    ScriptedPlatform platform;
    const auto before = fx.Snapshot();
    EngineRun run(fx);
    EXPECT_FALSE(run.Run(mod, backup, backupWanted));
    ASSERT_EQ(platform.messages.size(), 1);
    EXPECT_EQ(platform.messages[0].title, QStringLiteral("Fehler"));
    EXPECT_TRUE(platform.messages[0].text.contains(QLatin1Char('\'') + shown + '\''))
        << platform.messages[0].text.toStdString();
    EXPECT_TRUE(platform.messages[0].text.endsWith(QStringLiteral("Es wurde nichts verändert.")));
    EXPECT_EQ(platform.exits.size(), 1);
    EXPECT_EQ(fx.Snapshot(), before);
}

TEST(Refusal, BackupDirectoryNames) {
    const char* names[] = {"", "a/b", "a\\b", "..", "../welt2", "x..y", "/tmp/abs", "welt", "WELT"};
    for (const char* name : names) {
        SCOPED_TRACE(name);
        ModFixture fx;
        fx.WriteGameIni({"welt"});
        fx.AddMod(QStringLiteral("welt"), StandardMod());
        ExpectRefused(fx, QStringLiteral("welt"), QString::fromLatin1(name), true,
                      QString::fromLatin1(name));
    }
}

TEST(Refusal, BackupNameThatGameIniCannotHold) {
    ModFixture fx;
    fx.WriteGameIni({"welt"});
    fx.AddMod(QStringLiteral("welt"), StandardMod());
    ExpectRefused(fx, QStringLiteral("welt"), QStringLiteral("Wolke\u2601"), true,
                  QStringLiteral("Wolke\u2601"));
}

TEST(Refusal, ModNames) {
    for (const char* name : {"", "..", "../welt", "mods/welt", "welt\\..\\welt"}) {
        SCOPED_TRACE(name);
        ModFixture fx;
        fx.WriteGameIni({"welt"});
        fx.AddMod(QStringLiteral("welt"), StandardMod());
        ExpectRefused(fx, QString::fromLatin1(name), QStringLiteral("kopie"), false,
                      QString::fromLatin1(name));
    }
}

TEST(Refusal, StoredNamesThatLeaveTheMod) {
    struct Case {
        const char* what;
        std::function<void(ModSpec&)> set;
        const char* shown;
    };
    const Case cases[] = {
        {"music climbs out", [](ModSpec& s) { s.musik = "..\\..\\game.ini"; }, "..\\..\\game.ini"},
        {"shot sound absolute", [](ModSpec& s) { s.schussSound = "/etc/hostname"; },
         "/etc/hostname"},
        {"picture with drive", [](ModSpec& s) { s.backgrounds[0].datei = "C:\\bild.bmp"; },
         "C:\\bild.bmp"},
        {"extra climbs out later",
         [](ModSpec& s) { s.backgrounds[1].extras[0].gfx = "extras\\..\\..\\x.bmp"; },
         "extras\\..\\..\\x.bmp"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ModFixture fx;
        fx.WriteGameIni({"welt"});
        ModSpec spec = StandardMod();
        c.set(spec);
        fx.AddMod(QStringLiteral("welt"), StandardMod());
        // The definition files name the unsafe file; no media is written for it.
        fx.AddMod(QStringLiteral("welt"), spec, false);
        ExpectRefused(fx, QStringLiteral("welt"), QStringLiteral("welt.src"), true,
                      QString::fromLatin1(c.shown));
    }
}

TEST(Refusal, UnsafeNamesThatAreNeverCopiedDoNotStopTheRun) {
    ScriptedPlatform platform;
    ModFixture fx;
    fx.WriteGameIni({"welt"});
    ModSpec spec = StandardMod();
    fx.AddMod(QStringLiteral("welt"), spec);
    // A colour background's picture is never copied.
    QByteArray bg2 = fx.ReadFile(QStringLiteral("mods/welt/2.ini"));
    bg2.replace("datei=blau.bmp", "datei=..\\..\\blau.bmp");
    fx.WriteFile(QStringLiteral("mods/welt/2.ini"), bg2);
    EngineRun run(fx);
    EXPECT_TRUE(run.Run(QStringLiteral("welt"), QStringLiteral("welt.src"), true));
    EXPECT_TRUE(platform.messages.isEmpty());
}

}  // namespace
}  // namespace wf::test
