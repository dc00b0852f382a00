// The MOD loader over MODs written by the tests, plain and encoded, and what
// it takes of the pictures and sounds they name.
#include <gtest/gtest.h>

#include <QFile>
#include <QImage>
#include <functional>

#include "FileLimits.h"
#include "GameFiles.h"
#include "IniAccess.h"
#include "ModLoader.h"
#include "ModMedia.h"
#include "TextCipher.h"

namespace wf {
namespace {

using test::GameFiles;
using test::Lines;
using test::ModDraft;
using test::Set;

// Little-endian fields of the given widths in bytes.
QByteArray Le(std::initializer_list<std::pair<qint64, int>> fields) {
    QByteArray out;
    for (const auto& [value, bytes] : fields) {
        for (int i = 0; i < bytes; ++i)
            out.append(static_cast<char>((value >> (8 * i)) & 0xFF));
    }
    return out;
}

// A bitmap that declares its size and holds no pixels: a size check reads
// no further than the header.
QByteArray BitmapHeader(int width, int height) {
    return "BM" +
           Le({{54, 4}, {0, 4}, {54, 4}, {40, 4}, {width, 4}, {height, 4}, {1, 2}, {24, 2}}) +
           QByteArray(24, '\0');
}

// A WAV file: an odd chunk (padded to an even length) before a format chunk
// of 16 bytes (40 with the sub-format of an extensible one, 26 when it ends
// right after the sub-format's tag) and a data chunk.
QByteArray Wave(int tag, int channels, int rate, int bits, int dataBytes, int sub = 0,
                bool shortSub = false) {
    QByteArray fmt = Le({{tag, 2},
                         {channels, 2},
                         {rate, 4},
                         {rate * channels * bits / 8, 4},
                         {channels * bits / 8, 2},
                         {bits, 2}});
    if (sub)
        fmt += Le({{22, 2}, {bits, 2}, {0, 4}, {sub, 2}}) + QByteArray(shortSub ? 0 : 14, '\0');
    return "RIFF" + Le({{4 + 8 + fmt.size() + 8 + dataBytes, 4}}) + "WAVELIST" + Le({{3, 4}}) +
           QByteArray("abc\0", 4) + "fmt " + Le({{fmt.size(), 4}}) + fmt + "data" +
           Le({{dataBytes, 4}}) + QByteArray(dataBytes, '\x80');
}

class ModLoaderTest : public ::testing::TestWithParam<bool> {
  protected:
    bool Encoded() const { return GetParam(); }
    ModDraft Mod(const QList<test::BackgroundDraft>& bgs = {{"BMP", 640, 400, 2},
                                                            {"COLOR", 320, 200, 1}}) const {
        ModDraft draft = test::MakeMod(bgs);
        draft.encoded = Encoded();
        return draft;
    }
    QString Ext() const { return Encoded() ? "cod" : "ini"; }
    GameFiles game;
};

TEST_P(ModLoaderTest, ReadsEveryFieldAndLeavesTheDirectoryAsItWas) {
    ModDraft draft = Mod();
    Lines& bg1 = draft.backgrounds[0];
    for (const auto& [key, value] : {std::pair{"points", "3"},
                                     {"p2x", "7"},
                                     {"p2y", "3"},
                                     {"p3x", "8"},
                                     {"p3y", "4"},
                                     {"gpts", "7"}})
        Set(bg1, "extra1", key, value);
    Set(draft.mod, "sfx", "Musik", "");
    Set(draft.backgrounds[0], "extra1", "destructable", "+0.5");  // a number: any other is true
    Set(draft.backgrounds[0], "extra2", "destructable", "0.0");   // a number: zero is false
    Set(draft.backgrounds[1], "extra1", "destructable", "TRUE");
    game.WriteMod("welt", draft);
    // Stale plain twins in an encoded MOD must neither be read nor touched.
    if (Encoded()) {
        game.Write("mods/welt/mod.ini",
                   Lines{"[Allgemein]", "Name=Alt", "[Hintergrund]", "Anzahl=1"});
        game.Write("mods/welt/1.ini", Lines{"[hg]", "type=COLOR"});
    }
    const auto before = game.Snapshot();
    const ModLoadResult r = LoadMod(game.ModPath("welt") + "/");
    ASSERT_TRUE(r.loaded) << r.detail.toStdString();
    EXPECT_EQ(game.Snapshot(), before);

    const ModDefinition& mod = r.mod;
    EXPECT_TRUE(mod.modIsEncoded == Encoded() && mod.modName == "Testwelt");
    EXPECT_TRUE(mod.shotSoundFile == "schuss.wav" && mod.musicFile.isEmpty());
    ASSERT_EQ(mod.backgroundCount, 2);
    const BackgroundDef& b1 = mod.backgrounds[1];
    EXPECT_EQ(b1.title, "Hintergrund 1 \xC4");
    EXPECT_TRUE(b1.isPicture && b1.pictureFile == "bilder\\hg1.png");
    EXPECT_EQ(QSize(b1.width, b1.height), QSize(640, 400));
    EXPECT_EQ(b1.colour, QColor(0, 0, 0));  // colour keys are not read for pictures
    const BackgroundDef& b2 = mod.backgrounds[2];
    EXPECT_TRUE(!b2.isPicture && b2.pictureFile.isEmpty());
    EXPECT_EQ(QSize(b2.width, b2.height), QSize(320, 200));
    EXPECT_EQ(b2.colour, QColor(10, 20, 255));  // b 300 counts as 255
    for (int i = 1; i <= 2; ++i) {
        ASSERT_EQ(mod.backgrounds[i].extraCount, 3 - i);
        for (int j = 1; j <= 3 - i; ++j) {
            SCOPED_TRACE(testing::Message() << "extra " << i << "." << j);
            const ExtraDef& e = mod.backgrounds[i].extras[j];
            EXPECT_EQ(e.pictureFile, test::ExtraPicture(i, j));
            EXPECT_EQ(QPoint(e.x, e.y), QPoint(10 * j, 5 * i));
            EXPECT_EQ(QPoint(e.hitCells[1].column, e.hitCells[1].row), QPoint(j, i));
            EXPECT_EQ(e.extraKind, j == 1 ? "static" : "sequenziell");
            EXPECT_EQ(e.extraPoints, i == 1 && j == 1 ? 7 : 15);
            EXPECT_EQ(e.destructable, j == 1);
            EXPECT_EQ(e.extraTimer, kExtraTimerPeriod);
        }
    }
    const ExtraDef& e1 = b1.extras[1];
    ASSERT_EQ(e1.hitCellCount, 3);
    EXPECT_EQ(QPoint(e1.hitCells[2].column, e1.hitCells[2].row), QPoint(7, 3));
    EXPECT_EQ(QPoint(e1.hitCells[3].column, e1.hitCells[3].row), QPoint(8, 4));
}

TEST_P(ModLoaderTest, TenBackgroundsAndTheLimitsLoad) {
    ModDraft draft = Mod(QList<test::BackgroundDraft>(10, {"COLOR", 8192, 2048, 0}));
    Lines& bg1 = draft.backgrounds[0] = Mod({{"BMP", 640, 400, 5}}).backgrounds[0];
    Set(bg1, "extra1", "points", "20");
    Set(bg1, "extra1", "gfxx", "1000000");
    draft.backgrounds << Lines{"[hg]", "type=kaputt"};  // beyond the count
    game.WriteMod("welt", draft, false);
    // The largest extra pictures and shot sound allowed.
    game.Write("mods/welt/" + test::ExtraPicture(1, 1), BitmapHeader(4096, 4096));
    game.Write("mods/welt/" + test::ExtraPicture(1, 2), BitmapHeader(4096, 4096));
    game.Write("mods/welt/schuss.wav", Wave(1, 8, 4000, 8, 10 * 4000 * 8));
    const ModLoadResult r = LoadMod(game.ModPath("welt"));
    ASSERT_TRUE(r.loaded) << r.detail.toStdString();
    EXPECT_EQ(r.mod.backgroundCount, 10);
    EXPECT_EQ(r.mod.backgrounds[1].extraCount, 5);
    EXPECT_EQ(r.mod.backgrounds[1].extras[1].hitCellCount, 20);
    EXPECT_EQ(r.mod.backgrounds[1].extras[1].x, 1000000);
    EXPECT_EQ(r.mod.backgrounds[10].width, 8192);
}

// Each refusal names file, section and key in its detail, which also goes
// to standard error; the directory is left as it was.
TEST_P(ModLoaderTest, RefusesHostileValuesNamingFileAndKey) {
    const auto set = [](int file, const char* section, const char* key, const char* value) {
        return
            [=](ModDraft& s) { Set(file ? s.backgrounds[file - 1] : s.mod, section, key, value); };
    };
    const QByteArray huge = BitmapHeader(4096, 4096);
    struct Case {
        const char* name;
        std::function<void(ModDraft&)> change;
        QList<std::pair<QString, QByteArray>> files;  // "%1": ini or cod; null bytes: removed
        QString detail;
    };
    const std::vector<Case> cases = {
        {"eleven backgrounds",
         set(0, "Hintergrund", "Anzahl", "11"),
         {},
         "mod.%1 [Hintergrund] Anzahl: 11"},
        {"type in small letters", set(2, "hg", "type", "color"), {}, "2.%1 [hg] type: \"color\""},
        {"type missing", set(1, "hg", "type", ""), {}, "1.%1 [hg] type: \"\""},
        {"six extras", set(1, "hg", "extra", "6"), {}, "1.%1 [hg] extra: 6"},
        {"21 hit cells", set(2, "extra1", "points", "21"), {}, "2.%1 [extra1] points: 21"},
        {"negative count",
         set(0, "Hintergrund", "Anzahl", "-3"),
         {},
         "mod.%1 [Hintergrund] Anzahl: \"-3\" ist negativ"},
        {"destructable not Boolean",
         set(1, "extra2", "destructable", "vielleicht"),
         {},
         "1.%1 [extra2] destructable: \"vielleicht\" ist kein Wahrheitswert"},
        {"destructable 1a", set(2, "extra1", "destructable", "1a"), {}, "destructable: \"1a\""},
        {"destructable of two points",
         set(2, "extra1", "destructable", "1.0.1"),
         {},
         "destructable: \"1.0.1\""},
        {"destructable missing",
         set(2, "extra1", "destructable", ""),
         {},
         "2.%1 [extra1] destructable: fehlt"},
        {"background file missing", nullptr, {{"2.%1", QByteArray()}}, "2.%1: Datei fehlt"},
        {"background file empty", nullptr, {{"1.%1", ""}}, "1.%1: Datei fehlt oder ist leer"},
        {"extra far to the right",
         set(1, "extra1", "gfxx", "2147483648"),
         {},
         "1.%1 [extra1] gfxx: 2147483648 ist mehr als erlaubt (höchstens 1000000)"},
        {"extra far down", set(1, "extra1", "gfxy", "1000001"), {}, "1.%1 [extra1] gfxy: 1000001"},
        {"hit cell far out",
         set(1, "extra2", "p1y", "99999999999"),
         {},
         "1.%1 [extra2] p1y: 99999999999"},
        {"colour background too high", set(2, "hg", "y", "8193"), {}, "2.%1 [hg] y: 8193"},
        {"colour background too wide",
         set(2, "hg", "x", "20000"),
         {},
         "2.%1 [hg] x: 20000 ist mehr als erlaubt (höchstens 8192)"},
        {"colour background too large",
         [&](ModDraft& s) { set(2, "hg", "x", "8000")(s), set(2, "hg", "y", "8000")(s); },
         {},
         "2.%1 [hg] x, y: 8000 × 8000 Bildpunkte"},
        {"extra picture too large",
         nullptr,
         {{test::ExtraPicture(1, 2), BitmapHeader(5700, 5700)}},
         "1.%1 [extra2] gfx: extras\\e1_2.png: 5700 × 5700 Bildpunkte"},
        {"background picture too wide",
         nullptr,
         {{"bilder/hg1.png", BitmapHeader(8193, 10)}},
         "1.%1 [hg] datei: bilder\\hg1.png: 8193 × 10"},
        // Each within the limit of one picture, all three not.
        {"pictures beyond the budget",
         nullptr,
         {{test::ExtraPicture(1, 1), huge},
          {test::ExtraPicture(1, 2), huge},
          {test::ExtraPicture(2, 1), huge}},
         "2.%1 [extra1] gfx: extras\\e2_1.png: alle Bilder des MODs zusammen"},
        // Two largest extras and the largest background leave no room for more.
        {"pictures and the largest background beyond the budget",
         [&](ModDraft& s) { set(2, "hg", "x", "4096")(s), set(2, "hg", "y", "4096")(s); },
         {{test::ExtraPicture(1, 1), huge}, {test::ExtraPicture(1, 2), huge}},
         "2.%1 [extra1] gfx: extras\\e2_1.png: alle Bilder des MODs zusammen"},
        {"shot sound of 1 Hz",
         nullptr,
         {{"schuss.wav", Wave(1, 1, 1, 8, 7000)}},
         "mod.%1 [sfx] SchussSound: schuss.wav: Abtastrate 1 Hz"},
        {"shot sound too long",
         nullptr,
         {{"schuss.wav", Wave(1, 1, 4000, 8, 11 * 4000)}},
         "schuss.wav: 11 Sekunden sind länger als erlaubt"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        GameFiles g;
        ModDraft draft = Mod();
        if (c.change)
            c.change(draft);
        g.WriteMod("welt", draft);
        for (const auto& [file, bytes] : c.files) {
            const QString rel = "mods/welt/" + file.arg(Ext());
            bytes.isNull() ? g.Remove(rel) : g.Write(rel, bytes);
        }
        const auto before = g.Snapshot();
        testing::internal::CaptureStderr();
        const ModLoadResult r = LoadMod(g.ModPath("welt"));
        const QString err = QString::fromStdString(testing::internal::GetCapturedStderr());
        const bool unsupported = c.detail.contains("Anzahl: 11");
        EXPECT_FALSE(r.loaded);
        EXPECT_EQ(r.icon, MsgIcon::Exclamation);
        EXPECT_EQ(r.title, unsupported ? "Fehler!" : "Fehler !");
        EXPECT_EQ(r.text, unsupported ? "Geladener MOD 'Testwelt' wird nicht von dieser Wolkenfang "
                                        "Version unterstützt!!!"
                                      : "Fehler beim Laden des MODs 'Testwelt'");
        EXPECT_TRUE(r.detail.contains(c.detail.arg(Ext()))) << r.detail.toStdString();
        EXPECT_EQ(err, "Wolkenfang: MOD 'Testwelt': " + r.detail + "\n");
        EXPECT_EQ(g.Snapshot(), before);
    }
}

INSTANTIATE_TEST_SUITE_P(PlainAndEncoded, ModLoaderTest, ::testing::Bool(),
                         [](const auto& info) { return info.param ? "Encoded" : "Plain"; });

// Only "code" exactly means encoded; section and key are found whatever
// their capitals, and so are the files.
TEST(ModLoader, OnlyTheExactWordCodeMeansEncoded) {
    GameFiles game;
    ModDraft plain = test::MakeMod();
    game.WriteMod("welt", plain);
    ModDraft sealed = test::MakeMod();
    Set(sealed.mod, "Allgemein", "Name", "Versiegelt");
    sealed.encoded = true;
    game.WriteMod("welt", sealed);
    const QString dir = game.ModPath("welt");
    for (const char* type : {"Code", "code ", "cod"}) {
        game.Write("mods/welt/config.ini", QByteArray("[GAME]\r\ntype=\"") + type + "\"\r\n");
        const ModLoadResult r = LoadMod(dir);
        ASSERT_TRUE(r.loaded) << type;
        EXPECT_EQ(r.mod.modName, "Testwelt") << type;
        EXPECT_FALSE(r.mod.modIsEncoded);
    }
    game.Remove("mods/welt/config.ini");
    game.Write("mods/welt/Config.INI", QByteArray("[GAME]\r\nTYPE = code\r\n"));
    QFile::rename(dir + "/mod.cod", dir + "/MOD.COD");
    const ModLoadResult r = LoadMod(dir);
    ASSERT_TRUE(r.loaded) << r.detail.toStdString();
    EXPECT_EQ(r.mod.modName, "Versiegelt");
    EXPECT_EQ(ModConfigPath(dir), dir + "/Config.INI");
}

TEST(DecodeModFile, DecodesLineByLineAndBlanksUndecodableLines) {
    // LF and CR LF line ends; a line of letters and a single group cannot be decoded.
    const QByteArray content = test::Join({"[Allgemein]"}, true).chopped(2) + "\n" +
                               test::Join({"Name=Wald"}, true) + "xyz\r\n123\r\n" +
                               test::Join({"[Hintergrund]", "Anzahl=7"}, true).chopped(2);
    EXPECT_EQ(DecodeModFile(content),
              "[Allgemein]\r\nName=Wald\r\n\r\n\r\n[Hintergrund]\r\nAnzahl=7\r\n");
    EXPECT_EQ(DecodeModFile(""), "");
}

// What the game takes of a shot sound: the format each WAV file declares,
// and why one is refused (beyond the limits) or not played.
TEST(ModMedia, WaveFormatsWithinAndBeyondTheLimits) {
    const struct {
        const char* what;
        QByteArray bytes;
        const char* problem;  // "" played; null: no WAV file at all
        bool beyond;
    } cases[] = {
        {"8 bit", Wave(1, 1, 4000, 8, 4000), "", false},
        {"16 bit stereo", Wave(1, 2, 44100, 16, 44100 * 4 * 10), "", false},
        {"32 bit", Wave(1, 1, 8000, 32, 64), "", false},
        {"24 bit too long", Wave(1, 1, 8000, 24, 8000 * 3 * 10 + 3), "10 Sekunden", true},
        {"float", Wave(3, 1, 8000, 32, 64), "", false},
        {"float of 64 bit", Wave(3, 1, 8000, 64, 64), "Format 3 mit 64 Bit", false},
        {"a-law", Wave(6, 2, 8000, 8, 8000 * 2 * 11), "11 Sekunden", true},
        {"mu-law of 16 bit", Wave(7, 1, 8000, 16, 64), "Format 7 mit 16 Bit", false},
        {"mu-law", Wave(7, 1, 8000, 8, 8000 * 11), "11 Sekunden", true},
        {"ADPCM", Wave(2, 1, 8000, 4, 40001), "10 Sekunden", true},
        {"extensible PCM", Wave(0xFFFE, 1, 8000, 16, 64, 1), "", false},
        {"extensible, tag only", Wave(0xFFFE, 1, 8000, 16, 64, 1, true), "", false},
        {"extensible of 12 bit", Wave(0xFFFE, 1, 8000, 12, 64, 1), "Format 1 mit 12 Bit", false},
        {"unknown format", Wave(85, 1, 8000, 16, 64), "Format 85", false},
        {"no data", Wave(1, 1, 8000, 16, 0), "keine Tondaten", false},
        {"nine channels", Wave(1, 9, 8000, 16, 64), "9 Kanäle", true},
        {"3999 Hz", Wave(1, 1, 3999, 16, 64), "Abtastrate 3999 Hz", true},
        {"no WAVE", QByteArray("RIFF\x04\0\0\0WAVX", 12), nullptr, false},
        {"no data chunk", Wave(1, 1, 8000, 16, 64).chopped(8 + 64), nullptr, false},
        {"format chunk too short", Wave(1, 1, 8000, 16, 64).replace("fmt \x10", "fmt \x0E"),
         nullptr, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const std::optional<WaveFormat> format = ReadWaveFormat(c.bytes);
        ASSERT_EQ(format.has_value(), c.problem != nullptr);
        if (!format)
            continue;
        bool beyond = !c.beyond;
        const QString why = WaveFormatProblem(*format, &beyond);
        EXPECT_TRUE(QByteArray(c.problem).isEmpty() ? why.isEmpty() : why.contains(c.problem))
            << why.toStdString();
        EXPECT_EQ(beyond, c.beyond);
    }
}

TEST(ModMedia, PicturesWithinAndBeyondTheLimits) {
    GameFiles game;
    game.WritePicture("p.png", QSize(3, 2));
    const QImage decoded = DecodePicture(game.Read("p.png"));
    EXPECT_EQ(decoded.size(), QSize(3, 2));
    EXPECT_EQ(decoded.format(), QImage::Format_RGB32);
    EXPECT_EQ(PictureSize(BitmapHeader(8192, 2048)), QSize(8192, 2048));
    EXPECT_TRUE(PictureSizeProblem(QSize(8192, 2048)).isEmpty());
    EXPECT_TRUE(PictureSizeProblem(QSize(4096, 4096)).isEmpty());
    EXPECT_FALSE(PictureSizeProblem(QSize(1, 8193)).isEmpty());
    EXPECT_TRUE(DecodePicture(BitmapHeader(8193, 1)).isNull());
    EXPECT_TRUE(DecodePicture("kein Bild").isNull());
    EXPECT_EQ(ReadProblem(ReadError::TooLarge, 3 * 1024 * 1024), "größer als 3 MiB");
}

}  // namespace
}  // namespace wf
