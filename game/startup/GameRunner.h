#pragma once
// A game session in the windows: starts a game in window or full-screen
// mode (the loading text, the working copies, the timers, the music), runs
// the tick and the clock around the session, plays the shot, ends and
// aborts, and hands a finished game's score to the highscore window. The
// rules themselves are the session's.
#include <QString>

#include "Audio.h"
#include "FrameComposer.h"
#include "GameHost.h"
#include "GameSession.h"
#include "GameSettings.h"
#include "GameState.h"
#include "PictureStore.h"
#include "Random.h"
#include "WorkingCopies.h"

namespace wf {

class GameRunner {
  public:
    GameRunner(GameState& state, GameSettings& settings, PictureStores& stores, GameHost& host,
               RandomSource& random, SoundOutput& sound, MusicDevice& music, const QString& modDir);

    // "Spielen" starts a game; while one runs or its start failed, the same
    // entry aborts it.
    void PlayOrAbort();
    void Start();
    void Abort();

    void Tick();
    void ClockSecond();
    void End();

    // Input of the window-mode surface, in play-area units.
    void PointerMoved(double x, double y);
    void ButtonReleased(PointerButton button, double x, double y);
    // Input of the full-screen surface, in screen pixels.
    void ScreenPointerMoved(double x, double y);
    void ScreenButtonReleased(PointerButton button, double x, double y);
    // Esc on the full-screen window.
    void LeaveFullScreen();

    bool InTick() const { return inTick_; }
    FrameComposer& Composer() { return composer_; }

  private:
    bool StartWindowMode();
    bool StartFullScreenMode();
    void ShowLoadingText(QImage& surface, int points);
    void TakePointerPosition();
    PlayArea CurrentPlayArea();

    GameState& state_;
    GameSettings& settings_;
    PictureStores& stores_;
    GameHost& host_;
    SoundOutput& sound_;
    MusicDevice& music_;
    QString modDir_;
    GameSession session_;
    FrameComposer composer_;
    StretchedCopies fullScreenCopies_;  // kept while the program runs
    QString shotSoundPath_;             // fixed per game so that a shot does no file lookup
    bool inTick_ = false;
};

}  // namespace wf
