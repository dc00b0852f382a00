#include "MainWindow.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QCursor>
#include <QFont>
#include <QGuiApplication>
#include <QMenuBar>
#include <QPixmap>
#include <QScreen>
#include <QTimer>
#include <cstdlib>

#include "Backgrounds.h"
#include "FluidMusic.h"
#include "FullScreenWindow.h"
#include "GameRunner.h"
#include "HighscoreWindow.h"
#include "Paths.h"
#include "Platform.h"
#include "PlaySurface.h"
#include "SdlSound.h"
#include "SplashWindow.h"
#include "Units.h"
#include "Version.h"

namespace wf {
namespace {

constexpr int kTitleTickMs = 40;
constexpr int kClockMs = 1000;
constexpr int kMusicPreloadDelayMs = 100;
constexpr int kHandOverRetryMs = 50;

QTimer* MakeTimer(QObject* owner, const char* name, int intervalMs) {
    auto* t = new QTimer(owner);
    t->setObjectName(QString::fromLatin1(name));
    t->setTimerType(Qt::PreciseTimer);
    t->setInterval(intervalMs);
    return t;
}

// The pointer over the surface during a game: the player sees only the
// cross-hair that the game draws.
const QCursor& InvisibleCursor() {
    static const QCursor cursor = [] {
        QPixmap blank(32, 32);
        blank.fill(Qt::transparent);
        return QCursor(blank);
    }();
    return cursor;
}

void ApplyCursor(QWidget* surface, bool invisible) {
    if (invisible)
        surface->setCursor(InvisibleCursor());
    else
        surface->unsetCursor();
}

}  // namespace

MainWindow::MainWindow(const QString& programDir)
    : MainWindow(programDir, std::make_unique<SdlSound>(), std::make_unique<FluidMusic>()) {}

MainWindow::MainWindow(const QString& programDir, std::unique_ptr<SoundOutput> sound,
                       std::unique_ptr<MusicDevice> music)
    : programDir_(programDir), sound_(std::move(sound)), music_(std::move(music)) {
    setObjectName(QStringLiteral("mainWindow"));
    setWindowTitle(QLatin1String(kTitleText));

    surface_ = new PlaySurface(this);
    surface_->setObjectName(QStringLiteral("surface"));
    setCentralWidget(surface_);
    connect(surface_, &PlaySurface::PointerMoved, this,
            [this](double x, double y) { Game().PointerMoved(x, y); });
    connect(
        surface_, &PlaySurface::ButtonReleased, this,
        [this](PointerButton button, double x, double y) { Game().ButtonReleased(button, x, y); });

    BuildMenu();
    ShowMenu();

    tickTimer_ = MakeTimer(this, "tickTimer", kFixedTickMs);
    clockTimer_ = MakeTimer(this, "clockTimer", kClockMs);
    titleTimer_ = MakeTimer(this, "titleTimer", kTitleTickMs);
    connect(tickTimer_, &QTimer::timeout, this, &MainWindow::GameTick);
    connect(clockTimer_, &QTimer::timeout, this, &MainWindow::ClockSecond);
    connect(titleTimer_, &QTimer::timeout, this, &MainWindow::TitleTick);
    titleTimer_->start();
    handOverRetry_ = MakeTimer(this, "handOverRetry", kHandOverRetryMs);
    connect(handOverRetry_, &QTimer::timeout, this, &MainWindow::DeliverHandOver);

    SizeWindowToSurface(surface_->Image().width(), surface_->Image().height());
}

MainWindow::~MainWindow() {
    // The highscore window holds the hand-over entry of this window.
    delete highscoreWindow_.data();
    ResetGameObjects();
}

void MainWindow::Load(const QStringList& arguments) {
    // The fonts the game names are not found on every desktop.
    QFont::insertSubstitution(QStringLiteral("Verdana"), QStringLiteral("DejaVu Sans"));
    QFont::insertSubstitution(QStringLiteral("MS Sans Serif"), QStringLiteral("DejaVu Sans"));
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        SetTwipsPerPixel(qRound(1440.0 / screen->logicalDotsPerInch()));
    }

    // The splash lets events through to show itself; the title sequence must
    // not run on half-loaded pictures meanwhile.
    titleTimer_->stop();
    SplashWindow splash;
    StartupContext context{
        programDir_, arguments, state_, settings_, stores_, title_, TitleSequence::DefaultCredits(),
        nullptr,     {}};
    context.windows.showSplash = [&splash] { splash.ShowAndPaint(); };
    context.windows.progress = [&splash](int percent) { splash.SetProgress(percent); };
    context.windows.hideSplash = [&splash] { splash.hide(); };
    context.windows.sizeWindow = [this](int w, int h) { SizeWindowToSurface(w, h); };
    startup_ = RunStartup(context);

    ResetGameObjects();  // they take the MOD directory when first used
    ShowMenu();
    // The mixer converts a sound to its own format when it loads it: done
    // now, before the window shows, and never at the first shot of a game.
    if (auto* sdl = dynamic_cast<SdlSound*>(sound_.get()))
        sdl->Preload(JoinStoredPath(startup_.modDir, state_.mod.shotSoundFile));
    titleTimer_->start();

    // Loading the synthesizer's sound font takes a while: do it just after
    // the window is up rather than during start-up or at the first game.
    if (auto* fluid = dynamic_cast<FluidMusic*>(music_.get())) {
        QTimer::singleShot(kMusicPreloadDelayMs, this, [fluid] { fluid->Preload(); });
    }
}

