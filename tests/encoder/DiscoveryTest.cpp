// Finding the installed MODs in game.ini and their "type".
#include <gtest/gtest.h>

#include "Engine.h"
#include "ModFixture.h"
#include "ScriptedPlatform.h"
#include "TestDoubles.h"

namespace wf::test {
namespace {

TEST(Discovery, ListsNamesAndTypesInGameIniOrder) {
    ScriptedPlatform platform;
    ModFixture fx;
    fx.WriteGameIni({"wolkfng4", "Geheim", "fehlt"});
    fx.AddMod(QStringLiteral("wolkfng4"), StandardMod());
    ModSpec encoded = StandardMod();
    encoded.type = "code";
    // The directory differs in case from game.ini, as on the authors' systems.
    fx.AddMod(QStringLiteral("geheim"), encoded);

    RecordingSink sink;
    Engine engine(sink);
    engine.SetGameDirectory(fx.GameDir());
    engine.ReadModList();

    EXPECT_EQ(engine.ModCount(), 3);
    EXPECT_EQ(engine.ModNames(), (QList<QByteArray>{"wolkfng4", "Geheim", "fehlt"}));
    EXPECT_EQ(engine.ModTypes(), (QList<QByteArray>{"", "code", ""}));
    EXPECT_TRUE(platform.messages.isEmpty());
}

TEST(Discovery, MissingModAnzahlMeansNoMods) {
    ScriptedPlatform platform;
    ModFixture fx;
    fx.WriteGameIni({"wolkfng4"}, -1);
    RecordingSink sink;
    Engine engine(sink);
    engine.SetGameDirectory(fx.GameDir());
    engine.ReadModList();
    EXPECT_EQ(engine.ModCount(), 0);
    EXPECT_TRUE(engine.ModNames().isEmpty());
    EXPECT_TRUE(platform.messages.isEmpty());
}

TEST(Discovery, NinetyNineModsAreTheLimit) {
    struct Case {
        int count;
        bool refused;
    };
    for (const Case& c : {Case{99, false}, Case{100, true}, Case{5000, true}}) {
        SCOPED_TRACE(c.count);
        ScriptedPlatform platform;
        ModFixture fx;
        fx.WriteFile(QStringLiteral("game.ini"),
                     "[Mods]\r\nModAnzahl=" + QByteArray::number(c.count) + "\r\nModName1=a\r\n");
        RecordingSink sink;
        Engine engine(sink);
        engine.SetGameDirectory(fx.GameDir());
        if (!c.refused) {
            engine.ReadModList();
            EXPECT_EQ(engine.ModNames().size(), c.count);
            EXPECT_EQ(engine.ModNames().first(), "a");
            EXPECT_TRUE(platform.messages.isEmpty());
            continue;
        }
        EXPECT_THROW(engine.ReadModList(), ProgramExit);
        ASSERT_EQ(platform.messages.size(), 1);
        EXPECT_EQ(platform.messages[0].title, QStringLiteral("Fehler"));
        EXPECT_EQ(platform.messages[0].text,
                  QStringLiteral("Fehler ModAnzahl ist zu hoch um mit diesem Programm "
                                 "Codierungsvorgänge durchzuführen !!!"));
        EXPECT_EQ(platform.messages[0].buttons, MsgButtons::Ok);
        ASSERT_EQ(platform.exits.size(), 1);
        EXPECT_NE(platform.exits[0], 0);
    }
}

TEST(Discovery, UnsafeNamesReadNoConfigOutsideTheMods) {
    ScriptedPlatform platform;
    ModFixture fx;
    fx.WriteGameIni({"../draussen", ""});
    // A config.ini that a climbing name would reach.
    fx.WriteFile(QStringLiteral("draussen/config.ini"), "[game]\r\ntype=code\r\n");
    RecordingSink sink;
    Engine engine(sink);
    engine.SetGameDirectory(fx.GameDir());
    engine.ReadModList();
    EXPECT_EQ(engine.ModTypes(), (QList<QByteArray>{"", ""}));
}

}  // namespace
}  // namespace wf::test
