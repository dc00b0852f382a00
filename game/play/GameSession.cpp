#include "GameSession.h"

#include "BirdMotion.h"
#include "ExtraVisibility.h"
#include "GameClock.h"
#include "GameLengths.h"
#include "PointerInput.h"
#include "ShotResolution.h"

namespace wf {

GameSession::GameSession(GameState& state, RandomSource& random) : s_(state), random_(random) {}

void GameSession::Prepare(const GameSettings& settings, uint32_t seed) {
    random_.Seed(seed);
    s_.phase = GamePhase::Starting;
    s_.magazine = kMagazineSize;
    s_.shotPending = false;
    s_.secondsLeft = s_.gameLength = GameSeconds(settings);
    tickIntervalMs_ = wf::TickIntervalMs(settings);
    s_.selectedBackground = settings.background;
    s_.debugMode = settings.debugMode;
    s_.debugStyle = settings.debugStyle;
    offersScore_ = !settings.userDefinedConfirmed && !settings.debugMode;
}

void GameSession::SetDisplay(DrawTarget target, FixedScale scaleX, FixedScale scaleY,
                             DisplayArea display) {
    s_.drawTarget = target;
    s_.display = display;
    s_.scaleX = scaleX;
    s_.scaleY = scaleY;
}

void GameSession::Begin(const PlayArea& area) {
    for (ExtraDef& extra : ExtrasOf(s_.mod, s_.selectedBackground)) {
        extra.extraState = kExtraShown;
        extra.extraTimer = kExtraTimerAtGameStart;
    }
    s_.area = area;
    s_.score = 0;
    s_.phase = GamePhase::Running;
    s_.elapsedSeconds = 0;
    PlaceBirds(s_, area, random_);
}

void GameSession::Abort() {
    s_.score = 0;
    s_.phase = GamePhase::Idle;
}

TickResult GameSession::Tick(FrameSink& frame) {
    TickResult result;
    // The extras' visibility is decided just before the frame shows them. An
    // extra of an unknown kind ends the program once the frame has drawn
    // what comes before it.
    if (const int unknown = UpdateExtraVisibility(s_, random_)) {
        frame.DrawScenery(unknown - 1);
        result.unknownExtra = unknown;
        return result;
    }
    UpdateCountdown(s_);
    // A frame that stops early (the clock is over, or the game ended while
    // the windows served their events) ends the tick: no shot, no motion.
    if (!frame.DrawFrame())
        return result;
    if (s_.shotPending && s_.magazine > 0) {
        ResolveShot(s_, s_.area, random_);
        result.shotFired = true;
    }
    MoveBirds(s_, s_.area, random_);
    return result;
}

bool GameSession::ClockSecond() {
    return AdvanceClock(s_);
}

GameResult GameSession::End() {
    GameResult result;
    s_.finalScore = SaturatedScore(s_.score);
    s_.score = 0;
    s_.phase = GamePhase::Idle;
    result.score = s_.finalScore;
    result.offered = offersScore_;
    if (offersScore_) {
        if (const int table = TableOfGameLength(s_.gameLength))
            lastTable_ = table;
        result.table = lastTable_;
    }
    return result;
}

void GameSession::PointerMoved(double x, double y) {
    wf::PointerMoved(s_, x, y);
}

void GameSession::ButtonReleased(PointerButton button, double x, double y) {
    wf::ButtonReleased(s_, button, x, y);
}

// A position on the screen is measured from the play area's corner first.
void GameSession::ScreenPointerMoved(double x, double y) {
    PointerMoved(ScreenToPlayArea(x - s_.display.x, s_.scaleX),
                 ScreenToPlayArea(y - s_.display.y, s_.scaleY));
}

void GameSession::ScreenButtonReleased(PointerButton button, double x, double y) {
    ButtonReleased(button, ScreenToPlayArea(x - s_.display.x, s_.scaleX),
                   ScreenToPlayArea(y - s_.display.y, s_.scaleY));
}

}  // namespace wf
