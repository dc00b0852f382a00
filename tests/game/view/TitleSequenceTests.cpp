// The title sequence over simulated ticks on an off-screen surface.
#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "TitleSequence.h"

namespace wf {
namespace {

QImage Surface(int w, int h) {
    QImage s(w, h, QImage::Format_RGB32);
    s.fill(QColor(90, 90, 90));
    return s;
}

TEST(TitleSequence, StagesRunInOrderWithTheirLengthsAndRepeatButNotDuringAGame) {
    TitleSequence title;
    title.SetCredits(TitleSequence::DefaultCredits());
    PictureStore store;
    QImage surface = Surface(120, 90);
    std::vector<std::pair<int, int>> runs;  // (stage, ticks spent) over one pass
    for (int tick = 0; tick < 765; ++tick) {
        if (runs.empty() || runs.back().first != title.titleStage)
            runs.emplace_back(title.titleStage, 0);
        ++runs.back().second;
        title.TitleTick(surface, store, false);
        // Into the credits, which rise from the bottom 2 pixels a tick.
        EXPECT_TRUE((tick != 319 && tick != 384) || title.creditScrollY == 90 - 2 * (tick - 309));
        if (tick == 700) {  // a game in between changes nothing
            const QImage before = surface;
            for (int i = 0; i < 50; ++i)
                title.TitleTick(surface, store, true);
            ASSERT_EQ(surface, before);
        }
    }
    const std::vector<std::pair<int, int>> expected = {{0, 65},  {1, 65},  {2, 50},  {9, 65},
                                                       {10, 65}, {11, 65}, {12, 65}, {13, 65},
                                                       {14, 65}, {15, 65}, {16, 65}, {17, 65}};
    EXPECT_EQ(runs, expected);
    EXPECT_TRUE(title.titleStage == 0 && title.titleTicks == 0);
}

}  // namespace
}  // namespace wf
