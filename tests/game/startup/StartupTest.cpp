// The command line, and start-up over game directories written by the tests:
// what it loads, in which order, and every way it ends the program.
#include <SDL_mixer.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QDir>
#include <QRegularExpression>

#include "CommandLine.h"
#include "FileLimits.h"
#include "FluidMusic.h"
#include "GameFiles.h"
#include "HostileMedia.h"
#include "MainMenu.h"
#include "PictureSlots.h"
#include "ScriptedPlatform.h"
#include "SdlSound.h"
#include "Startup.h"

namespace wf {
namespace {

using test::GameFiles;
using test::ModDraft;
using test::Set;

TEST(CommandLine, SplitsAtBlanksKeepsTenTokensAndDropsAShortTail) {
    const std::pair<const char*, QStringList> cases[] = {
        {"", {}},
        {"x  -debug:style:1", {"x", "", "-debug:style:1"}},
        {"ab -mod:ab", {"ab", "-mod:ab"}},  // a short token before a blank stays
        {"-mod:wald ab", {"-mod:wald"}},    // a short tail is dropped
        {" -debug", {"", "-debug"}},
        {"1 2 3 4 5 6 7 8 9 10 -debug", {"1", "2", "3", "4", "5", "6", "7", "8", "9", "10"}}};
    for (const auto& [line, tokens] : cases)
        EXPECT_EQ(SplitCommandLine(QString::fromUtf8(line)), tokens) << line;
}

TEST(CommandLine, SwitchesAreExactAndTheLaterOneWins) {
    const struct {
        const char* line;
        bool debugMode;
        int debugStyle;
        const char* modName;
    } cases[] = {
        {"", false, 2, ""},
        {"-debug", true, 2, ""},
        {"-Debug", true, 2, ""},
        {"-DEBUG", false, 2, ""},
        {"-debug:style:1", true, 1, ""},
        {"-Debug:style:2", true, 2, ""},
        {"-debug:Style:1", false, 2, ""},
        {"-debug -debug:style:1", true, 1, ""},
        {"-MOD:wald", false, 2, ""},
        {"-mod:wald -mod:see", false, 2, "see"},
        {"x  -debug:style:1 -mod:berg", true, 1, "berg"},
        {"1 2 3 4 5 6 7 8 9 -debug", true, 2, ""},
    };
    for (const auto& c : cases) {
        const CommandLineOptions o = ApplySwitches(SplitCommandLine(QString::fromUtf8(c.line)));
        EXPECT_EQ(o.debugMode, c.debugMode) << c.line;
        EXPECT_EQ(o.debugStyle, c.debugStyle) << c.line;
        EXPECT_EQ(o.modName, QString::fromUtf8(c.modName)) << c.line;
    }
}

const QString kGraphics = QStringLiteral(
    "Wichtige Grafikdateien wurden nicht gefunden !\r\n\r\n- Überprüfen sie ob sie das Programm "
    "entzippt haben , falls nicht entzippen sie es !\r\n- Es können bei manchen Systemen Fehler "
    "auftreten , in diesem Fall unterrichten sie mich bitte !\r\n\r\n Das Programm wird beendet .");
const QString kMarker = QStringLiteral(
    "Beim Laden von Wolkenfang ist ein schwerwiegender Fehler aufgetreten !!! Programm wird "
    "beendet.");
const QString kRefused = QStringLiteral("Fehler beim Laden des MODs '%1'");

class StartupRun : public ::testing::Test {
  protected:
    // A fresh program each time.
    StartupResult Run(const GameFiles& game) {
        state = GameState();
        settings = GameSettings();
        stores = PictureStores();
        events.clear();
        platform.messages.clear();
        platform.exits.clear();
        StartupContext c{game.Path(), arguments, state, settings, stores, title, {}, nullptr, {}};
        for (int i = 0; i < 33; ++i)
            c.credits.append(QString::number(i));
        c.windows = {
            [this] { events << "show"; }, [this](int p) { events << QString::number(p); },
            [this] { events << "hide"; },
            [this](int w, int h) { events << QStringLiteral("size %1x%2").arg(w).arg(h); }};
        return RunStartup(c);
    }
    // One message with OK, then the program ends.
    void ExpectFailure(const GameFiles& game, const QString& title, const QString& text) {
        EXPECT_THROW(Run(game), ProgramExit);
        ASSERT_EQ(platform.messages.size(), 1);
        EXPECT_EQ(platform.messages[0].title, title);
        EXPECT_EQ(platform.messages[0].text, text);
        EXPECT_EQ(platform.messages[0].buttons, MsgButtons::Ok);
        EXPECT_EQ(platform.exits, QList<int>({1}));
    }

