#pragma once
// Starting, running, ending and aborting a game: the handlers of the "Spielen"
// menu entry, the game tick (tmrSpiel), the clock (Timer1) and the input of
// both playing surfaces. Plain C++ over GameState; every window effect goes
// through GameHost.
#include <QFont>
#include <QString>

#include "Audio.h"
#include "BirdMotion.h"
#include "FrameComposer.h"
#include "GameHost.h"
#include "GameState.h"
#include "HdTwins.h"
#include "MenuModel.h"
#include "PictureStore.h"
#include "Random.h"

namespace wf {

class GameController {
  public:
    GameController(GameState& state, MenuModel& menu, PictureStores& stores, GameHost& host,
                   RandomSource& random, SoundOutput& sound, MusicDevice& music,
                   const QString& modDir);

    void ter_Click();
    void StartGame();
    void AbortGame();

    void GameTick();      // tmrSpiel_Timer
    void Timer1_Timer();  // the clock
    void EndGame();

    // Input of the window-mode surface, in play-area units.
    void MouseMove(double x, double y);
    void MouseUp(int button, double x, double y);  // 1 left, 2 right
    // Input of the full-screen surface, in screen pixels: divided by the
    // display scale first.
    void FullScreenMouseMove(double x, double y);
    void FullScreenMouseUp(int button, double x, double y);
    void FullScreenEscape();  // Esc on Form8

    bool InTick() const { return inTick_; }
    // The table the last hand-over named (0 before the first one).
    int EntryTable() const { return entryTable_; }
    FrameComposer& Composer() { return composer_; }

  private:
    bool StartWindowMode();
    bool StartFullScreenMode();
    void ShowLoadingText(QImage& surface, int points);
    void TakePointerPosition();
    void ReportBadExtraKind();
    PlayArea CurrentPlayArea();

    GameState& s_;
    MenuModel& menu_;
    PictureStores& stores_;
    GameHost& host_;
    RandomSource& random_;
    SoundOutput& sound_;
    MusicDevice& music_;
    QString modDir_;
    FrameComposer composer_;
    HdTwins twins_;  // kept while the program runs
    QString shotSoundPath_;  // fixed per game so that a shot does no file lookup
    int entryTable_ = 0;
    bool inTick_ = false;
};

}  // namespace wf
