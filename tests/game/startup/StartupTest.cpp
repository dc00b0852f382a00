#include <SDL_mixer.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QStringList>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <thread>

#include "FileLimits.h"
#include "FluidMusic.h"
#include "GameDirectory.h"
#include "ScriptedPlatform.h"
#include "SdlSound.h"
#include "Startup.h"
#include "TextCipher.h"

namespace wf {
namespace {

using test::BackgroundSpec;
using test::GameDirectory;

const QString kLongText = QStringLiteral(
    "Wichtige Grafikdateien wurden nicht gefunden !\r\n\r\n- Überprüfen sie ob sie das Programm "
    "entzippt haben , falls nicht entzippen sie es !\r\n- Es können bei manchen Systemen Fehler "
    "auftreten , in diesem Fall unterrichten sie mich bitte !\r\n\r\n Das Programm wird beendet .");

// Ends the test program, naming the case, when it is not over in time: a read
// that blocks on a FIFO would otherwise hang the test for ever.
class Watchdog {
  public:
    Watchdog(std::string what, int seconds)
        : thread_([this, what = std::move(what), seconds] {
              std::unique_lock lock(mutex_);
              if (!over_.wait_for(lock, std::chrono::seconds(seconds), [this] { return done_; })) {
                  std::fprintf(stderr, "hangs: %s\n", what.c_str());
                  std::abort();
              }
          }) {}
    ~Watchdog() {
        {
            std::lock_guard lock(mutex_);
            done_ = true;
        }
        over_.notify_all();
        thread_.join();
    }

  private:
    std::mutex mutex_;
    std::condition_variable over_;
    bool done_ = false;
    std::thread thread_;
};

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

TEST_F(StartupRun, APictureThatExtrasShareIsDecodedOnce) {
    const GameDirectory dir;
    QByteArray ini = "[hg]\r\nname=a\r\ntype=BMP\r\ndatei=hg1.png\r\nx=40\r\ny=30\r\nextra=3\r\n";
    for (int j = 1; j <= 3; ++j) {
        ini += "[extra" + QByteArray::number(j) +
               "]\r\ngfx=" + (j == 2 ? "GROSS.png" : "gross.png") +
               "\r\npoints=0\r\ntyp=static\r\ndestructable=0\r\n";
    }
    dir.WriteText("mods/wolkfng4/1.ini", ini);
    dir.WritePicture("mods/wolkfng4/gross.png", 300, 200, Qt::yellow);
    Run(dir);
    ASSERT_TRUE(platform.messages.isEmpty());
    const qint64 picture = stores.RESSOURCEN.SlotDC(22)->cacheKey();
    for (int slot = 23; slot <= 24; ++slot)
        EXPECT_EQ(stores.RESSOURCEN.SlotDC(slot)->cacheKey(), picture) << slot;
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

TEST_F(StartupRun, NoFileThatTheGameReadsCanHangItOrBeReadEndlessly) {
    enum Outcome { Fatal, Graphics, Refused, Skipped };
    const struct {
        const char* file;  // below the game directory
        qint64 limit;
        Outcome outcome;
        const char* refusedAs;  // the MOD's name in the refusal
        bool encoded = false;
    } kinds[] = {
        {"game.ini", kMaxDefinitionFileBytes, Fatal, ""},
        {"mods/wolkfng4/config.ini", kMaxDefinitionFileBytes, Refused, "wolkfng4"},
        {"mods/wolkfng4/mod.ini", kMaxDefinitionFileBytes, Refused, "wolkfng4"},
        {"mods/wolkfng4/1.ini", kMaxDefinitionFileBytes, Refused, "Testwelt"},
        {"mods/wolkfng4/mod.cod", kMaxDefinitionFileBytes, Refused, "wolkfng4", true},
        {"mods/wolkfng4/1.cod", kMaxDefinitionFileBytes, Refused, "Testwelt", true},
        {"mods/wolkfng4/hg1.png", kMaxPictureFileBytes, Refused, "Testwelt"},
        {"mods/wolkfng4/extra1_1.png", kMaxPictureFileBytes, Refused, "Testwelt"},
        {"Grafiken/Cursor.jpg", kMaxPictureFileBytes, Graphics, ""},
        {"mods/wolkfng4/schuss.wav", kMaxSoundFileBytes, Skipped, ""},
        {"mods/wolkfng4/musik.mid", kMaxMusicFileBytes, Skipped, ""},
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
    const QString marker = QStringLiteral(
        "Beim Laden von Wolkenfang ist ein schwerwiegender Fehler aufgetreten !!! Programm wird "
        "beendet.");
    for (const auto& kind : kinds) {
        for (const auto& fault : faults) {
            const std::string what = std::string(kind.file) + " as " + fault.what;
            SCOPED_TRACE(what);
            const GameDirectory dir({{"Wiese", "BMP", 40, 30, 1}});
            const QString mod = dir.ModPath();
            if (kind.encoded) {
                dir.WriteText("mods/wolkfng4/config.ini", "[game]\r\ntype=code\r\n");
                QFile plain(mod + "/mod.ini");
                ASSERT_TRUE(plain.open(QIODevice::ReadOnly));
                QByteArray sealed;
                for (const QByteArray& line : plain.readAll().split('\n')) {
                    if (!line.trimmed().isEmpty())
                        sealed += EncodeText(line.trimmed(), kModKey, true) + "\r\n";
                }
                dir.WriteText("mods/wolkfng4/mod.cod", sealed);
            }
            const QString path = dir.Path() + "/" + kind.file;
            QFile::remove(path);
            fault.make(path, kind.limit);
            Reset();

            const Watchdog watchdog(what, 10);
            testing::internal::CaptureStderr();
            if (kind.outcome == Fatal) {
                ExpectFailure(dir, "Fehler", marker);
            } else if (kind.outcome == Graphics) {
                ExpectFailure(dir, "Fehler !", kLongText);
            } else if (kind.outcome == Refused) {
                ExpectFailure(
                    dir, "Fehler !",
                    QStringLiteral("Fehler beim Laden des MODs '%1'").arg(kind.refusedAs));
            } else {
                Run(dir);
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
            if (kind.outcome == Refused || kind.outcome == Skipped) {
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