    GameState state;
    GameSettings settings;
    PictureStores stores;
    TitleSequence title;
    ScriptedPlatform platform;
    QStringList events;  // "show", "5", ..., "size 40x30", "hide"
    QStringList arguments;
};

TEST_F(StartupRun, LoadsEverythingInOrderAndSizesTheWindow) {
    GameFiles game;
    game.WriteGame();  // a picture with two extras, a colour with one
    arguments = {"-debug:style:1"};
    const StartupResult r = Run(game);
    EXPECT_TRUE(platform.messages.isEmpty());
    EXPECT_EQ(events,
              QStringList({"show", "5", "20", "40", "50", "65", "size 40x30", "95", "99", "hide"}));
    EXPECT_EQ(QDir(r.modDir), QDir(game.ModPath()));
    EXPECT_TRUE(settings.debugMode && settings.debugStyle == 1 && settings.background == 1);
    for (int s = 1; s <= kLastFixedSlot; ++s)
        EXPECT_EQ(r.pictures.pictureLoaded[s], 1) << s;
    for (const FixedPicture& f : kFixedPictures)
        EXPECT_EQ(stores.sources.SlotWidth(f.slot), GameFiles::FixedWidth(f.slot)) << f.slot;
    EXPECT_EQ(stores.sources.Picture(kBackgroundSlot)->size(), QSize(40, 30));
    // The extras from slot 22 on, background by background.
    const int extras[][2] = {{1, 1}, {1, 2}, {2, 1}};
    for (int k = 0; k < 3; ++k) {
        const auto [i, j] = extras[k];
        EXPECT_EQ(state.mod.backgrounds[i].extras[j].pictureSlot, kFirstExtraSlot + k);
        EXPECT_EQ(stores.sources.Picture(kFirstExtraSlot + k)->size(), QSize(4 + j, 4 + i));
    }
    EXPECT_EQ(r.pictures.nextPictureSlot, kFirstExtraSlot + 3);
    // The MOD's background entries; the rest as designed.
    const MainMenu menu = DeriveMenu(settings, state.phase, state.mod);
    EXPECT_EQ(menu.background[2].caption, QString::fromUtf8("Hintergrund 2 Ä"));
    EXPECT_TRUE(menu.background[1].checked && menu.background[2].visible &&
                !menu.background[3].visible);
    EXPECT_FALSE(menu.sound.checked || menu.music.checked);
    EXPECT_EQ(title.creditLineCount, 32);
}

TEST_F(StartupRun, EachFailureEndsTheProgramWithItsMessage) {
    const QString m = QStringLiteral("mods/wolkfng4/");
    const QString size = QStringLiteral(
        "Unzulässige Veränderung der Größe der Hintergrund !!! Das Spiel wird beendet !!");
    const auto set = [](const char* key, const char* value) {
        return [=](ModDraft& s) { Set(s.backgrounds[0], "hg", key, value); };
    };
    struct Case {
        QString what;  // below the game directory: removed after writing
        std::function<void(ModDraft&)> change;
        const char* settings;  // game.ini instead, when set
        QString title;         // "": starts
        QString text;
        bool ranToTheEnd;  // the marker key is checked after everything else
    };
    std::vector<Case> cases = {
        {"first background a colour", set("type", "COLOR"), nullptr, "Fehler !", kGraphics, false},
        // A picture of the declared size, but outside the MOD.
        {"first background outside",
         [=](ModDraft& s) {
             set("datei", "..\\..\\Grafiken\\7.jpg")(s), set("x", "30")(s), set("y", "8")(s);
         },
         nullptr, "Fehler !", kGraphics, false},
        {m + "bilder/hg1.png", nullptr, nullptr, "Fehler !", kGraphics, false},
        {m + test::ExtraPicture(2, 1), nullptr, nullptr, "Fehler!!",
         "Wichtige Grafikdateien wurden leider nicht gefunden!!! Programm wird beendet", false},
        {"declared wider", set("x", "41"), nullptr, "Fehler!", size, false},
        {"declared lower", set("y", "29"), nullptr, "Fehler!", size, false},
        {"marker empty", nullptr, "[game]\r\nsound=yes\r\nwerbung=\r\n", "Fehler", kMarker, true},
    };
    // The fixed pictures: those the game draws are required, the others not.
    for (const FixedPicture& f : kFixedPictures) {
        const bool drawn = f.slot < kFirstUndrawnSlot || f.slot > kLastUndrawnSlot;
        cases.push_back({QString::fromLatin1(f.file), nullptr, nullptr, drawn ? "Fehler !" : "",
                         drawn ? kGraphics : "", false});
    }
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what.toStdString());
        ModDraft mod = test::MakeMod();
        if (c.change)
            c.change(mod);
        GameFiles game;
        game.WriteGame(mod);
        game.Remove(c.what);
        if (c.settings)
            game.Write(QStringLiteral("game.ini"), QByteArray(c.settings));
        if (c.title.isEmpty()) {
            Run(game);
            EXPECT_TRUE(platform.messages.isEmpty());
            continue;
        }
        ExpectFailure(game, c.title, c.text);
        EXPECT_EQ(events.contains("hide") && events.contains("size 40x30"), c.ranToTheEnd);
    }
}

