// Finding the installed MODs in game.ini and their "type".
#include <gtest/gtest.h>

#include "Engine.h"
#include "ModFixture.h"
#include "ScriptedPlatform.h"
#include "TestDoubles.h"

namespace wf::test {
namespace {

struct Discovered {
    explicit Discovered(const ModFixture& fx) : engine(sink) {
        engine.SetGameDirectory(fx.GameDir());
    }
    RecordingSink sink;
    Engine engine;
};

TEST(Discovery, ListsNamesAndTypesInGameIniOrder) {
    ScriptedPlatform platform;
    ModFixture fx;
    fx.WriteGameIni({"wolkfng4", "Geheim", "fehlt", "../draussen", ""});
    fx.AddMod(QStringLiteral("wolkfng4"), StandardMod());
    ModLayout encoded = StandardMod();
    encoded.type = "code";
    // The directory differs in case from game.ini, as on the authors' systems.
    fx.AddMod(QStringLiteral("geheim"), encoded);
    // A config.ini that a climbing name would reach must not be read.
    fx.WriteFile(QStringLiteral("draussen/config.ini"), "[game]\r\ntype=code\r\n");

    Discovered d(fx);
    d.engine.ReadModList();
    EXPECT_EQ(d.engine.ModCount(), 5);
    EXPECT_EQ(d.engine.ModNames(),
              (QList<QByteArray>{"wolkfng4", "Geheim", "fehlt", "../draussen", ""}));
    EXPECT_EQ(d.engine.ModTypes(), (QList<QByteArray>{"", "code", "", "", ""}));
    EXPECT_TRUE(platform.messages.isEmpty());
}

TEST(Discovery, ModAnzahlMissingOrTooHigh) {
    struct Case {
        const char* gameIni;
        int found;  // -1: refused
    };
    const Case cases[] = {
        {"[Mods]\r\nModName1=a\r\n", 0},
        {"[Mods]\r\nModAnzahl=99\r\nModName1=a\r\n", 99},
        {"[Mods]\r\nModAnzahl=100\r\nModName1=a\r\n", -1},
        {"[Mods]\r\nModAnzahl=5000\r\nModName1=a\r\n", -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.gameIni);
        ScriptedPlatform platform;
        ModFixture fx;
        fx.WriteFile(QStringLiteral("game.ini"), c.gameIni);
        Discovered d(fx);
        if (c.found >= 0) {
            d.engine.ReadModList();
            EXPECT_EQ(d.engine.ModCount(), c.found);
            ASSERT_EQ(d.engine.ModNames().size(), c.found);
            EXPECT_EQ(d.engine.ModNames().value(0), c.found ? "a" : "");
            EXPECT_TRUE(platform.messages.isEmpty());
            continue;
        }
        EXPECT_THROW(d.engine.ReadModList(), ProgramExit);
        ASSERT_EQ(platform.messages.size(), 1);
        EXPECT_EQ(platform.messages[0].title, QStringLiteral("Fehler"));
        EXPECT_EQ(platform.messages[0].text,
                  QStringLiteral("Fehler ModAnzahl ist zu hoch um mit diesem Programm "
                                 "Codierungsvorgänge durchzuführen !!!"));
        ASSERT_EQ(platform.exits.size(), 1);
        EXPECT_NE(platform.exits[0], 0);
    }
}

}  // namespace
}  // namespace wf::test
