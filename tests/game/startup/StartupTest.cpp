#include <gtest/gtest.h>

#include <QDir>
#include <QStringList>

#include "GameDirectory.h"
#include "ScriptedPlatform.h"
#include "Startup.h"

namespace wf {
namespace {

using test::BackgroundSpec;
using test::GameDirectory;

const QString kLongText = QStringLiteral(
    "Wichtige Grafikdateien wurden nicht gefunden !\r\n\r\n- Überprüfen sie ob sie das Programm "
    "entzippt haben , falls nicht entzippen sie es !\r\n- Es können bei manchen Systemen Fehler "
    "auftreten , in diesem Fall unterrichten sie mich bitte !\r\n\r\n Das Programm wird beendet .");

// Runs the start-up over a game directory and records what the windows saw.
class StartupRun : public ::testing::Test {
  protected:
    GameState state;
    MenuModel menu;
    PictureStores stores;
    TitleSequence title;
    ScriptedPlatform platform;
    QStringList events;  // "show", "5", ..., "size 40x30", "hide"
    QStringList arguments;

    StartupContext Context(const GameDirectory& dir) {
        StartupContext c{dir.Path(), arguments, state, menu, stores, title, {}, nullptr, {}};
        for (int i = 0; i < 33; ++i)
            c.credits.append(QStringLiteral("Zeile %1").arg(i));
        c.windows.showSplash = [this] { events.append("show"); };
        c.windows.progress = [this](int p) { events.append(QString::number(p)); };
        c.windows.hideSplash = [this] { events.append("hide"); };
        c.windows.sizeWindow = [this](int w, int h) {
            events.append(QStringLiteral("size %1x%2").arg(w).arg(h));
        };
        return c;
    }

    // A fresh program for the next case of a table.
    void Reset() {
        state = GameState();
        menu = MenuModel();
        stores = PictureStores();
        title = TitleSequence();
        events.clear();
        platform.messages.clear();
        platform.exits.clear();
    }

    StartupResult Run(const GameDirectory& dir) {
        StartupContext c = Context(dir);
        return RunStartup(c);
    }