TEST_F(StartupRun, LoadsTheModNamedOnTheCommandLineOnlyFromInsideMods) {
    GameFiles game;
    game.WriteGame();
    // A complete MOD beside "mods" too, reachable only by climbing out.
    for (const char* mod : {"see", "v1.0..2", "../draussen"})
        game.WriteMod(QString::fromLatin1(mod), test::MakeMod({{"BMP", 64, 48}}));
    // Loaded from below mods; null: refused.
    const std::pair<const char*, const char*> cases[] = {
        {"-mod:see", "see"},
        {"-mod:SEE", "see"},
        {"-mod:v1.0..2", "v1.0..2"},
        {"-mod:../draussen", nullptr},
        {"-mod:..\\draussen", nullptr},
        {"-mod:see/../../draussen", nullptr},
        {"-mod:..", nullptr},
        {"-mod:.", nullptr},
    };
    for (const auto& [argument, loaded] : cases) {
        SCOPED_TRACE(argument);
        arguments = {QString::fromLatin1(argument)};
        if (loaded) {
            EXPECT_EQ(QDir(Run(game).modDir), QDir(game.ModPath(loaded)));
            EXPECT_TRUE(events.contains("size 64x48"));
            continue;
        }
        const QString name = arguments[0].mid(5);
        testing::internal::CaptureStderr();
        ExpectFailure(game, "Fehler !", kRefused.arg(name));
        EXPECT_TRUE(QString::fromStdString(testing::internal::GetCapturedStderr())
                        .contains("-mod:" + name));
        EXPECT_EQ(stores.sources.SlotCount(), 0);
    }
}

// In place of every file the game reads, something that must not be read:
// start-up neither hangs (CTest's time-out ends a FIFO that blocks) nor reads
// it, and says which file it was.
TEST_F(StartupRun, NoFileThatTheGameReadsCanHangItOrBeReadEndlessly) {
    const QString refusedAs = kRefused.arg("wolkfng4"), refused = kRefused.arg("Testwelt");
    const struct {
        const char* file;  // below the game directory
        qint64 limit;
        const char* title;  // "": the file is skipped, the game starts
        QString text;
    } kinds[] = {
        {"game.ini", kMaxDefinitionFileBytes, "Fehler", kMarker},
        {"mods/wolkfng4/config.ini", kMaxDefinitionFileBytes, "Fehler !", refusedAs},
        {"mods/wolkfng4/mod.ini", kMaxDefinitionFileBytes, "Fehler !", refusedAs},
        {"mods/wolkfng4/1.ini", kMaxDefinitionFileBytes, "Fehler !", refused},
        {"mods/wolkfng4/bilder/hg1.png", kMaxPictureFileBytes, "Fehler !", refused},
        {"mods/wolkfng4/extras/e1_1.png", kMaxPictureFileBytes, "Fehler !", refused},
        {"Grafiken/Cursor.jpg", kMaxPictureFileBytes, "Fehler !", kGraphics},
        {"mods/wolkfng4/schuss.wav", kMaxSoundFileBytes, "", ""},
        {"mods/wolkfng4/sounds/musik.mid", kMaxMusicFileBytes, "", ""},
    };
    const struct {
        const char* what;
        std::function<void(const QString& path, qint64 limit)> make;
        const char* problem;  // in the refusal's detail or the skip's line
    } faults[] = {
        {"FIFO", [](const QString& p, qint64) { ::mkfifo(QFile::encodeName(p).constData(), 0644); },
         "keine gewöhnliche Datei"},
        {"link to /dev/zero", [](const QString& p, qint64) { QFile::link("/dev/zero", p); },
         "keine gewöhnliche Datei"},
        {"directory", [](const QString& p, qint64) { QDir().mkpath(p); },
         "keine gewöhnliche Datei"},
        {"over the limit",
         [](const QString& p, qint64 limit) {
             QFile f(p);
             ASSERT_TRUE(f.open(QIODevice::WriteOnly) && f.resize(limit + 1));  // sparse
         },
         "größer als"},
    };
    for (const auto& kind : kinds) {
        for (const auto& fault : faults) {
            const std::string what = std::string(kind.file) + " as " + fault.what;
            SCOPED_TRACE(what);
            GameFiles game;
            game.WriteGame(test::MakeMod({{"BMP", 40, 30, 1}}));
            const QString path = game.Path(kind.file);
            QFile::remove(path);
            fault.make(path, kind.limit);
            testing::internal::CaptureStderr();
            if (*kind.title) {
                ExpectFailure(game, kind.title, kind.text);
            } else {
                Run(game);
                EXPECT_TRUE(platform.messages.isEmpty());
                if (path.endsWith(".wav")) {
                    SdlSound sound;
                    sound.PlayWave(path);
                    EXPECT_EQ(Mix_Playing(SdlSound::kShotChannel), 0);
                } else {
                    FluidMusic music;
                    music.MusicOpenAndPlay(path);
                    EXPECT_EQ(music.MusicRunning(), 0);
                }
            }
            const QString err = QString::fromStdString(testing::internal::GetCapturedStderr());
            // One detail line that names the file and what is wrong with it.
            if (kind.text != kMarker && kind.text != kGraphics) {
                const QStringList lines =
                    err.split('\n').filter(QRegularExpression("^Wolkenfang: MOD '"));
                ASSERT_EQ(lines.size(), 1) << err.toStdString();
                EXPECT_TRUE(lines[0].contains(QFileInfo(path).fileName()) &&
                            lines[0].contains(fault.problem))
                    << err.toStdString();
            }
        }
    }
}

