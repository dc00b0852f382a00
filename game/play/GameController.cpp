#include "GameController.h"

#include <QColor>
#include <QTime>
#include <algorithm>

#include "Blit.h"
#include "ExtraVisibility.h"
#include "FixedScale.h"
#include "GameClock.h"
#include "Paths.h"
#include "PictureSlots.h"
#include "Platform.h"
#include "PointerInput.h"
#include "ShotResolution.h"
#include "WorkingCopies.h"

namespace wf {

namespace {

const QString kPlayCaption = QStringLiteral("Spielen");
const QString kAbortCaption = QStringLiteral("Spiel abbrechen");
constexpr int kWindowLoadingPoints = 12;
constexpr int kFullScreenLoadingPoints = 20;

void ClearSurface(QImage& surface) {
    Blit::FillBox(surface, 0, 0, surface.width(), surface.height(), QColor(0, 0, 0));
}

// The user-defined mode's value texts, as numbers within the dialog's
// ranges. The dialog only ever writes values in range; a text that is no
// number (the mode chosen before the dialog was ever confirmed) takes the
// lower bound instead of dividing by zero.
int CustomValue(const QString& text, int low, int high) {
    bool ok = false;
    const int value = text.trimmed().toInt(&ok);
    return ok ? std::clamp(value, low, high) : low;
}

// Keeps a tick from starting inside itself and is released however the
// tick ends.
class TickGuard {
  public:
    explicit TickGuard(bool& flag) : flag_(flag) { flag_ = true; }
    ~TickGuard() { flag_ = false; }
    TickGuard(const TickGuard&) = delete;
    TickGuard& operator=(const TickGuard&) = delete;

