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

namespace wf::test {
namespace {

// Each .cod line holds 3 digits (001..255) per plain character and decodes on
// its own, whatever the line ends of the plain file.
TEST(EncodingRun, CodFileFormat) {
    QByteArray allCodes;
    for (int c = 1; c < 255; ++c) {
        if (c != '\n' && c != '\r')
            allCodes += static_cast<char>(c);
    }
    struct Case {
        const char* what;
        QByteArray content;
        QByteArray decoded;  // lines joined by CR LF after each
    };
    const Case cases[] = {
        {"every character code", "[A]\r\n" + allCodes + "\r\nx=1\r\n",
         "[A]\r\n" + allCodes + "\r\nx=1\r\n"},
        {"LF only", "[Hintergrund]\nAnzahl=0\n", "[Hintergrund]\r\nAnzahl=0\r\n"},
        {"no final line end", "[Hintergrund]\r\nAnzahl=0", "[Hintergrund]\r\nAnzahl=0\r\n"},
        {"blank lines kept", "[H]\r\n\r\n\r\nAnzahl=0\r\n", "[H]\r\n\r\n\r\nAnzahl=0\r\n"},
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
        const QByteArray cod = fx.ReadFile(QStringLiteral("mods/m/mod.cod"));
        EXPECT_EQ(DecodeCodFile(cod), c.decoded);
        for (QByteArray line : cod.split('\n')) {
            line.replace('\r', QByteArray());
            ASSERT_EQ(line.size() % 3, 0) << line.constData();
            for (int g = 0; g < line.size(); g += 3) {
                bool ok = false;
                const int code = line.mid(g, 3).toInt(&ok);
                EXPECT_TRUE(ok && code >= 1 && code <= 255) << line.mid(g, 3).constData();
            }
        }
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
        {"already encoded", "welt", "mod.ini",
         [](ModFixture& fx) {
             ASSERT_TRUE(EngineRun(fx).Run(QStringLiteral("welt"), QString(), false));
         }},
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
        const QString text =
            QStringLiteral("Die Datei '") + c.missing + QStringLiteral("' des MODs '") + c.mod +
            QStringLiteral("' fehlt oder ist nicht lesbar. Es wurde nichts verändert.");
        ASSERT_EQ(platform.messages.size(), 1);
        EXPECT_EQ(platform.messages[0].title, QStringLiteral("Fehler"));
        EXPECT_EQ(platform.messages[0].text, text);
        EXPECT_EQ(run.sink.Lines().last(), text);
        EXPECT_EQ(platform.exits.size(), 1);
        EXPECT_EQ(fx.Snapshot(), before);
    }
}

}  // namespace
}  // namespace wf::test
