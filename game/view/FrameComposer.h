#pragma once
// Draws one game frame into the current playing surface from the working
// copies of store 1: background, extras, countdown and score, magazine,
// birds, debug overlay, cross-hair, then one refresh. It only draws what the
// state says: the rules have decided beforehand which extras show and what
// the countdown reads.
#include <QFont>
#include <QImage>
#include <QString>
#include <cstdint>

#include "GameHost.h"
#include "GameSession.h"
#include "GameState.h"
#include "PictureStore.h"

namespace wf {

class FrameComposer : public FrameSink {
  public:
    // Where the frame stopped. Only Shown refreshes the surface; the caller
    // resolves shots and moves birds only after Shown.
    enum class Outcome {
        Shown,
        ClockOver,   // secondsLeft below 0: background and extras only
        NotRunning,  // no game: no birds, no cross-hair
    };

    FrameComposer(const GameState& state, const PictureStores& stores, GameHost& host);

    Outcome ComposeFrame();
    // FrameSink
    bool DrawFrame() override { return ComposeFrame() == Outcome::Shown; }
    // Only the background and, of the selected background's first `extras`
    // extras, those shown: all a frame draws before it reaches an extra it
    // cannot draw.
    void DrawScenery(int extras) override;

    // The debug overlay's parts, on the current playing surface.
    void DrawDebugGrid();
    void MarkDebugPoint(int32_t x, int32_t y);
    void MarkDebugCell(int32_t column, int32_t row);

  private:
    // A text drawn once into a mask (white, the text black) and stamped onto
    // every frame with SRCAND, which leaves the background showing around
    // the letters. Large letters are not kept in the font cache, and drawing
    // them anew would cost more than the rest of a frame.
    struct TextStamp {
        QString text;
        int points = 0;
        int width = 0;  // text width as the font measures it
        int pad = 0;    // room around the letters for overhanging glyphs
        QImage mask;
    };

    bool FullScreen() const { return s_.drawTarget == DrawTarget::FullScreenSurface; }
    QImage& Target();
    const QImage* Work(int slot) const;
    void DrawTexts(QImage& target);
    void Stamp(TextStamp& stamp, const QString& text);
    void DrawMagazine(QImage& target);
    void DrawMasked(QImage& target, int x, int y, int spriteSlot, int maskSlot);
    void DrawDebugOverlay();
    const QFont& TextFont();
    int TextPoints();

    const GameState& s_;
    const PictureStores& stores_;
    GameHost& host_;

    // Kept between frames so that a running game's frame makes no new fonts
    // or strings.
    QFont windowFont_;
    QFont fullScreenFont_;
    int fullScreenPoints_ = 0;
    QString countdownText_;
    QString scoreText_;
    TextStamp countdownStamp_;
    TextStamp scoreStamp_;
    // The play area's part of the full-screen surface when bars surround it.
    QImage view_;
    const uchar* viewFirst_ = nullptr;
};

}  // namespace wf
