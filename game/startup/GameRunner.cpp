#include "GameRunner.h"

#include <QColor>
#include <QFont>
#include <QTime>
#include <algorithm>

#include "Blit.h"
#include "Paths.h"
#include "PictureSlots.h"
#include "Platform.h"
#include "WorkingCopies.h"

namespace wf {

namespace {

constexpr int kWindowLoadingPoints = 12;
constexpr int kFullScreenLoadingPoints = 20;

void ClearSurface(QImage& surface) {
    Blit::FillBox(surface, 0, 0, surface.width(), surface.height(), QColor(0, 0, 0));
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

GameRunner::GameRunner(GameState& state, GameSettings& settings, PictureStores& stores,
                       GameHost& host, RandomSource& random, SoundOutput& sound, MusicDevice& music,
                       const QString& modDir)
    : state_(state),
      settings_(settings),
      stores_(stores),
      host_(host),
      sound_(sound),
      music_(music),
      modDir_(modDir),
      session_(state, random),
      composer_(state, stores, host) {}

void GameRunner::PlayOrAbort() {
    if (state_.phase == GamePhase::Idle) {
        Start();
    } else {
        Abort();
    }
}

void GameRunner::Start() {
    // Seeded from the seconds since midnight, as every start.
    session_.Prepare(settings_,
                     static_cast<uint32_t>(QTime::currentTime().msecsSinceStartOfDay() / 1000));
    host_.SetTickInterval(session_.TickIntervalMs());

    if (!settings_.fullScreen) {
        if (!StartWindowMode()) {
            // The game stays Starting: choosing the entry again aborts it.
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
        settings_.fullScreen = false;
        host_.HideFullScreen();
        host_.ShowMainWindow();
        Start();
        return;
    }

    shotSoundPath_ = JoinStoredPath(modDir_, state_.mod.shotSoundFile);
    if (settings_.music) {
        const QString musicPath = JoinStoredPath(modDir_, state_.mod.musicFile);
        if (!musicPath.isEmpty())
            music_.MusicOpenAndPlay(musicPath);
    }
    session_.Begin(CurrentPlayArea());
    host_.SetClockTimerEnabled(true);
    host_.SetTickTimerEnabled(true);
    TakePointerPosition();
    host_.SetSurfaceCursorInvisible(true);
}

bool GameRunner::StartWindowMode() {
    const int w = stores_.sources.SlotWidth(kBackgroundSlot);
    const int h = stores_.sources.SlotHeight(kBackgroundSlot);
    if (w > 0 && h > 0)
        host_.SizeWindowToSurface(w, h);
    ShowLoadingText(host_.WindowSurface(), kWindowLoadingPoints);
    host_.RefreshWindowSurface();
    if (!MakeWindowCopies(stores_))
        return false;
    session_.SetDisplay(DrawTarget::WindowSurface, FixedScale::One(), FixedScale::One());
    host_.SetSurfaceCursorInvisible(true);
    return true;
}

bool GameRunner::StartFullScreenMode() {
    host_.HideMainWindow();
    host_.ShowFullScreen();
    ShowLoadingText(host_.FullScreenSurface(), kFullScreenLoadingPoints);
    host_.RefreshFullScreenSurface();

    // The main window's surface keeps the background's size: the play area.
    const QImage& area = host_.WindowSurface();
    if (area.width() <= 0 || area.height() <= 0)
        return false;
    const QSize screen = host_.ScreenSizePx();
    FixedScale scaleY = FixedScale::Ratio(screen.height(), area.height());
    FixedScale scaleX = FixedScale::Ratio(screen.width(), area.width());
    DisplayArea display;
    if (settings_.keepAspectRatio) {
        // The smaller scale for both, the play area centred between bars.
        scaleX = scaleY = scaleX.tenThousandths < scaleY.tenThousandths ? scaleX : scaleY;
        display.width = std::min(screen.width(), scaleX.Apply(area.width()));
        display.height = std::min(screen.height(), scaleY.Apply(area.height()));
        display.x = (screen.width() - display.width) / 2;
        display.y = (screen.height() - display.height) / 2;
    }
    if (!MakeStretchedCopies(stores_, scaleX, scaleY, &fullScreenCopies_))
        return false;
    session_.SetDisplay(DrawTarget::FullScreenSurface, scaleX, scaleY, display);
    // The bars are never drawn again: they go black with the loading text.
    if (!display.Whole())
        ClearSurface(host_.FullScreenSurface());
    host_.SetTitleTimerEnabled(false);
    return true;
}

void GameRunner::ShowLoadingText(QImage& surface, int points) {
    ClearSurface(surface);
    const QFont font(QStringLiteral("Verdana"), points, QFont::Bold);
    const QString text = QStringLiteral("Bitte warten sie bis alle Grafiken geladen sind");
    // "Loading..." only measures the line height; it is never shown.
    const int x = NearestEven((surface.width() - Blit::TextWidth(font, text)) / 2.0);
    const int y = NearestEven(
        (surface.height() - Blit::TextHeight(font, QStringLiteral("Loading..."))) / 2.0);
    Blit::Text(surface, x, y, text, font, QColor(0, 128, 0));
}

void GameRunner::Abort() {
    session_.Abort();
    host_.SetClockTimerEnabled(false);
    host_.SetTickTimerEnabled(false);
    music_.MusicStopRewind();
    ClearSurface(host_.WindowSurface());
    host_.RefreshWindowSurface();
    host_.SetSurfaceCursorInvisible(false);
}

// The window-mode surface has the background's size in every mode; the
// bird picture gives the birds' size.
PlayArea GameRunner::CurrentPlayArea() {
    const QImage& surface = host_.WindowSurface();
    return PlayArea{surface.width(), surface.height(), stores_.sources.SlotWidth(kLeftBirdSlot),
                    stores_.sources.SlotHeight(kLeftBirdSlot)};
}

void GameRunner::Tick() {
    // Serving pending events below may deliver the next tick; it is dropped
    // rather than run inside this one.
    if (inTick_)
        return;
    TickGuard guard(inTick_);

    if (settings_.music && music_.MusicRunning() == 0) {
        music_.MusicStopRewind();
        music_.MusicPlay();
    }
    host_.ServePendingEvents();

    const TickResult result = session_.Tick(composer_);
    if (result.unknownExtra) {
        Platform::Instance().MessageBox(nullptr, MsgIcon::Critical, QStringLiteral("Fehler!"),
                                        QStringLiteral("'Extra' Fehler - Programm wird beendet"));
        host_.EndProgram(1);
    }
    if (result.shotFired && settings_.sound && !shotSoundPath_.isEmpty())
        sound_.PlayWave(shotSoundPath_);
}

void GameRunner::ClockSecond() {
    if (session_.ClockSecond())
        End();
}

void GameRunner::End() {
    ClearSurface(host_.WindowSurface());
    host_.RefreshWindowSurface();
    const GameResult result = session_.End();
    // The surface the game ran on decides, not the setting: a full-screen
    // window is never left standing over a hidden main window.
    if (state_.drawTarget == DrawTarget::FullScreenSurface) {
        host_.HideFullScreen();
        host_.SetTitleTimerEnabled(true);
        host_.ShowMainWindow();
    }
    host_.SetClockTimerEnabled(false);
    if (settings_.music)
        music_.MusicStopRewind();
    host_.SetTickTimerEnabled(false);
    host_.SetSurfaceCursorInvisible(false);
    if (result.offered)
        host_.ShowHighscoreWindow(result.table, result.score);
}

void GameRunner::PointerMoved(double x, double y) {
    session_.PointerMoved(x, y);
}

void GameRunner::ButtonReleased(PointerButton button, double x, double y) {
    session_.ButtonReleased(button, x, y);
}

void GameRunner::ScreenPointerMoved(double x, double y) {
    session_.ScreenPointerMoved(x, y);
}

void GameRunner::ScreenButtonReleased(PointerButton button, double x, double y) {
    session_.ScreenButtonReleased(button, x, y);
}

// A pointer that has not moved since the program started has sent no move
// yet: without this the cross-hair would start in the top-left corner, over
// the clock, instead of where the pointer is.
void GameRunner::TakePointerPosition() {
    const bool full = state_.drawTarget == DrawTarget::FullScreenSurface;
    const std::optional<QPointF> at = host_.PointerOnSurface(full);
    if (!at)
        return;
    if (full) {
        session_.ScreenPointerMoved(at->x(), at->y());
    } else {
        session_.PointerMoved(at->x(), at->y());
    }
}

void GameRunner::LeaveFullScreen() {
    host_.HideFullScreen();
    host_.ShowMainWindow();
    // Only an abort: an Esc that is still queued after the game ended must
    // not start a new one.
    if (state_.phase != GamePhase::Idle)
        Abort();
    // The full-screen start stopped the title animation; the main window
    // shows it again.
    host_.SetTitleTimerEnabled(true);
}

}  // namespace wf