    // Expects start-up to end the program after exactly one message.
    void ExpectFailure(const GameDirectory& dir, const QString& title, const QString& text) {
        StartupContext c = Context(dir);
        EXPECT_THROW(RunStartup(c), ProgramExit);
        ASSERT_EQ(platform.messages.size(), 1);
        EXPECT_EQ(platform.messages[0].title, title);
        EXPECT_EQ(platform.messages[0].text, text);
        EXPECT_EQ(platform.messages[0].buttons, MsgButtons::Ok);
        EXPECT_EQ(platform.exits, QList<int>({1}));
    }
};

TEST_F(StartupRun, LoadsEverythingInOrderAndSizesTheWindow) {
    const GameDirectory dir({{"Wiese"}, {"Wald \xC4", "COLOR", 50, 60}});
    arguments = {"-debug:style:1"};
    const StartupResult r = Run(dir);

    EXPECT_TRUE(platform.messages.isEmpty());
    EXPECT_EQ(events,
              QStringList({"show", "5", "20", "40", "50", "65", "size 40x30", "95", "99", "hide"}));
    EXPECT_EQ(QDir(r.modDir), QDir(dir.ModPath()));
    EXPECT_FALSE(r.adSettingMissing);
    EXPECT_TRUE(state.debugMode);
    EXPECT_EQ(state.debugStyle, 1);
    EXPECT_EQ(state.selectedBackground, 1);

    // Each fixed file in its slot, slots 9, 10 and 19 marked without a file.
    ASSERT_EQ(stores.RESSOURCEN.SlotCount(), 21);
    for (int s = 1; s <= 21; ++s) {
        EXPECT_EQ(r.pictures.pictureLoaded[s], 1) << s;
        if (!GameDirectory::FixedFile(s).isEmpty()) {
            EXPECT_EQ(stores.RESSOURCEN.SlotWidth(s), GameDirectory::FixedWidth(s)) << s;
        }
    }
    EXPECT_EQ(stores.RESSOURCEN.SlotWidth(4), 40);
    EXPECT_EQ(stores.RESSOURCEN.SlotHeight(4), 30);
    EXPECT_EQ(r.pictures.nextPictureSlot, 22);

    // The MOD's background entries, the rest as designed.
    EXPECT_FALSE(menu.hinterg[3].visible);
    EXPECT_EQ(menu.hinterg[1].caption, "Wiese");
    EXPECT_EQ(menu.hinterg[2].caption, QString::fromUtf8("Wald Ä"));
    EXPECT_EQ(menu.hinterg[3].caption, "#HG3");
    EXPECT_TRUE(menu.hinterg[1].checked);
    EXPECT_FALSE(menu.mnuSound.checked || menu.mnuMusik.checked);
    EXPECT_EQ(title.creditLineCount, 32);
    EXPECT_EQ(title.creditLines[32], "Zeile 32");
}

TEST_F(StartupRun, PutsTheExtrasFromSlot22InModOrder) {
    const GameDirectory dir(
        {{"a", "BMP", 40, 30, 3}, {"b", "COLOR", 40, 30, 0}, {"c", "BMP", 40, 30, 2}});
    const StartupResult r = Run(dir);
    EXPECT_EQ(r.pictures.nextPictureSlot, 27);
    EXPECT_EQ(stores.RESSOURCEN.SlotCount(), 26);
    const int expected[][2] = {{1, 1}, {1, 2}, {1, 3}, {3, 1}, {3, 2}};
    for (int k = 0; k < 5; ++k) {
        const auto [i, j] = expected[k];
        const int slot = 22 + k;
        EXPECT_EQ(state.mod.backgrounds[i].extras[j].pictureSlot, slot);
        EXPECT_EQ(r.pictures.pictureLoaded[slot], 1);
        EXPECT_EQ(stores.RESSOURCEN.SlotWidth(slot), 4 + j);
        EXPECT_EQ(stores.RESSOURCEN.SlotHeight(slot), 4 + i);
    }
}

TEST_F(StartupRun, ToleratesTheUnusedPictures) {
    const GameDirectory dir;
    for (int s = 14; s <= 18; ++s)
        dir.Remove(GameDirectory::FixedFile(s));
    const StartupResult r = Run(dir);
    EXPECT_TRUE(platform.messages.isEmpty());
    for (int s = 14; s <= 18; ++s)
        EXPECT_EQ(r.pictures.pictureLoaded[s], 0) << s;
}

TEST_F(StartupRun, EndsWhenARequiredPictureIsMissing) {
    for (int s : {1, 2, 3, 5, 6, 7, 8, 11, 12, 13, 20, 21}) {
        SCOPED_TRACE(s);
        const GameDirectory dir;
        dir.Remove(GameDirectory::FixedFile(s));
        Reset();
        ExpectFailure(dir, "Fehler !", kLongText);
    }
}

TEST_F(StartupRun, EachOtherFailureEndsTheProgramWithItsMessage) {
    const QString extra = QStringLiteral(
        "Wichtige Grafikdateien wurden leider nicht gefunden!!! Programm wird beendet");
    const QString size = QString::fromUtf8(
        "Unzulässige Veränderung der Größe der Hintergrund !!! Das Spiel wird beendet !!");
    const QString marker = QStringLiteral(
        "Beim Laden von Wolkenfang ist ein schwerwiegender Fehler aufgetreten !!! Programm wird "
        "beendet.");
    const QString m = QStringLiteral("mods/wolkfng4/");
    const struct {
        std::vector<BackgroundSpec> backgrounds;
        QStringList removed;
        QSize declared;        // the first background declared with another size
        const char* settings;  // null: as written
        const char* title;
        QString text;
        bool ranToTheEnd;  // the marker key is checked after everything else
    } cases[] = {
        {{},
         {"Grafiken/Cursor.jpg", "Grafiken/1.jpg", "Grafiken/7.jpg", "Grafiken/8.jpg"},
         {},
         nullptr,
         "Fehler !",
         kLongText,
         false},
        {{{"Blau", "COLOR"}}, {}, {}, nullptr, "Fehler !", kLongText, false},
        {{}, {m + "hg1.png"}, {}, nullptr, "Fehler !", kLongText, false},
        {{{"a", "BMP", 40, 30, 2}},
         {m + GameDirectory::ExtraFile(1, 2)},
         {},
         nullptr,
         "Fehler!!",
         extra,
         false},
        {{}, {}, {41, 30}, nullptr, "Fehler!", size, false},
        {{}, {}, {40, 29}, nullptr, "Fehler!", size, false},
        {{}, {}, {}, "sound=yes\r\nwerbung=\r\n", "Fehler", marker, true},
        {{}, {"game.ini"}, {}, nullptr, "Fehler", marker, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text.left(20).toStdString() + " " + c.removed.join(',').toStdString());
        const GameDirectory dir(c.backgrounds);
        for (const QString& f : c.removed)
            dir.Remove(f);
        if (c.settings)
            dir.WriteSettings(c.settings);
        if (c.declared.isValid()) {
            // The same picture, declared one pixel off.
            dir.WriteText(m + "1.ini", "[hg]\r\nname=x\r\ntype=BMP\r\ndatei=hg1.png\r\nx=" +
                                           QByteArray::number(c.declared.width()) +
                                           "\r\ny=" + QByteArray::number(c.declared.height()) +
                                           "\r\nextra=0\r\n");
        }
        Reset();
        ExpectFailure(dir, c.title, c.text);
        EXPECT_EQ(events.contains("size 40x30"), c.ranToTheEnd);
        EXPECT_EQ(events.contains("hide"), c.ranToTheEnd);
    }
}

TEST_F(StartupRun, ShowsTheRefusalOfTheMod) {
    const GameDirectory dir;
    dir.WriteText("mods/wolkfng4/mod.ini",
                  "[Allgemein]\r\nName=Riesig\r\n[Hintergrund]\r\nAnzahl=11\r\n");
    StartupContext c = Context(dir);
    EXPECT_THROW(RunStartup(c), ProgramExit);
    ASSERT_EQ(platform.messages.size(), 1);
    EXPECT_EQ(platform.messages[0].icon, MsgIcon::Exclamation);
    EXPECT_EQ(platform.messages[0].title, "Fehler!");
    EXPECT_EQ(
        platform.messages[0].text,
        QString::fromUtf8(
            "Geladener MOD 'Riesig' wird nicht von dieser Wolkenfang Version unterstützt!!!"));
    EXPECT_EQ(platform.exits, QList<int>({1}));
    EXPECT_EQ(stores.RESSOURCEN.SlotCount(), 0);  // no picture was touched
}

TEST_F(StartupRun, LoadsTheModNamedOnTheCommandLineOnlyFromInsideMods) {
    const struct {
        const char* argument;
        const char* loaded;  // the directory below mods; null: refused
    } cases[] = {
        {"-mod:see", "see"},
        {"-mod:SEE", "see"},  // names are found without regard to case
        {"-mod:Nachtflug", "nachtflug"},
        {"-mod:v1.0..2", "v1.0..2"},  // dots that do not climb
        {"-mod:../draussen", nullptr},
        {"-mod:..\\draussen", nullptr},
        {"-mod:see/../../draussen", nullptr},
        {"-mod:..", nullptr},
        {"-mod:.", nullptr},
    };
    const GameDirectory dir;
    for (const char* mod : {"see", "nachtflug", "v1.0..2"})
        dir.WriteMod(mod, {{"Ufer", "BMP", 64, 48}});
    // A complete MOD beside "mods", reachable only by climbing out.
    dir.WriteMod("../draussen", {{"Ufer", "BMP", 64, 48}});
    for (const auto& c : cases) {
        SCOPED_TRACE(c.argument);
        Reset();
        arguments = {QString::fromLatin1(c.argument)};
        if (c.loaded) {
            const StartupResult r = Run(dir);
            EXPECT_EQ(QDir(r.modDir), QDir(dir.ModPath(c.loaded)));
            EXPECT_EQ(menu.hinterg[1].caption, "Ufer");
            EXPECT_TRUE(events.contains("size 64x48"));
            continue;
        }
        const QString name = QString::fromLatin1(c.argument).mid(5);
        testing::internal::CaptureStderr();
        ExpectFailure(dir, "Fehler !", "Fehler beim Laden des MODs '" + name + "'");
        const std::string err = testing::internal::GetCapturedStderr();
        EXPECT_NE(err.find(("-mod:" + name).toStdString()), std::string::npos) << err;
        EXPECT_EQ(stores.RESSOURCEN.SlotCount(), 0);
    }
}

struct SwitchCase {
    const char* settings;   // the "game" section besides werbung
    const char* modConfig;  // keys of the MOD's config.ini, section "game"; null: no file
    bool sound;
    bool music;
};

TEST_F(StartupRun, TakesSoundAndMusicFromTheSettingsOrTheMod) {
    const SwitchCase cases[] = {
        {"sound=yes\r\n", "", true, false},
        {"sound=Yes\r\nmusic=YES\r\n", "sound=yes\r\nmusic=yes\r\n", false, false},
        {"sound=yes\r\nmusic=yes\r\n", "", true, true},
        {"sound=mod\r\nmusic=mod\r\n", "sound=yes\r\n", true, false},
        {"sound=mod\r\nmusic=mod\r\n", "sound=Yes\r\nmusic=yes\r\n", false, true},
        {"sound=no\r\nmusic=mod\r\n", "sound=yes\r\n", false, false},
        {"sound=Mod\r\n", "sound=yes\r\n", false, false},
        {"sound=mod\r\nmusic=mod\r\n", nullptr, false, false},
    };
    for (const SwitchCase& c : cases) {
        SCOPED_TRACE(c.settings);
        const GameDirectory dir;
        dir.WriteSettings(QByteArray("werbung=1\r\n") + c.settings);
        if (c.modConfig)
            dir.WriteText("mods/wolkfng4/config.ini", QByteArray("[game]\r\n") + c.modConfig);
        else
            dir.Remove("mods/wolkfng4/config.ini");
        Reset();
        Run(dir);
        EXPECT_EQ(menu.mnuSound.checked, c.sound);
        EXPECT_EQ(menu.mnuMusik.checked, c.music);
    }
}

}  // namespace
}  // namespace wf
