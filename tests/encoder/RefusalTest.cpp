// Names that would lead outside the game's MOD directory are refused before
// anything is copied or written.
#include <gtest/gtest.h>

#include <functional>

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

// The message names the refused name itself.
TEST(Refusal, ModAndBackupNames) {
    const QString backups[] = {"",
                               "a/b",
                               "a\\b",
                               "..",
                               "../welt2",
                               "x..y",
                               "/tmp/abs",
                               "WELT" /* the MOD itself */,
                               QStringLiteral("Wolke\u2601") /* game.ini cannot hold it */};
    const QString mods[] = {"", "..", "../welt", "mods/welt", "welt\\..\\welt"};
    for (const bool backupWanted : {true, false}) {
        for (const QString& name : backupWanted
                                       ? QList<QString>(std::begin(backups), std::end(backups))
                                       : QList<QString>(std::begin(mods), std::end(mods))) {
            SCOPED_TRACE(name.toStdString());
            ModFixture fx;
            fx.WriteGameIni({"welt"});
            fx.AddMod(QStringLiteral("welt"), StandardMod());
            if (backupWanted)
                ExpectRefused(fx, QStringLiteral("welt"), name, true, name);
            else
                ExpectRefused(fx, name, QStringLiteral("kopie"), false, name);
        }
    }
}

TEST(Refusal, StoredNamesThatLeaveTheMod) {
    struct Case {
        const char* what;
        std::function<void(ModLayout&)> set;
        const char* shown;
    };
    const Case cases[] = {
        {"music climbs out", [](ModLayout& s) { s.musik = "..\\..\\game.ini"; },
         "..\\..\\game.ini"},
        {"shot sound absolute", [](ModLayout& s) { s.schussSound = "/etc/hostname"; },
         "/etc/hostname"},
        {"picture with drive", [](ModLayout& s) { s.backgrounds[0].datei = "C:\\bild.bmp"; },
         "C:\\bild.bmp"},
        {"extra climbs out later",
         [](ModLayout& s) { s.backgrounds[1].extras[0].gfx = "extras\\..\\..\\x.bmp"; },
         "extras\\..\\..\\x.bmp"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ModFixture fx;
        fx.WriteGameIni({"welt"});
        ModLayout layout = StandardMod();
        c.set(layout);
        fx.AddMod(QStringLiteral("welt"), StandardMod());
        // The definition files name the unsafe file; no media is written for it.
        fx.AddMod(QStringLiteral("welt"), layout, false);
        ExpectRefused(fx, QStringLiteral("welt"), QStringLiteral("welt.src"), true,
                      QString::fromLatin1(c.shown));
    }
}

TEST(Refusal, UnsafeNamesThatAreNeverCopiedDoNotStopTheRun) {
    ScriptedPlatform platform;
    ModFixture fx;
    fx.WriteGameIni({"welt"});
    ModLayout layout = StandardMod();
    // A colour background's picture is never copied.
    layout.backgrounds[1].datei = "..\\..\\blau.bmp";
    fx.AddMod(QStringLiteral("welt"), StandardMod());
    fx.AddMod(QStringLiteral("welt"), layout, false);
    EngineRun run(fx);
    EXPECT_TRUE(run.Run(QStringLiteral("welt"), QStringLiteral("welt.src"), true));
    EXPECT_TRUE(platform.messages.isEmpty());
}

}  // namespace
}  // namespace wf::test
