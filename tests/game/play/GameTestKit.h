#pragma once
// Test doubles for the game rules and the frame: a host over plain images
// and a small synthetic picture set.
#include <QColor>
#include <QImage>
#include <QList>
#include <QStringList>
#include <functional>
#include <optional>

#include "GameHost.h"
#include "GameState.h"
#include "PictureSlots.h"
#include "PictureStore.h"
#include "ScriptedPlatform.h"
#include "ScriptedRandom.h"
#include "SilentAudio.h"

namespace wf::testkit {

inline constexpr QRgb kGrey = 0xFF808080u;

class FakeGameHost : public GameHost {
  public:
    QImage window = Filled(200, 150, kGrey);
    QImage full;
    QSize screen{320, 240};
    std::optional<QPointF> pointer;  // where the pointer stands, on either surface
    // Copies of the surfaces as their last refresh showed them.
    QImage shownWindow;
    QImage shownFull;
    int windowRefreshes = 0;
    int fullRefreshes = 0;
    int serves = 0;
    int menuChanges = 0;
    QStringList calls;  // window effects in order
    bool cursorInvisible = false;
    bool mainShown = true;
    bool fullShown = false;
    int tickInterval = 0;
    bool tickOn = false;
    bool clockOn = false;
    bool titleOn = true;
    std::function<void()> onServe;
    // Off: refreshes are only counted (no copies, no call log).
    bool record = true;
    struct Handover {
        int table;
        QString score;
    };
    QList<Handover> handovers;

    static QImage Filled(int w, int h, QRgb colour) {
        QImage img(w, h, QImage::Format_RGB32);
        img.fill(colour);
        return img;
    }

    QImage& WindowSurface() override { return window; }
    void RefreshWindowSurface() override {
        ++windowRefreshes;
        if (!record)
            return;
        shownWindow = window.copy();
        calls << "RefreshWindow";
    }
    void SizeWindowToSurface(int w, int h) override {
        if (window.width() != w || window.height() != h)
            window = Filled(w, h, kGrey);
        calls << QStringLiteral("SizeWindow %1x%2").arg(w).arg(h);
    }
    void SetSurfaceCursorInvisible(bool invisible) override {
        cursorInvisible = invisible;
        calls << (invisible ? "CursorInvisible" : "CursorDefault");
    }
    void HideMainWindow() override {
        mainShown = false;
        calls << "HideMain";
    }
    void ShowMainWindow() override {
        mainShown = true;
        calls << "ShowMain";
    }
    void ShowFullScreen() override {
        fullShown = true;
        full = Filled(screen.width(), screen.height(), kGrey);
        calls << "ShowFull";
    }
    void HideFullScreen() override {
        fullShown = false;
        calls << "HideFull";
    }
    QImage& FullScreenSurface() override { return full; }
    void RefreshFullScreenSurface() override {
        ++fullRefreshes;
        if (!record)
            return;
        shownFull = full.copy();
        calls << "RefreshFull";
    }
    QSize ScreenSizePx() override { return screen; }
    std::optional<QPointF> PointerOnSurface(bool) override { return pointer; }
    void SetTickInterval(int ms) override { tickInterval = ms; }
    void SetTickTimerEnabled(bool on) override {
        tickOn = on;
        calls << (on ? "TickOn" : "TickOff");
    }
    void SetClockTimerEnabled(bool on) override {
        clockOn = on;
        calls << (on ? "ClockOn" : "ClockOff");
    }
    void SetTitleTimerEnabled(bool on) override {
        titleOn = on;
        calls << (on ? "TitleOn" : "TitleOff");
    }
    void ServePendingEvents() override {
        ++serves;
        calls << "Serve";
        if (onServe)
            onServe();
    }
    void MenuChanged() override { ++menuChanges; }
    void ShowHighscoreWindow(int table, const QString& score) override {
        handovers.append({table, score});
        calls << "Highscore";
    }
    [[noreturn]] void EndProgram(int status) override { throw ProgramExit(status); }
};

// The synthetic pictures.
inline constexpr int kCartridgeW = 10;
inline constexpr int kCartridgeH = 12;
inline constexpr int kBirdW = 88;
inline constexpr int kBirdH = 40;
inline constexpr int kCursorSize = 8;
inline constexpr QRgb kCartridgeColour = 0xFFC8C800u;
inline constexpr QRgb kLeftBirdColour = 0xFF0000FFu;
inline constexpr QRgb kRightBirdColour = 0xFF00A000u;
inline constexpr QRgb kCursorColour = 0xFFFF0000u;
// The opaque part of a bird picture; the rest is transparent.
inline const QRect kBirdBody(10, 5, 68, 30);

// Sprite black where transparent, mask white where the scene shows through.
inline void MakeSprite(QImage& sprite, QImage& mask, int w, int h, const QRect& body, QRgb colour) {
    sprite = FakeGameHost::Filled(w, h, 0xFF000000u);
    mask = FakeGameHost::Filled(w, h, 0xFFFFFFFFu);
    for (int y = body.top(); y <= body.bottom(); ++y) {
        for (int x = body.left(); x <= body.right(); ++x) {
            sprite.setPixel(x, y, colour);
            mask.setPixel(x, y, 0xFF000000u);
        }
    }
}

// A background with a pattern, so that compositing errors show.
inline QImage PatternBackground(int w, int h) {
    QImage img(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x)
            img.setPixel(x, y, qRgb(255, 200 + (x % 50), 150 + (y % 100)));
    }
    return img;
}