// A picture within every size limit that would take minutes to decode (a
// progressive JPEG of thousands of scans, restart markers between them) is
// never decoded: the MOD is refused by a message that names the picture, the
// game's own goes missing.
TEST_F(StartupRun, APictureThatWouldTakeMinutesToDecodeIsRefused) {
    const struct {
        const char* file;  // below the game directory
        QSize size;
        QString named;  // in the MOD; "" for the game's own
    } kinds[] = {{"mods/wolkfng4/bilder/hg1.png", {40, 30}, "bilder\\hg1.png"},
                 {"mods/wolkfng4/extras/e1_1.png", {5, 5}, "extras\\e1_1.png"},
                 {"Grafiken/Cursor.jpg", {GameFiles::FixedWidth(kCursorSlot), 8}, ""}};
    for (const auto& kind : kinds) {
        SCOPED_TRACE(kind.file);
        GameFiles game;
        game.WriteGame(test::MakeMod({{"BMP", 40, 30, 1}}));
        game.Write(kind.file, test::ScanBombJpeg(kind.size, 3000, false, true));
        testing::internal::CaptureStderr();
        ExpectFailure(game, "Fehler !",
                      kind.named.isEmpty()
                          ? kGraphics
                          : "Das Bild '" + kind.named +
                                "' des MODs 'Testwelt' lässt sich nicht in vertretbarer Zeit "
                                "laden: ein JPEG aus 3000 Durchgängen (Scans), erlaubt sind "
                                "höchstens 32. Der MOD wird nicht geladen.");
        const QString err = QString::fromStdString(testing::internal::GetCapturedStderr());
        EXPECT_EQ(err.contains(kind.named + ": ein JPEG aus 3000"), !kind.named.isEmpty())
            << err.toStdString();
    }
}

TEST_F(StartupRun, TakesSoundAndMusicFromTheSettingsOrTheMod) {
    const struct {
        const char* settings;   // the "game" section besides werbung
        const char* modConfig;  // the MOD's config.ini, section "game"; null: no file
        bool sound, music;
    } cases[] = {
        {"sound=yes", "", true, false},
        {"sound=Yes\r\nmusic=YES", "sound=yes\r\nmusic=yes", false, false},
        {"sound=mod\r\nmusic=mod", "sound=yes", true, false},
        {"sound=mod\r\nmusic=mod", "sound=Yes\r\nmusic=yes", false, true},
        {"sound=no\r\nmusic=mod", "sound=yes", false, false},
        {"sound=mod\r\nmusic=mod", nullptr, false, false},
    };
    GameFiles game;
    game.WriteGame();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.settings);
        game.Write("game.ini", QByteArray("[game]\r\nwerbung=1\r\n") + c.settings + "\r\n");
        game.Remove("mods/wolkfng4/config.ini");
        if (c.modConfig)
            game.Write("mods/wolkfng4/config.ini", QByteArray("[game]\r\n") + c.modConfig + "\r\n");
        Run(game);
        EXPECT_EQ(settings.sound, c.sound);
        EXPECT_EQ(settings.music, c.music);
    }
}

}  // namespace
}  // namespace wf
