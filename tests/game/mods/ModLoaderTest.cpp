// The MOD loader over MOD directories written by the tests, plain and encoded.
#include <gtest/gtest.h>

#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <functional>
#include <limits>

#include "IniAccess.h"
#include "ModFiles.h"
#include "ModLoader.h"
#include "Paths.h"
#include "Text8.h"
#include "TextCipher.h"

namespace wf {
namespace {

using test::Snapshot;
using test::WriteDefinition;
using test::WriteFile;

// A MOD of two backgrounds: a picture with three extras and a colour with two.
struct TestMod {
    QStringList mod = {"[Allgemein]",   "Name=Testwelt", "[sfx]", "SchussSound=sfx\\schuss.wav",
                       "[Hintergrund]", "Anzahl=2"};
    QStringList bg1 = {"[hg]",
                       "name=Grüne Wiese",
                       "type=BMP",
                       "datei=bilder\\wiese.bmp",
                       "x=640",
                       "y=400",
                       "r=12",
                       "extra=3",
                       "[extra1]",
                       "gfx=e1.bmp",
                       "gfxx=100",
                       "gfxy=50",
                       "points=3",
                       "typ=static",
                       "gpts=5",
                       "destructable=true",
                       "p1x=6",
                       "p1y=3",
                       "p2x=7",
                       "p2y=3",
                       "p3x=8",
                       "p3y=4",
                       "[extra2]",
                       "gfx=e2.bmp",
                       "gfxx=10",
                       "gfxy=20",
                       "points=0",
                       "typ=sequenziell",
                       "gpts=12",
                       "destructable=FALSE",
                       "[extra3]",
                       "gfx=e3.gif",
                       "points=1",
                       "typ=static",
                       "destructable=-1",
                       "p1x=2",
                       "p1y=9"};
    QStringList bg2 = {"[hg]",           "name=Nacht",
                       "type=COLOR",     "datei=nicht.bmp",
                       "x=320",          "y=200",
                       "r=300",          "g=0",
                       "b=17",           "extra=2",
                       "[extra1]",       "gfx=a.bmp",
                       "points=1",       "typ=static",
                       "destructable=0", "p1x=1",
                       "p1y=1",          "[extra2]",
                       "gfx=b.bmp",      "points=2",
                       "typ=static",     "destructable=1",
                       "p1x=3",          "p1y=4",
                       "p2x=5",          "p2y=6",
                       "[extra3]",       "gfx=never.bmp",
                       "points=1",       "destructable=true"};

