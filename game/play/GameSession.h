#pragma once
// One game as the rules see it, without any window: what happens goes in
// (a start with the chosen settings, the pointer, a button released on the
// play area, a tick, a clock second, an abort) and what follows comes out
// (the frame to draw, through FrameSink; a shot fired; the end with its
// table and score). The windows, the timers and the pictures live above and
// call it.
#include <cstdint>

#include "GameSettings.h"
#include "GameState.h"
#include "PlayGeometry.h"
#include "Random.h"

namespace wf {

// Draws the frames of a game; the frame composer is the real one.
class FrameSink {
  public:
    virtual ~FrameSink() = default;
    // Draws the frame the state shows. True when it was shown whole: a game
    // runs and its clock is not over. Anything else ends the tick there.
    virtual bool DrawFrame() = 0;
    // Only the background and, of the selected background's first `extras`
    // extras, those shown.
    virtual void DrawScenery(int extras) = 0;
};

struct TickResult {
    bool shotFired = false;  // the shot sound is due
    // The number of an extra of unknown kind: the frame shows what comes
    // before it, and the program is to end. 0 when every kind is known.
    int unknownExtra = 0;
};

struct GameResult {
    // The highscore table the score is offered to; for a length without a
    // table the one of the last offer (0 before the first).
    int table = 0;
    int16_t score = 0;
    // A timed game without debug display offers its score.
    bool offered = false;
};

class GameSession {
  public:
    GameSession(GameState& state, RandomSource& random);

    // The first step of a start: seeds the random source, fills the
    // magazine and takes the length. The game stays Starting until Begin,
    // and a start that fails leaves it there, waiting for the abort.
    void Prepare(const GameSettings& settings, uint32_t seed);
    int TickIntervalMs() const { return tickIntervalMs_; }
    // Drawing is ready: the full-screen scale (One in window mode), the
    // surface the frames go to and where on it the play area lies.
    void SetDisplay(DrawTarget target, FixedScale scaleX, FixedScale scaleY,
                    DisplayArea display = {});
    // The game runs on a play area of this size: the extras of the chosen
    // background shown anew, the score 0, the birds at their edges.
    void Begin(const PlayArea& area);
    void Abort();

    // One tick: the extras' visibility and the countdown, the frame, then a
    // pending shot at what the frame showed, then the birds' motion.
    TickResult Tick(FrameSink& frame);
    // One second of the clock; true when the game's time is over: End it.
    bool ClockSecond();
    GameResult End();

    // The pointer over the window-mode surface, in play-area units.
    void PointerMoved(double x, double y);
    void ButtonReleased(PointerButton button, double x, double y);
    // The same over the full-screen surface, in its pixels.
    void ScreenPointerMoved(double x, double y);
    void ScreenButtonReleased(PointerButton button, double x, double y);

    const GameState& State() const { return s_; }
    GamePhase Phase() const { return s_.phase; }

  private:
    GameState& s_;
    RandomSource& random_;
    int tickIntervalMs_ = kFixedTickMs;
    bool offersScore_ = false;
    int lastTable_ = 0;
};

}  // namespace wf
