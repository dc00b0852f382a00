#pragma once
// The game tests' kit: a host over plain images that records what the game
// did to the windows, synthetic pictures and extras.
#include <gtest/gtest.h>

#include <functional>

#include "GameState.h"
#include "NullGameHost.h"
#include "PictureSlots.h"
#include "PictureStore.h"
#include "ScriptedRandom.h"
#include "SilentAudio.h"
#include "Solid.h"

namespace wf::testkit {

using test::Solid;

inline constexpr QRgb kGrey = 0xFF808080u;

struct FakeGameHost : NullGameHost {
    FakeGameHost() { window = Solid(200, 150, kGrey), screen = {320, 240}; }
    QImage shownWindow, shownFull;  // as their last refresh showed them
    int windowRefreshes = 0, fullRefreshes = 0, tickInterval = 0;
    bool cursorInvisible = false, mainShown = true, fullShown = false, tickOn = false,
         clockOn = false, titleOn = true;
    std::optional<QPointF> pointer;
    std::function<void()> onServe;
    QList<QPair<int, int>> handovers;  // table, score

    void RefreshWindowSurface() override { ++windowRefreshes, shownWindow = window; }
    void RefreshFullScreenSurface() override { ++fullRefreshes, shownFull = full; }
    void SetSurfaceCursorInvisible(bool on) override { cursorInvisible = on; }
    void HideMainWindow() override { mainShown = false; }
    void ShowMainWindow() override { mainShown = true; }
    void ShowFullScreen() override {
        fullShown = true, full = Solid(screen.width(), screen.height(), 0);
    }
    void HideFullScreen() override { fullShown = false; }
    std::optional<QPointF> PointerOnSurface(bool) override { return pointer; }
    void SetTickInterval(int ms) override { tickInterval = ms; }
    void SetTickTimerEnabled(bool on) override { tickOn = on; }
    void SetClockTimerEnabled(bool on) override { clockOn = on; }
    void SetTitleTimerEnabled(bool on) override { titleOn = on; }
    void ServePendingEvents() override { onServe ? onServe() : void(); }
    void ShowHighscoreWindow(int table, int score) override { handovers.append({table, score}); }
};

// A cartridge, and a cursor and birds whose opaque part is a box, over a
// patterned background, so that compositing errors show.
inline constexpr int kCartridgeW = 10, kCartridgeH = 12, kBirdW = 88, kBirdH = 40;
inline constexpr QRgb kCartridgeColour = 0xFFC8C800u, kLeftBirdColour = 0xFF0000FFu,
                      kRightBirdColour = 0xFF00A000u, kCursorColour = 0xFFFF0000u,
                      kExtraColour = 0xFFFF00FFu;

// The sprite black where transparent, its mask white where the scene shows.
inline void MakeSprite(PictureStore& s, int slot, QSize size, const QRect& body, QRgb colour) {
    *s.Picture(slot) = Solid(size.width(), size.height(), 0xFF000000u);
    *s.Picture(slot + 1) = Solid(size.width(), size.height(), 0xFFFFFFFFu);
    for (int y = body.top(); y <= body.bottom(); ++y) {
        for (int x = body.left(); x <= body.right(); ++x)
            s.Picture(slot)->setPixel(x, y, colour),
                s.Picture(slot + 1)->setPixel(x, y, 0xFF000000u);
    }
}

// Store 0 as start-up leaves it, the title slots empty, with one 17 × 17 extra.
inline void FillSourceStore(PictureStores& stores, int bgW, int bgH) {
    PictureStore& s = stores.sources;
    while (s.SlotCount() < kFirstExtraSlot)
        s.NewSlot();
    *s.Picture(kCartridgeSlot) = Solid(kCartridgeW, kCartridgeH, kCartridgeColour);
    MakeSprite(s, kCursorSlot, {8, 8}, QRect(2, 2, 4, 4), kCursorColour);
    QImage& bg = *s.Picture(kBackgroundSlot) = Solid(bgW, bgH, 0);
    for (int i = 0; i < bgW * bgH; ++i)
        bg.setPixel(i % bgW, i / bgW, qRgb(255, 200 + (i % bgW % 50), 150 + (i / bgW % 100)));
    MakeSprite(s, kLeftBirdSlot, {kBirdW, kBirdH}, QRect(10, 5, 68, 30), kLeftBirdColour);
    MakeSprite(s, kRightBirdSlot, {kBirdW, kBirdH}, QRect(10, 5, 68, 30), kRightBirdColour);
    *s.Picture(kFirstExtraSlot) = Solid(17, 17, kExtraColour);
}

inline ExtraDef& AddExtra(GameState& state, int bg, const char* kind, int x, int y,
                          QList<HitCell> cells = {}, int points = 0, bool destructable = false) {
    BackgroundDef& background = state.mod.backgrounds[bg];
    ExtraDef& extra = background.extras[++background.extraCount];
    extra.pictureSlot = kFirstExtraSlot;
    extra.extraKind = kind;
    extra.x = x, extra.y = y, extra.extraPoints = points, extra.destructable = destructable;
    extra.hitCellCount = static_cast<int32_t>(cells.size());
    std::copy(cells.begin(), cells.end(), extra.hitCells.begin() + 1);
    return extra;
}

// A bird's position, printed as a pair when a comparison fails.
inline std::pair<float, float> At(const Bird& bird) {
    return {bird.x, bird.y};
}

inline int CountPixels(const QImage& img, const std::function<bool(QRgb)>& match) {
    int n = 0;
    for (int i = 0; i < img.width() * img.height(); ++i)
        n += match(img.pixel(i % img.width(), i / img.width())) ? 1 : 0;
    return n;
}

}  // namespace wf::testkit
