// The generator's building blocks, driven directly.
#include <QPainter>

#include <gtest/gtest.h>

#include "Extras.h"
#include "MidiComposer.h"
#include "MidiFile.h"

namespace wf::assetgen {
namespace {

// A cell counts when its object covers enough of it; at most twenty, the
// best covered, row by row.
TEST(HitCells, FromTheCoveredShareAtMostTwenty) {
    const struct {
        const char* what;
        QPoint origin;
        QRect filled;  // in the layer's own pixels
        std::vector<QPoint> cells;
    } cases[] = {
        // 7 of 17 columns is 41 %: in; 6 of 17 is 35 %: out.
        {"share just above the threshold", {17, 17}, {0, 0, 17 + 7, 17}, {{1, 1}, {2, 1}}},
        {"share just below the threshold", {17, 17}, {0, 0, 17 + 6, 17}, {{1, 1}}},
        // Off the grid: its pixels fall into the cells of play-area units.
        {"layer not on the grid", {10, 0}, {7, 0, 17, 34}, {{1, 0}, {1, 1}}},
        {"nothing drawn", {0, 0}, {}, {}},
    };
    for (const auto& c : cases) {
        QImage layer(51, 51, QImage::Format_ARGB32_Premultiplied);
        layer.fill(Qt::transparent);
        QPainter(&layer).fillRect(c.filled, Qt::red);
        EXPECT_EQ(HitCellsFromLayer(layer, c.origin), c.cells) << c.what;
    }
    // 6 x 6 cells, all full but the first row, covered 80 %.
    QImage layer(102, 102, QImage::Format_ARGB32_Premultiplied);
    layer.fill(Qt::transparent);
    QPainter(&layer).fillRect(QRect(0, 3, 102, 99), Qt::red);
    const std::vector<QPoint> cells = HitCellsFromLayer(layer, QPoint(0, 0));
    ASSERT_EQ(cells.size(), 20u);
    EXPECT_EQ(cells.front(), QPoint(0, 1)) << "not the best covered, row by row";
    EXPECT_EQ(cells.back(), QPoint(1, 4));
}

TEST(Composer, ReadsNoteNames) {
    EXPECT_EQ(NoteNumber("A4"), 69);
    EXPECT_EQ(NoteNumber("C4"), 60);
    EXPECT_EQ(NoteNumber("F#5"), 78);
    EXPECT_EQ(NoteNumber("Bb3"), 58);
    EXPECT_EQ(NoteNumber("H4"), -1);
    EXPECT_EQ(NoteNumber("G"), -1);
}

TEST(MidiWriter, NoteOffComesBeforeANoteOnAtTheSameTick) {
    MidiTrack t;
    t.Note(0, 0, 60, 90, 240);
    t.Note(240, 0, 60, 90, 240);  // the same key again, right after
    const QByteArray body = t.Chunk(480).mid(8);
    // On, 240 ticks, off; on again at once, 240 ticks, off; end of track.
    const QByteArray expected(
        "\x00\x90\x3C\x5A\x81\x70\x80\x3C\x40\x00\x90\x3C\x5A\x81\x70\x80\x3C\x40\x00\xFF\x2F\x00",
        22);
    EXPECT_EQ(body, expected);
}

}  // namespace
}  // namespace wf::assetgen