    void Write(const QString& dir, bool encoded) const {
        WriteFile(dir, "config.ini",
                  test::JoinLines({"[game]", encoded ? "type=code" : "type=plain", "sound=yes"}));
        WriteDefinition(dir, "mod", mod, encoded);
        WriteDefinition(dir, "1", bg1, encoded);
        WriteDefinition(dir, "2", bg2, encoded);
    }
};

void Replace(QStringList* lines, const QString& from, const QString& to) {
    const qsizetype i = lines->indexOf(from);
    ASSERT_GE(i, 0) << from.toStdString();
    (*lines)[i] = to;
}

class ModLoaderTest : public ::testing::TestWithParam<bool> {
  protected:
    QString Dir() const { return root.path() + "/mods/testwelt"; }
    bool Encoded() const { return GetParam(); }
    QTemporaryDir root;
};

void Put(QByteArray& out, quint32 value, int bytes) {
    for (int i = 0; i < bytes; ++i)
        out.append(static_cast<char>((value >> (8 * i)) & 0xFF));
}

// A bitmap that declares its size and holds no pixels: a size check reads
// no further than the header.
QByteArray BitmapHeader(int width, int height) {
    QByteArray b("BM");
    for (const int field : {54, 0, 54, 40, width, height})
        Put(b, static_cast<quint32>(field), 4);
    Put(b, 1, 2);   // planes
    Put(b, 24, 2);  // bits a pixel
    return b + QByteArray(24, '\0');
}

// A PCM WAV file of silence.
QByteArray Wave(int channels, int rate, int bits, int dataBytes) {
    QByteArray w("RIFF");
    Put(w, 36 + dataBytes, 4);
    w.append("WAVEfmt ");
    Put(w, 16, 4);
    Put(w, 1, 2);
    Put(w, channels, 2);
    Put(w, rate, 4);
    Put(w, rate * channels * bits / 8, 4);
    Put(w, channels * bits / 8, 2);
    Put(w, bits, 2);
    w.append("data");
    Put(w, dataBytes, 4);
    return w + QByteArray(dataBytes, '\x80');
}

TEST_P(ModLoaderTest, ReadsEveryFieldAndLeavesTheDirectoryAsItWas) {
    TestMod m;
    m.Write(Dir(), Encoded());
    // Stale plain twins in an encoded MOD must neither be read nor touched.
    if (Encoded()) {
        WriteFile(Dir(), "mod.ini", "[Allgemein]\r\nName=Alt\r\n[Hintergrund]\r\nAnzahl=1\r\n");
        WriteFile(Dir(), "1.ini", "[hg]\r\ntype=COLOR\r\n");
    }
    const auto before = Snapshot(Dir());

    const ModLoadResult r = LoadMod(Dir() + "/");
    ASSERT_TRUE(r.loaded) << r.detail.toStdString();
    EXPECT_EQ(Snapshot(Dir()), before);

    const ModDefinition& mod = r.mod;
    EXPECT_EQ(mod.modIsEncoded, Encoded());
    EXPECT_EQ(mod.modName, "Testwelt");
    EXPECT_EQ(mod.shotSoundFile, "sfx\\schuss.wav");
    EXPECT_EQ(mod.musicFile, "");  // missing key
    ASSERT_EQ(mod.backgroundCount, 2);

    const BackgroundDef& b1 = mod.backgrounds[1];
    EXPECT_EQ(b1.title, ToText8("Grüne Wiese"));
    EXPECT_TRUE(b1.isPicture);
    EXPECT_EQ(b1.pictureFile, "bilder\\wiese.bmp");
    EXPECT_EQ(b1.width, 640);
    EXPECT_EQ(b1.height, 400);
    EXPECT_EQ(b1.colour, QColor(0, 0, 0));  // colour keys are not read for pictures
    ASSERT_EQ(b1.extraCount, 3);

    const ExtraDef& e1 = b1.extras[1];
    EXPECT_EQ(e1.pictureFile, "e1.bmp");
    EXPECT_EQ(e1.x, 100);
    EXPECT_EQ(e1.y, 50);
    EXPECT_EQ(e1.extraKind, "static");
    EXPECT_EQ(e1.extraPoints, 5);
    EXPECT_TRUE(e1.destructable);
    ASSERT_EQ(e1.hitCellCount, 3);
    EXPECT_EQ(e1.hitCells[1].column, 6);
    EXPECT_EQ(e1.hitCells[2].column, 7);
    EXPECT_EQ(e1.hitCells[3].column, 8);  // p3x
    EXPECT_EQ(e1.hitCells[3].row, 4);     // p3y

    const ExtraDef& e2 = b1.extras[2];
    EXPECT_EQ(e2.extraKind, "sequenziell");
    EXPECT_EQ(e2.hitCellCount, 0);
    EXPECT_FALSE(e2.destructable);
    EXPECT_EQ(e2.extraPoints, 12);

    const ExtraDef& e3 = b1.extras[3];
    EXPECT_EQ(e3.pictureFile, "e3.gif");
    EXPECT_EQ(e3.x, 0);  // missing numbers read 0
    EXPECT_EQ(e3.extraPoints, 0);
    EXPECT_TRUE(e3.destructable);  // "-1"
    EXPECT_EQ(e3.hitCells[1].row, 9);

    const BackgroundDef& b2 = mod.backgrounds[2];
    EXPECT_EQ(b2.title, "Nacht");
    EXPECT_FALSE(b2.isPicture);
    EXPECT_EQ(b2.pictureFile, "");
    EXPECT_EQ(b2.width, 320);
    EXPECT_EQ(b2.height, 200);
    EXPECT_EQ(b2.colour, QColor(255, 0, 17));  // r 300 counts as 255
    ASSERT_EQ(b2.extraCount, 2);
    EXPECT_FALSE(b2.extras[1].destructable);
    EXPECT_TRUE(b2.extras[2].destructable);
    EXPECT_EQ(b2.extras[2].hitCells[2].column, 5);
    EXPECT_EQ(b2.extras[2].hitCells[2].row, 6);
    EXPECT_EQ(b2.extras[3].pictureFile, "");  // beyond the count: not read

    for (int i = 1; i <= 2; ++i) {
        for (int j = 1; j <= mod.backgrounds[i].extraCount; ++j) {
            EXPECT_EQ(mod.backgrounds[i].extras[j].extraTimer, 100);
        }
    }
    EXPECT_EQ(mod.backgrounds[3].title, "");
}

TEST_P(ModLoaderTest, TenBackgroundsAndTheLimitsLoad) {
    TestMod m;
    Replace(&m.mod, "Anzahl=2", "Anzahl=10");
    Replace(&m.bg1, "extra=3", "extra=5");
    Replace(&m.bg1, "points=3", "points=20");
    for (int j = 4; j <= 5; ++j) {
        m.bg1 << QString("[extra%1]").arg(j) << "destructable=true";
    }
    // The largest position, background, pictures and shot sound allowed.
    Replace(&m.bg1, "gfxx=100", "gfxx=1000000");
    Replace(&m.bg2, "x=320", "x=8192");
    Replace(&m.bg2, "y=200", "y=2048");
    m.Write(Dir(), Encoded());
    WriteFile(Dir(), "e1.bmp", BitmapHeader(4096, 4096));
    WriteFile(Dir(), "e2.bmp", BitmapHeader(4096, 4096));
    WriteFile(Dir(), "sfx/schuss.wav", Wave(8, 4000, 8, 10 * 4000 * 8));
    for (int i = 3; i <= 10; ++i)
        WriteDefinition(Dir(), QString::number(i), m.bg2, Encoded());
    WriteDefinition(Dir(), "11", {"[hg]", "type=kaputt"}, Encoded());  // beyond the count

    const ModLoadResult r = LoadMod(Dir());
    ASSERT_TRUE(r.loaded) << r.detail.toStdString();
    EXPECT_EQ(r.mod.backgroundCount, 10);
    EXPECT_EQ(r.mod.backgrounds[1].extraCount, 5);
    EXPECT_EQ(r.mod.backgrounds[1].extras[1].hitCellCount, 20);
    EXPECT_EQ(r.mod.backgrounds[10].colour, QColor(255, 0, 17));
    EXPECT_EQ(r.mod.backgrounds[1].extras[1].x, 1000000);
    EXPECT_EQ(r.mod.backgrounds[2].width, 8192);
}

struct Refused {
    const char* name;
    std::function<void(TestMod*)> change;
    std::function<void(const QString& dir, bool encoded)> files;  // after writing
    QString title;
    QString text;
    QString detail;  // "%1" stands for the file ending, ini or cod
};

const QString kFaulty = QStringLiteral("Fehler beim Laden des MODs 'Testwelt'");

TEST_P(ModLoaderTest, RefusesFaultyModsNamingFileAndKey) {
    const auto none = [](const QString&, bool) {};
    const std::vector<Refused> cases = {
        {"eleven backgrounds", [](TestMod* m) { Replace(&m->mod, "Anzahl=2", "Anzahl=11"); }, none,
         "Fehler!",
         "Geladener MOD 'Testwelt' wird nicht von dieser Wolkenfang Version unterstützt!!!",
         "mod.%1 [Hintergrund] Anzahl: 11"},
        {"type in small letters", [](TestMod* m) { Replace(&m->bg2, "type=COLOR", "type=color"); },
         none, "Fehler !", kFaulty, "2.%1 [hg] type: \"color\""},
        {"type missing", [](TestMod* m) { Replace(&m->bg1, "type=BMP", "; kein Typ"); }, none,
         "Fehler !", kFaulty, "1.%1 [hg] type: \"\""},
        {"six extras", [](TestMod* m) { Replace(&m->bg1, "extra=3", "extra=6"); }, none, "Fehler !",
         kFaulty, "1.%1 [hg] extra: 6"},
        {"21 hit cells", [](TestMod* m) { Replace(&m->bg2, "points=2", "points=21"); }, none,
         "Fehler !", kFaulty, "2.%1 [extra2] points: 21"},
        {"negative background count", [](TestMod* m) { Replace(&m->mod, "Anzahl=2", "Anzahl=-3"); },
         none, "Fehler !", kFaulty, "mod.%1 [Hintergrund] Anzahl: \"-3\" ist negativ"},
        {"negative extra count", [](TestMod* m) { Replace(&m->bg1, "extra=3", "extra=-1"); }, none,
         "Fehler !", kFaulty, "1.%1 [hg] extra: \"-1\" ist negativ"},
        {"negative hit cells", [](TestMod* m) { Replace(&m->bg1, "points=1", "points=-2"); }, none,
         "Fehler !", kFaulty, "1.%1 [extra3] points: \"-2\" ist negativ"},
        {"destructable not Boolean",
         [](TestMod* m) { Replace(&m->bg1, "destructable=FALSE", "destructable=vielleicht"); },
         none, "Fehler !", kFaulty,
         "1.%1 [extra2] destructable: \"vielleicht\" ist kein Wahrheitswert"},
        {"destructable missing",
         [](TestMod* m) { Replace(&m->bg2, "destructable=1", "destructable="); }, none, "Fehler !",
         kFaulty, "2.%1 [extra2] destructable: fehlt"},
        {"background file missing", nullptr,
         [](const QString& dir, bool enc) { QFile::remove(dir + (enc ? "/2.cod" : "/2.ini")); },
         "Fehler !", kFaulty, "2.%1: Datei fehlt"},
        {"background file empty", nullptr,
         [](const QString& dir, bool enc) { WriteFile(dir, enc ? "1.cod" : "1.ini", ""); },
         "Fehler !", kFaulty, "1.%1: Datei fehlt oder ist leer"},
        // Values the game cannot honour safely.
        {"extra far to the right",
         [](TestMod* m) { Replace(&m->bg1, "gfxx=100", "gfxx=2147483648"); }, none, "Fehler !",
         kFaulty, "1.%1 [extra1] gfxx: 2147483648 ist mehr als erlaubt (höchstens 1000000)"},
        {"extra far down", [](TestMod* m) { Replace(&m->bg1, "gfxy=50", "gfxy=1000001"); }, none,
         "Fehler !", kFaulty, "1.%1 [extra1] gfxy: 1000001"},
        {"hit cell far out", [](TestMod* m) { Replace(&m->bg1, "p3x=8", "p3x=99999999999"); }, none,
         "Fehler !", kFaulty, "1.%1 [extra1] p3x: 99999999999"},
        {"colour background too wide", [](TestMod* m) { Replace(&m->bg2, "x=320", "x=20000"); },
         none, "Fehler !", kFaulty, "2.%1 [hg] x: 20000 ist mehr als erlaubt (höchstens 8192)"},
        {"colour background too large",
         [](TestMod* m) {
             Replace(&m->bg2, "x=320", "x=8000");
             Replace(&m->bg2, "y=200", "y=8000");
         },
         none, "Fehler !", kFaulty, "2.%1 [hg] x, y: 8000 × 8000 Bildpunkte"},
        {"extra picture too large", nullptr,
         [](const QString& dir, bool) { WriteFile(dir, "e2.bmp", BitmapHeader(5700, 5700)); },
         "Fehler !", kFaulty, "1.%1 [extra2] gfx: e2.bmp: 5700 × 5700 Bildpunkte"},
        {"background picture too wide", nullptr,
         [](const QString& dir, bool) {
             WriteFile(dir, "bilder/wiese.bmp", BitmapHeader(8193, 10));
         },
         "Fehler !", kFaulty, "1.%1 [hg] datei: bilder\\wiese.bmp: 8193 × 10"},
        {"pictures beyond the budget", nullptr,
         [](const QString& dir, bool) {
             // Each within the limit of one picture, all three not.
             for (const char* name : {"e1.bmp", "e2.bmp", "e3.gif"})
                 WriteFile(dir, name, BitmapHeader(4096, 4096));
         },
         "Fehler !", kFaulty, "1.%1 [extra3] gfx: e3.gif: alle Bilder des MODs zusammen"},
        {"shot sound of 1 Hz", nullptr,
         [](const QString& dir, bool) { WriteFile(dir, "sfx/schuss.wav", Wave(1, 1, 8, 7000)); },
         "Fehler !", kFaulty, "mod.%1 [sfx] SchussSound: sfx\\schuss.wav: Abtastrate 1 Hz"},
        {"shot sound too long", nullptr,
         [](const QString& dir, bool) {
             WriteFile(dir, "sfx/schuss.wav", Wave(1, 4000, 8, 11 * 4000));
         },
         "Fehler !", kFaulty, "schuss.wav: 11 Sekunden sind länger als erlaubt"},
        // The count is checked before any background file is looked for.
        {"eleven backgrounds with files missing",
         [](TestMod* m) { Replace(&m->mod, "Anzahl=2", "Anzahl=11"); },
         [](const QString& dir, bool enc) { QFile::remove(dir + (enc ? "/1.cod" : "/1.ini")); },
         "Fehler!",
         "Geladener MOD 'Testwelt' wird nicht von dieser Wolkenfang Version unterstützt!!!",
         "Anzahl"},
    };
    const QString ext = Encoded() ? "cod" : "ini";
    for (const Refused& c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir dir;
        TestMod m;
        if (c.change)
            c.change(&m);
        m.Write(dir.path(), Encoded());
        c.files(dir.path(), Encoded());
        const auto before = Snapshot(dir.path());
        const ModLoadResult r = LoadMod(dir.path());
        EXPECT_FALSE(r.loaded);
        EXPECT_EQ(r.icon, MsgIcon::Exclamation);
        EXPECT_EQ(r.title, c.title);
        EXPECT_EQ(r.text, c.text);
        EXPECT_TRUE(r.detail.contains(c.detail.arg(ext))) << r.detail.toStdString();
        EXPECT_EQ(Snapshot(dir.path()), before);
    }
}

INSTANTIATE_TEST_SUITE_P(PlainAndEncoded, ModLoaderTest, ::testing::Bool(),
                         [](const auto& info) { return info.param ? "Encoded" : "Plain"; });

TEST(ModLoader, DestructableFollowsTheBooleanRules) {
    const std::vector<std::pair<QString, int>> table = {
        {"true", 1}, {"TRUE", 1}, {"fAlSe", 0}, {"0", 0},   {"2", 1},  {"-1", 1},
        {"0.0", 0},  {"0.5", 1},  {"yes", -1},  {"1a", -1}, {"-", -1}, {"", -1}};
    for (const auto& [text, expected] : table) {
        SCOPED_TRACE(text.toStdString());
        QTemporaryDir dir;
        TestMod m;
        Replace(&m.bg1, "destructable=true", "destructable=" + text);
        m.Write(dir.path(), false);
        const ModLoadResult r = LoadMod(dir.path());
        ASSERT_EQ(r.loaded, expected >= 0) << r.detail.toStdString();
        if (r.loaded) {
            EXPECT_EQ(r.mod.backgrounds[1].extras[1].destructable, expected == 1);
        }
    }
}

TEST(ModLoader, OnlyTheExactWordCodeMeansEncoded) {
    QTemporaryDir dir;
    TestMod plain;
    plain.Write(dir.path(), false);
    TestMod other;
    Replace(&other.mod, "Name=Testwelt", "Name=Verschlüsselt");
    WriteDefinition(dir.path(), "mod", other.mod, true);
    WriteDefinition(dir.path(), "1", other.bg1, true);
    WriteDefinition(dir.path(), "2", other.bg2, true);

    for (const char* type : {"Code", "code ", "cod"}) {
        WriteFile(dir.path(), "config.ini", QByteArray("[GAME]\r\ntype=\"") + type + "\"\r\n");
        const ModLoadResult r = LoadMod(dir.path());
        ASSERT_TRUE(r.loaded) << type;
        // Blanks inside the quotes are kept, so "code " is not "code" either.
        EXPECT_EQ(r.mod.modName, "Testwelt") << type;
        EXPECT_FALSE(r.mod.modIsEncoded);
    }
    WriteFile(dir.path(), "config.ini", "[GAME]\r\nTYPE = code\r\n");
    const ModLoadResult r = LoadMod(dir.path());
    ASSERT_TRUE(r.loaded);
    EXPECT_EQ(r.mod.modName, ToText8("Verschlüsselt"));
}

TEST(ModLoader, AMissingModCodIsRefusedUnderTheDirectoryName) {
    QTemporaryDir root;
    const QString dir = root.path() + "/Bergwelt";
    TestMod m;
    m.Write(dir, true);
    QFile::remove(dir + "/mod.cod");
    testing::internal::CaptureStderr();
    const ModLoadResult r = LoadMod(dir);
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_FALSE(r.loaded);
    EXPECT_EQ(r.title, "Fehler !");
    EXPECT_EQ(r.text, "Fehler beim Laden des MODs 'Bergwelt'");
    EXPECT_EQ(err, "Wolkenfang: MOD 'Bergwelt': mod.cod: Datei fehlt oder ist leer\n");
}

TEST(ModLoader, APlainModWithoutModIniHasNoBackgrounds) {
    QTemporaryDir dir;
    WriteFile(dir.path(), "config.ini", "[game]\r\n");
    WriteDefinition(dir.path(), "1", TestMod().bg1, false);
    const ModLoadResult r = LoadMod(dir.path());
    ASSERT_TRUE(r.loaded);
    EXPECT_EQ(r.mod.modName, "");
    EXPECT_EQ(r.mod.backgroundCount, 0);
}

TEST(ModLoader, WritesOneDetailLineToStandardError) {
    QTemporaryDir dir;
    TestMod m;
    Replace(&m.bg1, "destructable=FALSE", "destructable=vielleicht");
    m.Write(dir.path(), true);
    testing::internal::CaptureStderr();
    const ModLoadResult r = LoadMod(dir.path());
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_FALSE(r.loaded);
    EXPECT_EQ(err,
              "Wolkenfang: MOD 'Testwelt': 1.cod [extra2] destructable: \"vielleicht\" ist kein "
              "Wahrheitswert\n");
}

TEST(ModLoader, NamesThatClimbOutOfTheModAreNeverResolved) {
    QTemporaryDir root;
    const QString dir = root.path() + "/mod";
    WriteFile(root.path(), "draussen.bmp", "BM");
    TestMod m;
    Replace(&m.bg1, "datei=bilder\\wiese.bmp", "datei=..\\draussen.bmp");
    Replace(&m.bg1, "gfx=e1.bmp", "gfx=bilder\\..\\..\\draussen.bmp");
    m.Write(dir, false);
    const ModLoadResult r = LoadMod(dir);
    ASSERT_TRUE(r.loaded);
    EXPECT_EQ(JoinStoredPath(dir, r.mod.backgrounds[1].pictureFile), "");
    EXPECT_EQ(JoinStoredPath(dir, r.mod.backgrounds[1].extras[1].pictureFile), "");
}

TEST(ModLoader, FindsDefinitionFilesWhateverTheirCapitals) {
    QTemporaryDir dir;
    TestMod m;
    m.Write(dir.path(), true);
    QFile::rename(dir.path() + "/mod.cod", dir.path() + "/MOD.COD");
    QFile::rename(dir.path() + "/config.ini", dir.path() + "/Config.INI");
    const ModLoadResult r = LoadMod(dir.path());
    ASSERT_TRUE(r.loaded) << r.detail.toStdString();
    EXPECT_TRUE(r.mod.modIsEncoded);
    EXPECT_EQ(ModConfigPath(dir.path()), dir.path() + "/Config.INI");
}

TEST(ModLoader, LoadsALargeBackgroundFileInTimeLinearInItsSize) {
    // Five extras of 20 hit cells (some 250 keys) and 9.9 MB of notes. The
    // load is compared with one reading of a single key of the same file,
    // which passes over it once: the bound holds on a slow or busy machine
    // and breaks as soon as each key costs a pass of its own.
    QTemporaryDir dir;
    TestMod m;
    m.bg1 = QStringList{"[hg]", "name=Gross", "type=COLOR", "x=640", "y=400", "extra=5"};
    for (int j = 1; j <= 5; ++j) {
        m.bg1 << QString("[extra%1]").arg(j) << "gfx=e.bmp"
              << "points=20"
              << "typ=static"
              << "destructable=true";
        for (int k = 1; k <= 20; ++k)
            m.bg1 << QString("p%1x=%2").arg(k).arg(j) << QString("p%1y=%2").arg(k).arg(k);
    }
    m.Write(dir.path(), false);
    QByteArray content = test::JoinLines(m.bg1 + QStringList{"[notizen]"});
    for (int i = 0; content.size() < 9900000; ++i)
        content += "zeile" + QByteArray::number(i) + "=Ein langer Kommentar zu diesem Bild\r\n";
    WriteFile(dir.path(), "1.ini", content);

    const auto fastest = [](const std::function<void()>& run) {
        qint64 best = std::numeric_limits<qint64>::max();
        for (int i = 0; i < 3; ++i) {
            QElapsedTimer clock;
            clock.start();
            run();
            best = std::min(best, clock.nsecsElapsed());
        }
        return best;
    };
    const qint64 onePass =
        fastest([&] { EXPECT_EQ(ReadIniText(dir.path() + "/1.ini", "hg", "x"), "640"); });
    const qint64 load = fastest([&] {
        const ModLoadResult r = LoadMod(dir.path());
        ASSERT_TRUE(r.loaded) << r.detail.toStdString();
        EXPECT_EQ(r.mod.backgrounds[1].extras[5].hitCells[20].row, 20);
    });
    EXPECT_LT(load, 20 * onePass) << "load " << load / 1000000 << " ms, one pass "
                                  << onePass / 1000000 << " ms";
}

TEST(DecodeModFile, DecodesLineByLineAndBlanksUndecodableLines) {
    const QByteArray key(kModKey);
    const QByteArray name = EncodeText("Name=Wald", key, true);
    const QByteArray count = EncodeText("Anzahl=7", key, true);
    // LF and CR LF line ends; a line of letters and a single group cannot be decoded.
    const QByteArray content = EncodeText("[Allgemein]", key, true) + "\n" + name +
                               "\r\nxyz\r\n123\r\n" + EncodeText("[Hintergrund]", key, true) +
                               "\r\n" + count;
    const QByteArray plain = DecodeModFile(content);
    EXPECT_EQ(plain, "[Allgemein]\r\nName=Wald\r\n\r\n\r\n[Hintergrund]\r\nAnzahl=7\r\n");
    EXPECT_EQ(ReadIniNumberFromBytes(plain, "Hintergrund", "Anzahl"), 7);
    EXPECT_EQ(DecodeModFile(""), "");
}

}  // namespace
}  // namespace wf
