// The settings file, the information text and the two MODs, read back from
// disk the way the game reads them.
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <iostream>
#include <set>

#include "FrameComposer.h"
#include "GameClock.h"
#include "GeneratedGame.h"
#include "IniAccess.h"
#include "IniText.h"
#include "NullGameHost.h"
#include "Paths.h"
#include "ScriptedRandom.h"
#include "Text8.h"
#include "Version.h"
#include "WorkingCopies.h"

namespace wf::assetgen::testing {
namespace {

QString GameIni() {
    return Generated().dir + "/game.ini";
}
QString ModDir(const QByteArray& name) {
    return Generated().dir + "/mods/" + QString::fromLatin1(name);
}

QByteArray Text(const QByteArray& content, const char* section, const char* key) {
    return ReadIniTextFromBytes(content, section, key);
}
int Number(const QByteArray& content, const char* section, const QByteArray& key) {
    return ReadIniNumberFromBytes(content, section, key);
}

TEST(GameSettings, MarkerSoundMusicAndBothMods) {
    EXPECT_FALSE(ReadIniText(GameIni(), "game", "werbung").isEmpty());
    EXPECT_EQ(ReadIniText(GameIni(), "game", "sound"), "mod");
    EXPECT_EQ(ReadIniText(GameIni(), "game", "music"), "mod");
    EXPECT_EQ(ReadIniNumber(GameIni(), "Mods", "ModAnzahl"), 2);
    EXPECT_EQ(ReadIniText(GameIni(), "Mods", "ModName1"), "wolkfng4");
    EXPECT_EQ(ReadIniText(GameIni(), "Mods", "ModName2"), "nachtflug");
}

TEST(TextFiles, Windows1252WithCrLf) {
    QStringList files = {"game.ini", "Info.txt"};
    for (const char* mod : {"wolkfng4", "nachtflug"}) {
        for (const QString& f : QDir(ModDir(mod)).entryList({"*.ini", "*.cod"})) {
            files.append(QStringLiteral("mods/%1/%2").arg(mod, f));
        }
    }
    EXPECT_GE(files.size(), 2 + 2 * 5);
    for (const QString& f : files) {
        const QByteArray bytes = ReadFileBytes(Generated().dir + "/" + f);
        ASSERT_FALSE(bytes.isEmpty()) << f.toStdString();
        EXPECT_TRUE(bytes.endsWith("\r\n")) << f.toStdString();
        for (qsizetype i = 0; i < bytes.size(); ++i) {
            ASSERT_FALSE(bytes[i] == '\n' && (i == 0 || bytes[i - 1] != '\r')) << f.toStdString();
            ASSERT_FALSE(bytes[i] == '\r' && (i + 1 == bytes.size() || bytes[i + 1] != '\n'));
        }
        // 8-bit text: round trips, and holds no UTF-8 sequences.
        EXPECT_EQ(ToText8(FromText8(bytes)), bytes) << f.toStdString();
        EXPECT_FALSE(bytes.contains("\xC3")) << f.toStdString() << " looks like UTF-8";
    }
    const QString info = FromText8(ReadFileBytes(Generated().dir + "/Info.txt"));
    for (const char* needle : {"6 Schuss", "2 Punkte", "7 Punkte", "rechte Maustaste", "Highscore",
                               kTitleText, "Benutzerdefiniert"}) {
        EXPECT_TRUE(info.contains(QString::fromUtf8(needle))) << needle;
    }
}

TEST(Mods, PlainAndSealedFormsAreWhereTheGameLooks) {
    const QString plain = ModDir("wolkfng4");
    EXPECT_EQ(ReadIniText(plain + "/config.ini", "game", "type"), "");
    EXPECT_TRUE(QFile::exists(plain + "/mod.ini"));
    EXPECT_FALSE(QFile::exists(plain + "/mod.cod"));
    const QString sealed = ModDir("nachtflug");
    EXPECT_EQ(ReadIniText(sealed + "/config.ini", "game", "type"), "code");
    EXPECT_TRUE(QFile::exists(sealed + "/mod.cod"));
    EXPECT_FALSE(QFile::exists(sealed + "/mod.ini"));
    const int n = ReadIniNumberFromBytes(ReadDefinition(sealed, "mod"), "Hintergrund", "Anzahl");
    EXPECT_GE(n, 4);
    for (int i = 1; i <= n; ++i) {
        EXPECT_TRUE(QFile::exists(sealed + QStringLiteral("/%1.cod").arg(i))) << i;
        EXPECT_FALSE(QFile::exists(sealed + QStringLiteral("/%1.ini").arg(i))) << i;
    }
    for (const QString& dir : {plain, sealed}) {
        EXPECT_EQ(ReadIniText(dir + "/config.ini", "game", "sound"), "yes");
        EXPECT_EQ(ReadIniText(dir + "/config.ini", "game", "music"), "yes");
    }
}

TEST(Mods, SealedLinesDecodeToThePlainText) {
    for (const BuiltMod& mod : Generated().data.mods) {
        if (!mod.plan.encoded)
            continue;
        const QString dir = ModDir(mod.plan.directory.toLatin1());
        std::vector<std::pair<QString, QStringList>> files = {{"mod", mod.modIni}};
        for (size_t i = 0; i < mod.backgroundInis.size(); ++i) {
            files.push_back({QString::number(i + 1), mod.backgroundInis[i]});
        }
        for (const auto& [name, lines] : files) {
            QByteArray expected = TextFileBytes(lines) + "\r\n";  // the reader's last, empty line
            EXPECT_EQ(ReadDefinition(dir, name), expected) << name.toStdString();
        }
    }
}

// One MOD checked as the game loads it; the summary feeds the cross-MOD checks.
struct ModSummary {
    int extras = 0;
    std::set<QByteArray> kinds;
    std::set<bool> destructable;
    int colourBackgrounds = 0;
};

ModSummary CheckMod(const QByteArray& name) {
    ModSummary sum;
    const QString dir = ModDir(name);
    const QByteArray mod = ReadDefinition(dir, "mod");
    EXPECT_FALSE(Text(mod, "Allgemein", "Name").isEmpty());
    EXPECT_GT(ReadFileBytes(JoinStoredPath(dir, Text(mod, "sfx", "SchussSound"))).size(), 44);
    EXPECT_GT(ReadFileBytes(JoinStoredPath(dir, Text(mod, "sfx", "Musik"))).size(), 14);
    const int n = Number(mod, "Hintergrund", "Anzahl");
    EXPECT_GE(n, 4);
    EXPECT_LE(n, 10);
    for (int i = 1; i <= n; ++i) {
        SCOPED_TRACE(name.toStdString() + " background " + std::to_string(i));
        const QByteArray bg = ReadDefinition(dir, QString::number(i));
        EXPECT_FALSE(Text(bg, "hg", "name").isEmpty());
        const int w = Number(bg, "hg", "x"), h = Number(bg, "hg", "y");
        EXPECT_EQ(QSize(w, h), QSize(800, 600));
        QImage scene;
        const QByteArray type = Text(bg, "hg", "type");
        if (type == "BMP") {
            scene = LoadPicture(JoinStoredPath(dir, Text(bg, "hg", "datei")));
            EXPECT_EQ(scene.size(), QSize(w, h)) << "a picture must have its declared size";
        } else {
            EXPECT_EQ(type, "COLOR");
            EXPECT_NE(i, 1) << "the first background must be a picture";
            scene = QImage(w, h, QImage::Format_RGB32);
            scene.fill(qRgb(Number(bg, "hg", "r"), Number(bg, "hg", "g"), Number(bg, "hg", "b")));
            ++sum.colourBackgrounds;
        }
        const int extras = Number(bg, "hg", "extra");
        EXPECT_GE(extras, 1);
        EXPECT_LE(extras, 5);
        for (int j = 1; j <= extras; ++j) {
            const QByteArray section = "extra" + QByteArray::number(j);
            SCOPED_TRACE(section.toStdString());
            const QImage pic = LoadPicture(JoinStoredPath(dir, Text(bg, section, "gfx")));
            EXPECT_FALSE(pic.isNull());
            if (pic.isNull())
                continue;
            const QRect box(Number(bg, section, "gfxx"), Number(bg, section, "gfxy"), pic.width(),
                            pic.height());
            EXPECT_TRUE(scene.rect().contains(box));
            ++sum.extras;
            sum.kinds.insert(Text(bg, section, "typ"));
            const QByteArray d = Text(bg, section, "destructable");
            EXPECT_TRUE(d == "true" || d == "false") << d.constData();
            sum.destructable.insert(d == "true");
            // Fair scoring: a shot costs 2. A target that stays can be hit
            // with every shot, so it must gain nothing; one that breaks, like
            // a bird, is worth aiming at.
            if (d == "true") {
                EXPECT_GT(Number(bg, section, "gpts"), 2);
            } else {
                EXPECT_LE(Number(bg, section, "gpts"), 2);
            }
            // Seamless: the picture is the scene under it, corners untouched.
            const QImage under = scene.copy(box);
            for (const QPoint& c :
                 {QPoint(0, 0), QPoint(box.width() - 1, 0), QPoint(0, box.height() - 1),
                  QPoint(box.width() - 1, box.height() - 1)}) {
                EXPECT_EQ(pic.pixel(c) & 0xFFFFFF, under.pixel(c) & 0xFFFFFF)
                    << c.x() << "," << c.y();
            }
            const int cells = Number(bg, section, "points");
            EXPECT_GE(cells, 1);
            EXPECT_LE(cells, 20);
            for (int k = 1; k <= cells; ++k) {
                const QRect cell(17 * Number(bg, section, "p" + QByteArray::number(k) + "x"),
                                 17 * Number(bg, section, "p" + QByteArray::number(k) + "y"), 17,
                                 17);
                EXPECT_TRUE(box.contains(cell)) << "cell " << k << " outside the picture";
                // The object must cover the cell: most of its pixels differ
                // from the bare scene.
                int changed = 0;
                for (int y = cell.top(); y <= cell.bottom(); ++y) {
                    for (int x = cell.left(); x <= cell.right(); ++x) {
                        const QPoint at(x - box.x(), y - box.y());
                        if (!pic.valid(at))
                            continue;
                        const QRgb a = pic.pixel(at), b = under.pixel(at);
                        changed += std::abs(qRed(a) - qRed(b)) + std::abs(qGreen(a) - qGreen(b)) +
                                       std::abs(qBlue(a) - qBlue(b)) >
                                   24;
                    }
                }
                EXPECT_GE(changed, 17 * 17 * 36 / 100) << "cell " << k << " hardly covered";
            }
        }
    }
    return sum;
}

TEST(Mods, BackgroundsAndExtrasHoldTogether) {
    const ModSummary summer = CheckMod("wolkfng4");
    EXPECT_GE(summer.extras, 6);
    EXPECT_EQ(summer.kinds, (std::set<QByteArray>{"static", "sequenziell"}));
    EXPECT_EQ(summer.destructable.size(), 2u);
    EXPECT_GE(summer.colourBackgrounds, 1);
    const ModSummary night = CheckMod("nachtflug");
    EXPECT_EQ(night.kinds, (std::set<QByteArray>{"static", "sequenziell"}));
}

// WCAG relative luminance of a colour.
double Luminance(double r, double g, double b) {
    const auto lin = [](double c) {
        c /= 255.0;
        return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * lin(r) + 0.7152 * lin(g) + 0.0722 * lin(b);
}

// The least contrast against black text of the 8 × 8 blocks (on the frame's
// own grid) of background that meet box.
double LeastContrastBehind(const QImage& background, const QRect& box) {
    double least = 21;
    for (int by = box.top() / 8 * 8; by <= box.bottom(); by += 8) {
        for (int bx = box.left() / 8 * 8; bx <= box.right(); bx += 8) {
            const QRect block = QRect(bx, by, 8, 8).intersected(background.rect());
            double r = 0, g = 0, b = 0;
            for (int y = block.top(); y <= block.bottom(); ++y) {
                for (int x = block.left(); x <= block.right(); ++x) {
                    const QRgb c = background.pixel(x, y);
                    r += qRed(c);
                    g += qGreen(c);
                    b += qBlue(c);
                }
            }
            const double n = static_cast<double>(block.width()) * block.height();
            least = std::min(least, (Luminance(r / n, g / n, b / n) + 0.05) / 0.05);
        }
    }
    return least;
}

// Bounding box of the pixels of frame that differ from background within
// the half of the frame given.
QRect ChangedBox(const QImage& frame, const QImage& background, bool rightHalf) {
    QRect box;
    const int x0 = rightHalf ? frame.width() / 2 : 0;
    for (int y = 0; y < frame.height(); ++y) {
        for (int x = x0; x < x0 + frame.width() / 2; ++x) {
            if ((frame.pixel(x, y) & 0xFFFFFF) != (background.pixel(x, y) & 0xFFFFFF))
                box |= QRect(x, y, 1, 1);
        }
    }
    return box;
}

// The clock and the score are black (a fixed rule of the game), so every
// background keeps the area behind them light: 4.5:1 against black for
// every 8 × 8 block behind their boxes, as the game draws them in the window
// and on a 1920 × 1080 screen (from the hd twin there).
TEST(Mods, TheClockAndTheScoreAreReadableOnEveryBackground) {
    const QString game = Generated().dir;
    const char* const sprites[] = {"Munition.jpg", "Cursor.jpg",  "Maske.jpg",  nullptr,
                                   "Vogel.jpg",    "Vogelsw.jpg", "Vogelu.jpg", "Vogelusw.jpg"};
    HdTwins twins;
    int measured = 0;
    for (const char* name : {"wolkfng4", "nachtflug"}) {
        const QString dir = ModDir(name);
        const int n = Number(ReadDefinition(dir, "mod"), "Hintergrund", "Anzahl");
        for (int i = 1; i <= n; ++i) {
            const QByteArray bg = ReadDefinition(dir, QString::number(i));
            const QString title = FromText8(Text(bg, "hg", "name"));
            PictureStores stores;
            for (int slot = 1; slot <= 8; ++slot) {
                stores.RESSOURCEN.NewSlot();
                if (sprites[slot - 1]) {
                    stores.RESSOURCEN.LoadSlotPicture(
                        slot, game + "/Grafiken/" + QString::fromLatin1(sprites[slot - 1]));
                }
            }
            if (Text(bg, "hg", "type") == "BMP") {
                ASSERT_EQ(stores.RESSOURCEN.LoadSlotPicture(
                              4, JoinStoredPath(dir, Text(bg, "hg", "datei"))),
                          1);
            } else {
                stores.RESSOURCEN.SetSlotSize(4, 800, 600);
                stores.RESSOURCEN.SlotDC(4)->fill(
                    qRgb(Number(bg, "hg", "r"), Number(bg, "hg", "g"), Number(bg, "hg", "b")));
            }
            for (const QSize screen : {QSize(), QSize(1920, 1080)}) {
                NullGameHost host;
                host.window = QImage(800, 600, QImage::Format_RGB32);
                GameState state;
                state.selectedBackground = 0;
                state.magazine = 0;
                state.secondsLeft = 359;  // "5.59", as wide as any clock
                state.score = -888;
                if (screen.isEmpty()) {
                    ASSERT_TRUE(MakeWindowCopies(stores));
                } else {
                    host.screen = screen;
                    host.full = QImage(screen, QImage::Format_RGB32);
                    state.drawTarget = DrawTarget::FullScreenSurface;
                    state.scaleX = FixedScale::Ratio(screen.width(), 800);
                    state.scaleY = FixedScale::Ratio(screen.height(), 600);
                    ASSERT_TRUE(MakeStretchedCopies(stores, state.scaleX, state.scaleY, &twins));
                }
                UpdateCountdown(state);
                FrameComposer(state, stores, host).ComposeFrame();
                const QImage& frame = screen.isEmpty() ? host.window : host.full;
                const QImage& background = *stores.RESSOURCEN2.SlotDC(4);
                ASSERT_EQ(frame.size(), background.size());
                for (bool score : {false, true}) {
                    const QRect box = ChangedBox(frame, background, score);
                    ASSERT_FALSE(box.isEmpty()) << "no text drawn";
                    const double least = LeastContrastBehind(background, box);
                    std::cout << "[ measured ] " << name << " " << title.toStdString() << " "
                              << frame.width() << "x" << frame.height()
                              << (score ? " score " : " clock ") << least << ":1\n";
                    EXPECT_GE(least, 4.5) << name << " " << title.toStdString() << " "
                                          << frame.width() << (score ? " score" : " clock");
                    ++measured;
                }
            }
        }
    }
    EXPECT_GE(measured, 2 * 4 * 2 * 2);
}

TEST(Writing, LeftoversOfTheOtherFormAreRemoved) {
    // As after sealing the default MOD with the encoder, or after the game
    // stopped while a sealed MOD's plain twins were on disk.
    QTemporaryDir dir;
    QDir().mkpath(dir.path() + "/mods/wolkfng4");
    QDir().mkpath(dir.path() + "/mods/nachtflug");
    const QStringList leftovers = {"mods/wolkfng4/mod.cod", "mods/wolkfng4/3.cod",
                                   "mods/nachtflug/mod.ini", "mods/nachtflug/1.ini"};
    for (const QString& f : leftovers) {
        QFile file(dir.path() + "/" + f);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("old\r\n");
    }
    QString error;
    ASSERT_TRUE(WriteGameData(Generated().data, dir.path(), &error)) << error.toStdString();
    for (const QString& f : leftovers)
        EXPECT_FALSE(QFile::exists(dir.path() + "/" + f)) << f.toStdString();
    EXPECT_EQ(ReadIniText(dir.path() + "/mods/wolkfng4/config.ini", "game", "type"), "");
}

}  // namespace
}  // namespace wf::assetgen::testing