// Store 0 as start-up leaves it, but with the title slots empty: the game's
// pictures, then one 17 × 17 extra picture per colour given.
inline void FillSourceStore(PictureStores& stores, int bgW, int bgH,
                            const QList<QRgb>& extraColours = {}) {
    PictureStore& s = stores.RESSOURCEN;
    while (s.SlotCount() < kLastFixedSlot + extraColours.size())
        s.NewSlot();
    *s.SlotDC(kCartridgeSlot) = FakeGameHost::Filled(kCartridgeW, kCartridgeH, kCartridgeColour);
    MakeSprite(*s.SlotDC(kCursorSlot), *s.SlotDC(kCursorMaskSlot), kCursorSize, kCursorSize,
               QRect(2, 2, 4, 4), kCursorColour);
    *s.SlotDC(kBackgroundSlot) = PatternBackground(bgW, bgH);
    MakeSprite(*s.SlotDC(kLeftBirdSlot), *s.SlotDC(kLeftBirdMaskSlot), kBirdW, kBirdH, kBirdBody,
               kLeftBirdColour);
    MakeSprite(*s.SlotDC(kRightBirdSlot), *s.SlotDC(kRightBirdMaskSlot), kBirdW, kBirdH, kBirdBody,
               kRightBirdColour);
    for (int i = 0; i < extraColours.size(); ++i) {
        *s.SlotDC(kFirstExtraSlot + i) = FakeGameHost::Filled(17, 17, extraColours[i]);
    }
}

// An extra of background `bg` at (x, y) with its picture in `slot`.
inline ExtraDef& AddExtra(GameState& state, int bg, int slot, const char* kind, int x, int y,
                          QList<HitCell> cells, int points, bool destructable) {
    BackgroundDef& background = state.mod.backgrounds[bg];
    ExtraDef& extra = background.extras[++background.extraCount];
    extra.pictureSlot = slot;
    extra.extraKind = kind;
    extra.x = x;
    extra.y = y;
    extra.hitCellCount = static_cast<int32_t>(cells.size());
    for (int k = 0; k < cells.size(); ++k)
        extra.hitCells[k + 1] = cells[k];
    extra.extraPoints = points;
    extra.destructable = destructable;
    return extra;
}

}  // namespace wf::testkit
