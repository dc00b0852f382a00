// The generator's building blocks, driven directly.
#include <QPainter>

#include <gtest/gtest.h>

#include <stdexcept>

#include "AssetGenerator.h"
#include "Extras.h"
#include "GeneratedGame.h"
#include "MidiComposer.h"
#include "MidiFile.h"
#include "ModWriter.h"
#include "Sprites.h"
#include "Text8.h"
#include "TextCipher.h"

namespace wf::assetgen {
namespace {

QImage LayerWithRect(QSize size, QRect filled) {
    QImage layer(size, QImage::Format_ARGB32_Premultiplied);
    layer.fill(Qt::transparent);
    QPainter p(&layer);
    p.fillRect(filled, Qt::red);
    return layer;
}

TEST(HitCells, CellCountsFromItsCoveredShare) {
    struct Case {
        const char* what;
        QPoint origin;
        QRect filled;  // in the layer's own pixels
        std::vector<QPoint> cells;
    };
    const std::vector<Case> cases = {
        // 7 of 17 columns is 41 %: in; 6 of 17 is 35 %: out.
        {"share just above the threshold",
         QPoint(17, 17),
         QRect(0, 0, 17 + 7, 17),
         {{1, 1}, {2, 1}}},
        {"share just below the threshold", QPoint(17, 17), QRect(0, 0, 17 + 6, 17), {{1, 1}}},
        // A layer off the grid: its pixels fall into the cells of play-area units.
        {"layer not on the grid", QPoint(10, 0), QRect(7, 0, 17, 34), {{1, 0}, {1, 1}}},
        {"nothing drawn", QPoint(0, 0), QRect(), {}},
    };
    for (const Case& c : cases) {
        const QImage layer = LayerWithRect(QSize(51, 51), c.filled);
        EXPECT_EQ(HitCellsFromLayer(layer, c.origin), c.cells) << c.what;
    }
}

TEST(HitCells, AtMostTwentyAndTheBestCovered) {
    // 6 x 6 cells, all full except the first row, which is covered 80 %.
    QImage layer = LayerWithRect(QSize(102, 102), QRect(0, 3, 102, 99));
    const std::vector<QPoint> cells = HitCellsFromLayer(layer, QPoint(0, 0));
    ASSERT_EQ(cells.size(), 20u);
    for (const QPoint& c : cells)
        EXPECT_GE(c.y(), 1) << "a less covered cell was kept";
    EXPECT_EQ(cells.front(), QPoint(0, 1));  // ordered row by row
}

TEST(MaskedSprite, CoverageIsHardAndBlackStaysVisible) {
    QImage layer(4, 1, QImage::Format_ARGB32);
    layer.setPixel(0, 0, qRgba(200, 100, 50, 127));  // less than half opaque
    layer.setPixel(1, 0, qRgba(200, 100, 50, 128));
    layer.setPixel(2, 0, qRgba(0, 0, 0, 255));  // black must not turn transparent
    layer.setPixel(3, 0, qRgba(0, 0, 0, 0));
    const MaskedSprite s = ToMaskedSprite(layer);
    EXPECT_EQ(s.mask.pixel(0, 0), qRgb(255, 255, 255));
    EXPECT_EQ(s.sprite.pixel(0, 0), qRgb(0, 0, 0));
    EXPECT_EQ(s.mask.pixel(1, 0), qRgb(0, 0, 0));
    EXPECT_EQ(s.sprite.pixel(1, 0), qRgb(200, 100, 50));
    EXPECT_EQ(s.mask.pixel(2, 0), qRgb(0, 0, 0));
    EXPECT_EQ(s.sprite.pixel(2, 0), qRgb(1, 1, 1));
    EXPECT_EQ(s.mask.pixel(3, 0), qRgb(255, 255, 255));
}

TEST(SealedLines, EachLineDecodesOnItsOwn) {
    const QStringList lines = {"[hg]", "", "name=Sommerwiese", QStringLiteral("; Heißluftballon"),
                               "x"};
    const QByteArray sealed = EncodeLines(lines);
    QList<QByteArray> out = sealed.split('\n');
    ASSERT_EQ(out.takeLast(), QByteArray());  // the last line ends with CR LF too
    ASSERT_EQ(out.size(), lines.size());
    for (int i = 0; i < lines.size(); ++i) {
        ASSERT_TRUE(out[i].endsWith('\r'));
        const QByteArray line = out[i].chopped(1);
        for (char ch : line)
            ASSERT_TRUE(ch >= '0' && ch <= '9') << line.constData();
        EXPECT_EQ(line.size(), 3 * ToText8(lines[i]).size());
        if (lines[i].size() >= 2) {
            EXPECT_EQ(DecodeText(line, QByteArray(kModKey), true), ToText8(lines[i]));
        }
    }
    EXPECT_TRUE(out[1].chopped(1).isEmpty());
}

TEST(Composer, ReadsNoteNames) {
    EXPECT_EQ(NoteNumber("A4"), 69);
    EXPECT_EQ(NoteNumber("C4"), 60);
    EXPECT_EQ(NoteNumber("F#5"), 78);
    EXPECT_EQ(NoteNumber("Bb3"), 58);
    EXPECT_EQ(NoteNumber("H4"), -1);
    EXPECT_EQ(NoteNumber("G"), -1);
}

TEST(Composer, RefusesAThemeThatDoesNotAddUp) {
    MusicTheme t = SummerTheme();
    t.melody.replace("G5:8", "G5:6");  // the last bar one beat short
    EXPECT_THROW(ComposeMidi(t), std::invalid_argument);
    t = SummerTheme();
    t.progression += " | G";  // one bar more than the melody
    EXPECT_THROW(ComposeMidi(t), std::invalid_argument);
    t = SummerTheme();
    t.progression.replace("Bm", "Bdim");
    EXPECT_THROW(ComposeMidi(t), std::invalid_argument);
}

TEST(MidiWriter, DeltaTimesUseVariableLengthQuantities) {
    struct Case {
        uint32_t tick;
        QByteArray delta;
    };
    const std::vector<Case> cases = {{0, QByteArray("\x00", 1)},
                                     {127, "\x7F"},
                                     {128, QByteArray("\x81\x00", 2)},
                                     {16383, "\xFF\x7F"},
                                     {16384, QByteArray("\x81\x80\x00", 3)}};
    for (const Case& c : cases) {
        MidiTrack t;
        t.Program(c.tick, 0, 5);
        const QByteArray chunk = t.Chunk(c.tick);
        // MTrk, length, the delta, the program change, then end-of-track.
        const QByteArray body = c.delta + QByteArray("\xC0\x05\x00\xFF\x2F\x00", 6);
        EXPECT_EQ(chunk.mid(8), body) << c.tick;
        EXPECT_EQ(static_cast<uint8_t>(chunk[7]), body.size()) << c.tick;
    }
}

TEST(MidiWriter, NoteOffComesBeforeANoteOnAtTheSameTick) {
    MidiTrack t;
    t.Note(0, 0, 60, 90, 240);
    t.Note(240, 0, 60, 90, 240);  // the same key again, right after
    const QByteArray body = t.Chunk(480).mid(8);
    const QByteArray expected(
        "\x00\x90\x3C\x5A"
        "\x81\x70\x80\x3C\x40"
        "\x00\x90\x3C\x5A"
        "\x81\x70\x80\x3C\x40"
        "\x00\xFF\x2F\x00",
        22);
    EXPECT_EQ(body, expected);
}

TEST(Generator, SameOutputEveryRun) {
    const GameData& a = testing::Generated().data;
    const GameData b = BuildGameData();
    ASSERT_EQ(a.files.size(), b.files.size());
    for (size_t i = 0; i < a.files.size(); ++i) {
        EXPECT_EQ(a.files[i].path, b.files[i].path);
        EXPECT_TRUE(a.files[i].bytes == b.files[i].bytes) << a.files[i].path.toStdString();
    }
}

}  // namespace
}  // namespace wf::assetgen