bool MainWindow::MayClose() {
    if (!state_.Running())
        return true;
    const MsgResult answer = Platform::Instance().MessageBox(
        this, MsgIcon::Question, QStringLiteral("Wirklich??"),
        QStringLiteral("Wollen Sie wirklich das laufende Spiel beenden ???"), MsgButtons::YesNo);
    return answer == MsgResult::Yes;
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (!MayClose()) {
        event->ignore();
        return;
    }
    event->accept();
    // A game that ended behind the question has its hand-over held: it is
    // dropped with the program.
    closing_ = true;
    heldHandOver_.reset();
    handOverRetry_->stop();
    // Other open windows must not keep the program alive.
    QCoreApplication::quit();
}

GameRunner& MainWindow::Game() {
    if (!game_) {
        game_ = std::make_unique<GameRunner>(state_, settings_, stores_, *this, random_, *sound_,
                                             *music_, startup_.modDir);
    }
    return *game_;
}

Backgrounds& MainWindow::BackgroundCommands() {
    if (!backgrounds_) {
        backgrounds_ =
            std::make_unique<Backgrounds>(state_.mod, settings_, stores_, *this, startup_.modDir);
    }
    return *backgrounds_;
}

void MainWindow::ResetGameObjects() {
    fullScreen_.reset();  // it holds the game
    backgrounds_.reset();
    game_.reset();
}

FullScreenWindow& MainWindow::EnsureFullScreen() {
    if (!fullScreen_) {
        fullScreen_ = std::make_unique<FullScreenWindow>(Game());
        ApplyCursor(fullScreen_->surface, cursorInvisible_);
        connect(fullScreen_.get(), &FullScreenWindow::leaveRequested, this,
                [this] { Run([this] { Game().LeaveFullScreen(); }); });
    }
    return *fullScreen_;
}

// A tick changes neither the settings nor the game's phase; events it
// serves are commands of their own.
void MainWindow::GameTick() {
    Game().Tick();
}

void MainWindow::ClockSecond() {
    Run([this] { Game().ClockSecond(); });
}

void MainWindow::TitleTick() {
    title_.TitleTick(surface_->Image(), stores_.sources, state_.Running());
    if (!state_.Running())
        RefreshWindowSurface();
}

QImage& MainWindow::WindowSurface() {
    return surface_->Image();
}

void MainWindow::RefreshWindowSurface() {
    surface_->Refresh();
}

void MainWindow::SizeWindowToSurface(int widthPx, int heightPx) {
    surface_->SetSurfaceSize(widthPx, heightPx);
    // The menu bar may need more than one line on a narrow window.
    QMenuBar* bar = menuBar();
    const int byWidth = bar->heightForWidth(widthPx);
    const int barHeight = byWidth > 0 ? byWidth : bar->sizeHint().height();
    setFixedSize(widthPx, heightPx + barHeight);
}

void MainWindow::SetSurfaceCursorInvisible(bool invisible) {
    cursorInvisible_ = invisible;
    ApplyCursor(surface_, invisible);
    if (fullScreen_)
        ApplyCursor(fullScreen_->surface, invisible);
}

void MainWindow::HideMainWindow() {
    hide();
}

void MainWindow::ShowMainWindow() {
    show();
    raise();
    activateWindow();
}

void MainWindow::ShowFullScreen() {
    EnsureFullScreen().ShowOn(screen());
}

void MainWindow::HideFullScreen() {
    if (fullScreen_)
        fullScreen_->hide();
}

QImage& MainWindow::FullScreenSurface() {
    return EnsureFullScreen().surface->Image();
}

void MainWindow::RefreshFullScreenSurface() {
    if (fullScreen_)
        fullScreen_->surface->Refresh();
}

QSize MainWindow::ScreenSizePx() {
    if (QScreen* s = screen())
        return s->geometry().size();
    return QSize(1024, 768);
}

std::optional<QPointF> MainWindow::PointerOnSurface(bool fullScreen) {
    QWidget* surface =
        fullScreen && fullScreen_ ? static_cast<QWidget*>(fullScreen_->surface) : surface_;
    return QPointF(surface->mapFromGlobal(QCursor::pos()));
}

void MainWindow::SetTickInterval(int ms) {
    tickTimer_->setInterval(ms);
}

// Enabling a running timer leaves its rhythm alone.
void MainWindow::SetTickTimerEnabled(bool on) {
    if (!on)
        tickTimer_->stop();
    else if (!tickTimer_->isActive())
        tickTimer_->start();
}

void MainWindow::SetClockTimerEnabled(bool on) {
    if (!on)
        clockTimer_->stop();
    else if (!clockTimer_->isActive())
        clockTimer_->start();
}

void MainWindow::SetTitleTimerEnabled(bool on) {
    if (!on)
        titleTimer_->stop();
    else if (!titleTimer_->isActive())
        titleTimer_->start();
}

void MainWindow::ServePendingEvents() {
    QCoreApplication::processEvents();
}

void MainWindow::ShowHighscoreWindow(int entryTable, int score) {
    heldHandOver_ = HandOver{entryTable, score};
    DeliverHandOver();
}

void MainWindow::EndProgram(int status) {
    Platform::Instance().ExitProgram(status);
    std::abort();  // the platform never comes back from ExitProgram
}

}  // namespace wf