  private:
    bool& flag_;
};

}  // namespace

GameController::GameController(GameState& state, MenuModel& menu, PictureStores& stores,
                               GameHost& host, RandomSource& random, SoundOutput& sound,
                               MusicDevice& music, const QString& modDir)
    : s_(state),
      menu_(menu),
      stores_(stores),
      host_(host),
      random_(random),
      sound_(sound),
      music_(music),
      modDir_(modDir),
      composer_(state, stores, host) {}

void GameController::ter_Click() {
    if (menu_.ter.caption == kPlayCaption) {
        menu_.ter.caption = kAbortCaption;
        host_.MenuChanged();
        StartGame();
    } else {
        AbortGame();
    }
}

void GameController::StartGame() {
    random_.Seed(static_cast<uint32_t>(QTime::currentTime().msecsSinceStartOfDay() / 1000));
    s_.magazine = kMagazineSize;
    s_.shotPending = false;

    int interval = kFixedTickMs;
    if (menu_.trz.checked) {
        s_.secondsLeft = s_.gameLength = 30;
    } else if (menu_.wtu.checked) {
        s_.secondsLeft = s_.gameLength = 60;
    } else if (!menu_.wetz.checked) {  // none ticked: the user-defined mode
        interval = 1000 / CustomValue(s_.customFps, 5, 100);
        s_.secondsLeft = s_.gameLength = CustomValue(s_.customTime, 10, 360);
    } else {
        s_.secondsLeft = s_.gameLength = 120;
    }
    host_.SetTickInterval(interval);

    if (!menu_.vollbild.checked) {
        if (!StartWindowMode()) {
            // The caption stays "Spiel abbrechen": choosing it runs the abort.
            Platform::Instance().MessageBox(
                nullptr, MsgIcon::Critical, QStringLiteral("Fehler"),
                QStringLiteral("Ein Fehler beim Starten des Spiels ist aufgetreten !! Spiel "
                               "wird nicht gestartet."));
            return;
        }
    } else if (!StartFullScreenMode()) {
        Platform::Instance().MessageBox(
            nullptr, MsgIcon::Critical, QStringLiteral("Fehler"),
            QStringLiteral("Ein Fehler beim Starten des Vollbildmodus ist aufgetreten !! Das "
                           "Spiel wird im Fenstermodus ausgeführt."));
        menu_.vollbild.checked = false;
        host_.MenuChanged();
        host_.HideFullScreen();
        host_.ShowMainWindow();
        StartGame();
        return;
    }

    const int bg = s_.selectedBackground;
    if (bg >= 1 && bg <= kMaxBackgrounds) {
        BackgroundDef& background = s_.mod.backgrounds[bg];
        const int count = std::clamp(background.extraCount, 0, kMaxExtras);
        for (int i = 1; i <= count; ++i) {
            background.extras[i].extraState = kExtraShown;
            background.extras[i].extraTimer = kExtraTimerAtGameStart;
        }
    }
    menu_.fghfgh.enabled = false;
    s_.score = 0;
    shotSoundPath_ = JoinStoredPath(modDir_, s_.mod.shotSoundFile);
    if (menu_.mnuMusik.checked) {
        const QString musicPath = JoinStoredPath(modDir_, s_.mod.musicFile);
        if (!musicPath.isEmpty())
            music_.MusicOpenAndPlay(musicPath);
    }
    s_.gameRunning = true;
    host_.SetClockTimerEnabled(true);
    host_.SetTickTimerEnabled(true);
    menu_.ansicht.enabled = false;
    host_.MenuChanged();
    s_.elapsedSeconds = 0;
    PlaceBirds(s_, CurrentPlayArea(), random_);
    TakePointerPosition();
    host_.SetSurfaceCursorInvisible(true);
}

bool GameController::StartWindowMode() {
    const int w = stores_.RESSOURCEN.SlotWidth(kBackgroundSlot);
    const int h = stores_.RESSOURCEN.SlotHeight(kBackgroundSlot);
    if (w > 0 && h > 0)
        host_.SizeWindowToSurface(w, h);
    ShowLoadingText(host_.WindowSurface(), kWindowLoadingPoints);
    host_.RefreshWindowSurface();
    s_.scaleX = s_.scaleY = FixedScale::One();
    if (!MakeWindowCopies(stores_))
        return false;
    s_.drawTarget = DrawTarget::WindowSurface;
    host_.SetSurfaceCursorInvisible(true);
    return true;
}

bool GameController::StartFullScreenMode() {
    host_.HideMainWindow();
    host_.ShowFullScreen();
    ShowLoadingText(host_.FullScreenSurface(), kFullScreenLoadingPoints);
    host_.RefreshFullScreenSurface();

    // The main window's surface keeps the background's size: the play area.
    const QImage& area = host_.WindowSurface();
    if (area.width() <= 0 || area.height() <= 0)
        return false;
    const QSize screen = host_.ScreenSizePx();
    s_.scaleY = FixedScale::Ratio(screen.height(), area.height());
    s_.scaleX = FixedScale::Ratio(screen.width(), area.width());
    if (!MakeStretchedCopies(stores_, s_.scaleX, s_.scaleY, &twins_))
        return false;
    s_.drawTarget = DrawTarget::FullScreenSurface;
    host_.SetTitleTimerEnabled(false);
    return true;
}

void GameController::ShowLoadingText(QImage& surface, int points) {
    ClearSurface(surface);
    const QFont font(QStringLiteral("Verdana"), points, QFont::Bold);
    const QString text = QStringLiteral("Bitte warten sie bis alle Grafiken geladen sind");
    // "Loading..." only measures the line height; it is never shown.
    const int x = NearestEven((surface.width() - Blit::TextWidth(font, text)) / 2.0);
    const int y = NearestEven(
        (surface.height() - Blit::TextHeight(font, QStringLiteral("Loading..."))) / 2.0);
    Blit::Text(surface, x, y, text, font, QColor(0, 128, 0));
}

void GameController::AbortGame() {
    menu_.ter.caption = kPlayCaption;
    host_.SetClockTimerEnabled(false);
    menu_.fghfgh.enabled = true;
    menu_.ansicht.enabled = true;
    host_.MenuChanged();
    host_.SetTickTimerEnabled(false);
    music_.MusicStopRewind();
    ClearSurface(host_.WindowSurface());
    host_.RefreshWindowSurface();
    s_.score = 0;
    s_.gameRunning = false;
    host_.SetSurfaceCursorInvisible(false);
}

PlayArea GameController::CurrentPlayArea() {
    const QImage& surface = host_.WindowSurface();
    return PlayArea{surface.width(), surface.height(), stores_.RESSOURCEN.SlotWidth(kLeftBirdSlot),
                    stores_.RESSOURCEN.SlotHeight(kLeftBirdSlot)};
}

void GameController::GameTick() {
    // Serving pending events below may deliver the next tick; it is dropped
    // rather than run inside this one.
    if (inTick_)
        return;
    TickGuard guard(inTick_);

    if (menu_.mnuMusik.checked && music_.MusicRunning() == 0) {
        music_.MusicStopRewind();
        music_.MusicPlay();
    }
    host_.ServePendingEvents();

    // The extras' visibility is decided just before the frame shows them. An
    // extra of an unknown kind ends the program once the frame has drawn
    // what comes before it.
    if (const int unknown = UpdateExtraVisibility(s_, random_)) {
        composer_.DrawScenery(unknown - 1);
        ReportBadExtraKind();
        return;
    }
    UpdateCountdown(s_);
    // A frame that stops early (the clock is over, or the game ended while
    // events were served) ends the tick: no shot, no motion.
    if (composer_.ComposeFrame() != FrameComposer::Outcome::Shown)
        return;

    const PlayArea area = CurrentPlayArea();
    if (s_.shotPending && s_.magazine > 0) {
        ResolveShot(s_, area, random_, menu_.mnuSound.checked ? &sound_ : nullptr, shotSoundPath_);
    }
    MoveBirds(s_, area, random_);
}

void GameController::ReportBadExtraKind() {
    Platform::Instance().MessageBox(nullptr, MsgIcon::Critical, QStringLiteral("Fehler!"),
                                    QStringLiteral("'Extra' Fehler - Programm wird beendet"));
    host_.EndProgram(1);
}

void GameController::Timer1_Timer() {
    if (AdvanceClock(s_))
        EndGame();
}

void GameController::EndGame() {
    ClearSurface(host_.WindowSurface());
    host_.RefreshWindowSurface();
    s_.finalScore = SaturatedScore(s_.score);
    menu_.ansicht.enabled = true;
    // The surface the game ran on decides, not the menu mark: it is the same
    // while the menu is disabled, and a full-screen window is never left
    // standing over a hidden main window.
    if (s_.drawTarget == DrawTarget::FullScreenSurface) {
        host_.HideFullScreen();
        host_.SetTitleTimerEnabled(true);
        host_.ShowMainWindow();
    }
    host_.SetClockTimerEnabled(false);
    menu_.ter.caption = kPlayCaption;
    if (menu_.mnuMusik.checked)
        music_.MusicStopRewind();
    s_.score = 0;
    menu_.fghfgh.enabled = true;
    host_.MenuChanged();
    s_.gameRunning = false;
    host_.SetTickTimerEnabled(false);
    host_.SetSurfaceCursorInvisible(false);
    if (!s_.customMode && !s_.debugMode) {
        entryTable_ = HighscoreTableFor(s_.gameLength, entryTable_);
        host_.ShowHighscoreWindow(entryTable_, QString::number(s_.finalScore));
    }
}

void GameController::MouseMove(double x, double y) {
    PointerMoved(s_, x, y);
}

void GameController::MouseUp(int button, double x, double y) {
    ButtonReleased(s_, button, x, y);
}

void GameController::FullScreenMouseMove(double x, double y) {
    MouseMove(ScreenToPlayArea(x, s_.scaleX), ScreenToPlayArea(y, s_.scaleY));
}

void GameController::FullScreenMouseUp(int button, double x, double y) {
    MouseUp(button, ScreenToPlayArea(x, s_.scaleX), ScreenToPlayArea(y, s_.scaleY));
}

// A pointer that has not moved since the program started has sent no move
// yet: without this the cross-hair would start in the top-left corner, over
// the clock, instead of where the pointer is.
void GameController::TakePointerPosition() {
    const bool full = s_.drawTarget == DrawTarget::FullScreenSurface;
    const std::optional<QPointF> at = host_.PointerOnSurface(full);
    if (!at)
        return;
    if (full) {
        FullScreenMouseMove(at->x(), at->y());
    } else {
        MouseMove(at->x(), at->y());
    }
}

void GameController::FullScreenEscape() {
    host_.HideFullScreen();
    host_.ShowMainWindow();
    // Only an abort: an Esc that is still queued after the game ended must
    // not start a new one.
    if (menu_.ter.caption != kPlayCaption)
        ter_Click();
    // The full-screen start stopped the title animation; the main window
    // shows it again.
    host_.SetTitleTimerEnabled(true);
}

}  // namespace wf
